// The Statistik page: the diagram count and the group members whose diagram
// is gone; and Tasks > ValidateNames.
#pragma once

#include "page.h"

namespace drvx::ui {

class TStatisticsPage final : public Page {
 public:
  // validateNames: the window's menu item Tasks > ValidateNames.
  TStatisticsPage(const PageSite& site, platform::Button& validateNames)
      : Page(site), ValidateNames1(validateNames) {}

  std::vector<EventRow> Events() override;
  void Place() override;

  void spbtRefreshStatisticClick();
  void ValidateNames1Click();

  platform::Button spbtRefreshStatistic{form_, "spbtRefreshStatistic", "Refresh"};
  platform::Panel lbDgCountCaption{form_, "lbDgCountCaption", "Diagram Count :"};
  platform::Panel lbDgCount{form_, "lbDgCount", "-----"};
  platform::ListBox lbxInvalidDGMembers{form_, "lbxInvalidDGMembers"};

 private:
  platform::Button& ValidateNames1;
};

}  // namespace drvx::ui
