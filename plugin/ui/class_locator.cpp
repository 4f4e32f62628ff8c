#include "class_locator.h"

namespace drvx::ui {

TClassLocatorDlg::TClassLocatorDlg() : Form("ClassLocatorDlg", "Class Locator") {
  cbxClassLocator.SetSorted(true);
  btnOk.SetModalResult(platform::kModalOk);
  SetDefaultButton(btnOk);  // Enter presses OK
  btnCancle.SetModalResult(platform::kModalCancel);
  OnShow = [this] { FResult = platform::kModalCancel; };
  btnOk.OnClick = [this] { FResult = platform::kModalOk; };
  btnCancle.OnClick = [this] { FResult = platform::kModalCancel; };
  cbxClassLocator.OnChange = [this] { AutoComplete(); };
  // The prompt, the field below it, the buttons below that.
  lblClassName.PlaceIn(nullptr, platform::Placement::NewRow);
  cbxClassLocator.PlaceIn(nullptr, platform::Placement::Fill);
  btnOk.PlaceIn(nullptr, platform::Placement::NewRow);
  btnCancle.PlaceIn(nullptr, platform::Placement::Inline);
}

void TClassLocatorDlg::AutoComplete() {
  const std::string typed = cbxClassLocator.Text();
  if (typed.empty() || cbxClassLocator.ItemIndex() >= 0) return;
  for (const auto& item : cbxClassLocator.Items()) {
    if (item.size() >= typed.size() &&
        platform::SameTextIgnoringCase(std::string_view(item).substr(0, typed.size()), typed)) {
      cbxClassLocator.SetText(item);
      return;
    }
  }
}

}  // namespace drvx::ui
