// Headless windows: a form holds its controls by component name and knows
// whether it is shown, active, minimised or modal. The process keeps a list
// of its forms so that a renderer or the script runner can find them by name.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "drvx/platform/controls.h"

namespace drvx::platform {

enum class WindowState { Normal, Minimized };

// Modal results.
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

class DRVX_PLATFORM_API Form {
 public:
  Form(std::string name, std::string caption);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }

  Control* Find(std::string_view name) const;
  template <class T>
  T* FindAs(std::string_view name) const {
    return dynamic_cast<T*>(Find(name));
  }
  const std::vector<Control*>& Controls() const { return controls_; }

  bool Visible() const { return visible_; }
  bool IsModal() const { return modal_; }
  WindowState State() const { return state_; }
  // Makes the form visible and brings it to the front, which activates it;
  // a minimised form stays minimised.
  void Show();
  void Hide();
  void Minimize();
  // Closes the form: it is hidden (a modal form's loop ends, with Cancel
  // unless a modal result was set).
  void Close();

  // Shows the form modally and returns its modal result. Headless, the modal
  // driver (SetModalDriver) acts on it first; then the user-interface loop runs
  // while the form is open and a timer could still close it. A form left open
  // with nothing to close it is closed with Cancel and a logged line.
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  // A non-zero result closes a modal form.
  void SetModalResult(int result);

  // Whether the form has ever been shown.
  bool EverShown() const { return everShown_; }

  // The button that Enter presses (none by default; not owned).
  void SetDefaultButton(Button& button) { defaultButton_ = &button; }
  Button* DefaultButton() const { return defaultButton_; }

  std::function<void()> OnActivate;
  std::function<void()> OnShow;
  std::function<void()> OnClose;

  // Called by the controls.
  void Register(Control& control);
  void Unregister(Control& control);
  int NextPlaceOrder() { return ++placements_; }

 private:
  void Activate();
  void SetVisible(bool visible);

  std::string name_;
  std::string caption_;
  std::vector<Control*> controls_;
  bool visible_ = false;
  bool everShown_ = false;
  bool modal_ = false;
  Button* defaultButton_ = nullptr;
  WindowState state_ = WindowState::Normal;
  int modalResult_ = 0;
  int placements_ = 0;
};

// What happens to the forms of the process, for a renderer: a form was
// shown, hidden (or closed), or is being destroyed (its controls are gone
// by then).
enum class FormEvent { Shown, Hidden, Destroyed };
using FormObserver = std::function<void(Form&, FormEvent)>;
DRVX_PLATFORM_API int SubscribeForms(FormObserver observer);
DRVX_PLATFORM_API void UnsubscribeForms(int id);

DRVX_PLATFORM_API const std::vector<Form*>& AllForms();
// The form most recently made with this name, or null.
DRVX_PLATFORM_API Form* FindForm(std::string_view name);

// The window that owns every top-level window of a plug-in (the host's
// application window; 0 for none); a renderer makes it their owner.
DRVX_PLATFORM_API void SetApplicationWindow(std::uint64_t handle);
DRVX_PLATFORM_API std::uint64_t ApplicationWindow();

// How long a hint stays up, in milliseconds, for every window (0: the
// window system's default).
DRVX_PLATFORM_API void SetHintHidePause(int milliseconds);
DRVX_PLATFORM_API int HintHidePause();

using ModalDriver = std::function<void(Form&)>;
DRVX_PLATFORM_API void SetModalDriver(ModalDriver driver);
DRVX_PLATFORM_API const ModalDriver& CurrentModalDriver();

// The hourglass cursor, shown while a BusyCursor exists (scopes nest).
class DRVX_PLATFORM_API BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  static bool Shown();
};

// Where the platform says what it decided on its own (a default answer, a
// form it closed); the initial sink writes to standard error.
DRVX_PLATFORM_API void SetLogSink(std::function<void(const std::string&)> sink);
DRVX_PLATFORM_API void LogLine(const std::string& line);

}  // namespace drvx::platform
