// The platform's headless forms as real windows. A form view builds one
// widget per control, named by the control's component name, in the
// containers and rows the controls declare (pages of a page control, panels,
// menu entries); it follows every change of the controls, and forwards what
// the user does to the controls' User... operations, so that each handler
// runs as it does headless. FormWindows shows a view for every form that is
// shown, for as long as it lives, and runs modal forms in a nested event loop.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "drvx/platform/forms.h"

class QMenuBar;
class QBoxLayout;

namespace drvx::platform::qt {

class FormView final : public QWidget {
 public:
  // A window of its own, owned by `owner` when there is one: it then stays
  // in front of it and has no task-bar entry of its own.
  FormView(Form& form, QWidget* owner);
  ~FormView() override;  // leaves the controls' observers, unless the form is gone

  // The form is being destroyed: its controls are gone, nothing may reach them.
  void FormGone();

 protected:
  void closeEvent(class QCloseEvent* event) override;

 private:
  class WidgetBuilder;
  QWidget* Build(Control& control);
  void Fill(QWidget& area, Control* container);
  template <class Widget>
  void Follow(Control& control, Widget* widget, std::function<void(Widget&)> update);

  Form& form_;
  bool formAlive_ = true;
  bool updating_ = false;  // a control's change is being shown: no user action
  std::vector<std::pair<Control*, int>> subscriptions_;
  QMenuBar* menuBar_ = nullptr;
};

class FormWindows {
 public:
  // Shows views for the forms of the process from now on.
  FormWindows();
  ~FormWindows();
  FormWindows(const FormWindows&) = delete;
  FormWindows& operator=(const FormWindows&) = delete;

  // The view of a form while it is shown, else null.
  FormView* ViewOf(const Form& form) const;
  // For the platform's modal driver: runs an event loop until the modal form
  // is closed (at once when it is not shown).
  void RunModal(Form& form);

 private:
  void Changed(Form& form, FormEvent event);
  std::map<const Form*, std::unique_ptr<FormView>> views_;
  int subscription_;
};

}  // namespace drvx::platform::qt
