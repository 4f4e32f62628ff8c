// TClassLocatorDlg: the modal dialog of "Locate Class" — type or pick the
// name of a class or member. One instance for the plug-in's life; it keeps
// its last text between uses.
#pragma once

#include "drvx/platform/forms.h"

namespace drvx::ui {

class TClassLocatorDlg : public platform::Form {
 public:
  TClassLocatorDlg();

  // 1 after OK, 2 after Cancel or any other way of closing.
  int FResult = 2;

  platform::Panel lblClassName{this, "lblClassName", "Enter Class or Member Name :"};
  // Sorted; typed text is completed from the first line that starts with it
  // (ignoring letter case).
  platform::ComboBox cbxClassLocator{this, "cbxClassLocator"};
  platform::Button btnOk{this, "btnOk", "OK"};
  platform::Button btnCancle{this, "btnCancle", "Cancel"};

 private:
  void AutoComplete();
};

}  // namespace drvx::ui
