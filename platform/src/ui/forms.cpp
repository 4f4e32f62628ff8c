#include "drvx/platform/forms.h"

#include <algorithm>
#include <iostream>
#include <map>

#include "drvx/platform/ui_loop.h"

namespace drvx::platform {
namespace {

std::vector<Form*>& Registry() {
  static std::vector<Form*> forms;
  return forms;
}

std::uint64_t& AppWindow() {
  static std::uint64_t handle = 0;
  return handle;
}

std::map<int, FormObserver>& FormObservers() {
  static std::map<int, FormObserver> observers;
  return observers;
}

void Tell(Form& form, FormEvent event) {
  auto observers = FormObservers();  // an observer may unsubscribe
  for (auto& [id, observer] : observers) observer(form, event);
}

ModalDriver& Driver() {
  static ModalDriver driver;
  return driver;
}

std::function<void(const std::string&)>& Sink() {
  static std::function<void(const std::string&)> sink = [](const std::string& line) {
    std::cerr << line << '\n';
  };
  return sink;
}

// How long a headless modal form may wait for one of its timers.
constexpr auto kModalTimerLimit = std::chrono::hours(1);

}  // namespace

const std::vector<Form*>& AllForms() { return Registry(); }

int SubscribeForms(FormObserver observer) {
  static int next = 1;
  FormObservers()[next] = std::move(observer);
  return next++;
}

void UnsubscribeForms(int id) { FormObservers().erase(id); }

Form* FindForm(std::string_view name) {
  const auto& forms = Registry();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->Name() == name) return *it;
  return nullptr;
}

namespace {
int busyScopes = 0;
}  // namespace

BusyCursor::BusyCursor() { ++busyScopes; }
BusyCursor::~BusyCursor() { --busyScopes; }
bool BusyCursor::Shown() { return busyScopes > 0; }

void SetApplicationWindow(std::uint64_t handle) { AppWindow() = handle; }
std::uint64_t ApplicationWindow() { return AppWindow(); }

namespace {
int hintHidePause = 0;
}  // namespace

void SetHintHidePause(int milliseconds) { hintHidePause = milliseconds; }
int HintHidePause() { return hintHidePause; }

void SetModalDriver(ModalDriver driver) { Driver() = std::move(driver); }
const ModalDriver& CurrentModalDriver() { return Driver(); }

void SetLogSink(std::function<void(const std::string&)> sink) { Sink() = std::move(sink); }

void LogLine(const std::string& line) {
  if (Sink()) Sink()(line);
}

Form::Form(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {
  Registry().push_back(this);
}

Form::~Form() {
  Tell(*this, FormEvent::Destroyed);
  std::erase(Registry(), this);
}

void Form::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Tell(*this, visible ? FormEvent::Shown : FormEvent::Hidden);
}

Control* Form::Find(std::string_view name) const {
  for (Control* c : controls_)
    if (c->Name() == name) return c;
  return nullptr;
}

void Form::Register(Control& control) { controls_.push_back(&control); }

void Form::Unregister(Control& control) { std::erase(controls_, &control); }

void Form::Activate() {
  if (OnActivate) OnActivate();
}

void Form::Show() {
  CheckUiThread(name_);
  const bool wasVisible = visible_;
  SetVisible(true);
  everShown_ = true;
  if (!wasVisible && OnShow) OnShow();
  Activate();
}

void Form::Hide() {
  CheckUiThread(name_);
  SetVisible(false);
}

void Form::Minimize() { state_ = WindowState::Minimized; }

void Form::Close() {
  CheckUiThread(name_);
  if (OnClose) OnClose();
  if (modal_ && modalResult_ == 0) modalResult_ = kModalCancel;
  SetVisible(false);
}

void Form::SetModalResult(int result) {
  modalResult_ = result;
  if (modal_ && result != 0) SetVisible(false);
}

int Form::ShowModal() {
  modal_ = true;
  modalResult_ = 0;
  Show();
  if (Driver() && visible_) Driver()(*this);
  UiLoop::Instance().RunUntil(
      [this] { return !visible_ || !UiLoop::Instance().HasTimers(); }, kModalTimerLimit);
  if (visible_) {
    LogLine("the modal window " + name_ + " had nothing to close it; it was closed with Cancel");
    Close();
  }
  modal_ = false;
  const int result = modalResult_;
  return result;
}

}  // namespace drvx::platform
