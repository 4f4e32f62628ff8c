#include "statistics_page.h"

namespace drvx::ui {

std::vector<EventRow> TStatisticsPage::Events() {
  return {DRVX_CLICK(spbtRefreshStatistic), DRVX_CLICK(ValidateNames1)};
}

void TStatisticsPage::Place() {
  using platform::Placement;
  PlaceRow(Placement::NewRow, {&spbtRefreshStatistic, &lbDgCountCaption, &lbDgCount});
  PlaceRow(Placement::Fill, {&lbxInvalidDGMembers});
}

void TStatisticsPage::spbtRefreshStatisticClick() {
  lbDgCount.SetCaption(std::to_string(workers_.Explorer().GetDiagramCount()));
  std::vector<std::string> invalid;
  workers_.GroupManager().GetInvalidMembers(invalid);
  std::vector<std::string> lines{"Invalid DGMembers:", "=================="};
  lines.insert(lines.end(), invalid.begin(), invalid.end());
  lbxInvalidDGMembers.SetItems(std::move(lines));
}

void TStatisticsPage::ValidateNames1Click() {
  groups::TDiagramGroupManager& groups = workers_.GroupManager();
  groups.SaveCurrentGroups();
  workers_.Explorer().ValidateDiagramNames();
  groups.ConnectProject();
}

}  // namespace drvx::ui
