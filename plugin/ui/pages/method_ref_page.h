// The Method Referencing page: the methods whose code mentions a method or a
// text; and Tasks > Find String In Model.
#pragma once

#include "page.h"

namespace drvx::ui {

class TMethodRefPage final : public Page {
 public:
  // findString: the window's menu item Tasks > Find String In Model.
  TMethodRefPage(const PageSite& site, platform::Button& findString)
      : Page(site), FindStringInModel1(findString) {}

  std::vector<EventRow> Events() override;
  void Place() override;

  void FindStringInModel1Click();
  void lbxMethodRefClick();

  platform::ListBox lbxMethodRef{form_, "lbxMethodRef"};

 private:
  platform::Button& FindStringInModel1;
};

}  // namespace drvx::ui
