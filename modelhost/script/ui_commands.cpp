// Commands on what the plug-ins show: dialogs (answered ahead of time),
// clipboard, printer, windows and their controls, timers and the clock.
#include <atomic>
#include <chrono>
#include <csignal>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

#include "command_table.h"
#include "host_session.h"
#include "drvx/platform/clipboard.h"
#include "drvx/platform/clock.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx/platform/ui_loop.h"
#include "words.h"

namespace drvx::modelhost {
namespace {

using namespace drvx::platform;

int RequiredNumber(std::string_view text) {
  auto n = ParseNumber(text);
  if (!n) throw std::runtime_error("\"" + std::string(text) + "\" is not a number");
  return *n;
}

Form& FormNamed(std::string_view name) {
  Form* form = FindForm(name);
  if (!form) throw std::runtime_error("there is no window " + std::string(name));
  return *form;
}

// The control a "Window.Control" path names.
Control& ControlAt(std::string_view path) {
  const auto dot = path.find('.');
  if (dot == std::string_view::npos)
    throw std::runtime_error("name the control as Window.Control, not \"" + std::string(path) + "\"");
  Form& form = FormNamed(path.substr(0, dot));
  Control* control = form.Find(path.substr(dot + 1));
  if (!control)
    throw std::runtime_error("the window " + form.Name() + " has no control " +
                             std::string(path.substr(dot + 1)));
  return *control;
}

// The control as the type a user action needs; it must be enabled. A window
// that was never shown is shown first, as a user has to open a window before
// acting in it.
template <class T>
T& ControlNamed(std::string_view path, const char* kind) {
  Control& control = ControlAt(path);
  T* typed = dynamic_cast<T*>(&control);
  if (!typed)
    throw std::runtime_error(std::string(path) + " is a " + control.TypeName() + ", not " + kind);
  if (Form* form = control.OwnerForm(); form && !form->EverShown()) form->Show();
  if (!control.Enabled()) throw std::runtime_error(std::string(path) + " is disabled");
  return *typed;
}

void Answer(HostContext& host, Args args) {
  const std::string& kind = args[0];
  if (args.size() == 1) {
    if (kind == "ok") return host.dialogs.Queue(DialogAnswer::Ok());
    if (kind == "yes") return host.dialogs.Queue(DialogAnswer::Yes());
    if (kind == "no") return host.dialogs.Queue(DialogAnswer::No());
    if (kind == "cancel") return host.dialogs.Queue(DialogAnswer::Cancel());
  } else if (kind == "text") {
    return host.dialogs.Queue(DialogAnswer::Text(args[1]));
  } else if (kind == "file") {
    return host.dialogs.Queue(DialogAnswer::File(args[1]));
  }
  throw UsageError();
}

void Dialogs(HostContext& host) {
  const auto& shown = host.dialogs.Shown();
  if (shown.empty()) host.out << "no dialogs shown\n";
  for (const auto& d : shown) host.out << d.dialog << ": " << d.text << " -> " << d.answer << '\n';
  if (host.dialogs.Pending() > 0)
    host.out << host.dialogs.Pending() << " answers still queued\n";
  host.dialogs.ClearShown();
}

void ClipboardCommand(HostContext& host, Args args) {
  if (args.empty()) {
    const std::string text = CurrentClipboard().Text();
    host.out << "clipboard (" << text.size() << " bytes):\n";
    std::string shown;
    for (char c : text) shown += c == '\r' ? std::string("\\r") : std::string(1, c);
    host.out << shown << (text.empty() || text.back() == '\n' ? "" : "\n");
  } else if (args[0] == "set" && args.size() == 2) {
    CurrentClipboard().SetText(args[1]);
  } else {
    throw UsageError();
  }
}

void Printouts(HostContext& host) {
  auto* printer = dynamic_cast<TextPrinter*>(&CurrentPrinter());
  if (!printer) throw std::runtime_error("the printer is not the headless one");
  if (printer->Jobs().empty()) host.out << "nothing printed\n";
  for (std::size_t i = 0; i < printer->Jobs().size(); ++i) {
    const auto& job = printer->Jobs()[i];
    host.out << "print job " << i + 1 << " \"" << job.title << "\" in " << job.font << ", "
             << job.pages.size() << (job.pages.size() == 1 ? " page" : " pages");
    if (!job.file.empty()) host.out << ", written to " << job.file.string();
    host.out << '\n' << TextPrinter::Render(job);
    for (const auto& picture : job.pictures) {
      host.out << "--- picture \"" << picture.title << "\" (SVG, " << picture.svg.size() << " bytes";
      if (!picture.file.empty()) host.out << ", written to " << picture.file.string();
      host.out << ") ---\n";
    }
  }
}

void Windows(HostContext& host) {
  if (AllForms().empty()) host.out << "no windows\n";
  for (const Form* f : AllForms()) {
    host.out << "  " << f->Name() << " \"" << f->Caption() << "\""
             << (f->Visible() ? " shown" : " hidden") << (f->IsModal() ? " modal" : "")
             << (f->State() == WindowState::Minimized ? " minimised" : "") << '\n';
  }
}

void Window(HostContext& host, Args args) {
  const Form& form = FormNamed(args[0]);
  host.out << "window " << form.Name() << " \"" << form.Caption() << "\""
           << (form.Visible() ? " shown" : " hidden") << '\n';
  for (const Control* c : form.Controls()) host.out << "  " << c->Describe() << '\n';
}

void Click(Args args) {
  Control* control = &ControlAt(args[0]);
  if (dynamic_cast<ListBox*>(control) && args.size() == 2)
    return ControlNamed<ListBox>(args[0], "a list").UserClick(RequiredNumber(args[1]));
  if (args.size() != 1) throw UsageError();
  if (dynamic_cast<CheckBox*>(control))
    return ControlNamed<CheckBox>(args[0], "a check box").UserClick();
  ControlNamed<Button>(args[0], "a button").UserClick();
}

void Choose(Args args) {
  if (dynamic_cast<RadioGroup*>(&ControlAt(args[0])))
    return ControlNamed<RadioGroup>(args[0], "a radio group").UserSelect(RequiredNumber(args[1]));
  ControlNamed<ComboBox>(args[0], "a combo box").UserSelect(RequiredNumber(args[1]));
}

void Type(Args args) {
  Control* control = &ControlAt(args[0]);
  if (dynamic_cast<ComboBox*>(control))
    return ControlNamed<ComboBox>(args[0], "a combo box").UserType(args[1]);
  if (dynamic_cast<Memo*>(control))
    return ControlNamed<Memo>(args[0], "a memo").SetText(args[1]);
  ControlNamed<Edit>(args[0], "an edit box").UserType(args[1]);
}

void Page(Args args) {
  auto& pages = ControlNamed<PageControl>(args[0], "a page control");
  if (auto n = ParseNumber(args[1])) return pages.UserSelectPage(*n);
  for (int i = 0; i < pages.PageCount(); ++i)
    if (pages.Page(i).Name() == args[1] || pages.Page(i).Caption() == args[1])
      return pages.UserSelectPage(i);
  throw std::runtime_error(args[0] + " has no page " + args[1]);
}

void Clock(HostContext& host, Args args) {
  if (args.empty()) {
    const DateTime now = Now();
    host.out << ShortDate(now) << " " << LongTime(now) << '\n';
    return;
  }
  if (args[0] == "real" && args.size() == 1) return FixClock(std::nullopt);
  if (args.size() != 2) throw UsageError();
  auto moment = ParseDateTime(args[0] + " " + args[1]);
  if (!moment) throw std::runtime_error("not a moment: " + args[0] + " " + args[1]);
  FixClock(moment);
}

std::atomic<bool> stopServing = false;

extern "C" void StopServing(int) { stopServing = true; }

// Lets the plug-ins work (call stacks arrive through the message slot) until
// the time is up or the user interrupts.
void Serve(HostContext& host, Args args) {
  const bool timed = !args.empty();
  const auto parsed = timed ? ParseNumber(args[0]) : std::optional<int>(0);
  if (!parsed || *parsed < 0) throw UsageError();
  const int seconds = *parsed;
  const std::size_t before = host.session.Project().diagrams.size();
  host.out << "serving" << (timed ? " for " + args[0] + " s" : std::string()) << "; Ctrl+C stops"
           << std::endl;
  stopServing = false;
  auto* oldInt = std::signal(SIGINT, StopServing);
  auto* oldTerm = std::signal(SIGTERM, StopServing);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!stopServing && (!timed || std::chrono::steady_clock::now() < end))
    UiLoop::Instance().RunUntil([] { return stopServing.load(); }, std::chrono::milliseconds(100));
  std::signal(SIGINT, oldInt);
  std::signal(SIGTERM, oldTerm);
  host.out << "served: " << host.session.Project().diagrams.size() - before
           << " new diagrams" << std::endl;
}

void AwaitDiagrams(HostContext& host, Args args) {
  const auto count = ParseNumber(args[0]);
  const auto ms = args.size() > 1 ? ParseNumber(args[1]) : std::optional<int>(10000);
  if (!count || !ms) throw UsageError();
  const auto& diagrams = host.session.Project().diagrams;
  if (!UiLoop::Instance().RunUntil([&] { return int(diagrams.size()) >= *count; },
                                   UiLoop::Duration(*ms)))
    throw std::runtime_error("the project has " + std::to_string(diagrams.size()) +
                             " diagrams, not " + args[0] + ", after " + std::to_string(*ms) + " ms");
}

// Commands queued for windows shown modally, by window name.
struct ModalQueue {
  std::map<std::string, std::deque<std::string>, std::less<>> lines;
};

// Dialogs, the clipboard and the printer.
void AddDialogCommands(CommandTable& table, HostContext& host) {
  table.Add("answer", {"answer ok|yes|no|cancel, answer text TEXT, answer file PATH",
                       "queue the answer for the next dialog a plug-in shows",
                       [&host](Args a) { Answer(host, a); }, 1, 2});
  table.Add("dialogs", {"dialogs", "show the dialogs shown since the last time, with their answers",
                        [&host](Args) { Dialogs(host); }, 0, 0});
  table.Add("clipboard", {"clipboard [set TEXT]", "show (or set) the clipboard's text",
                          [&host](Args a) { ClipboardCommand(host, a); }, 0, 2});
  table.Add("printouts", {"printouts", "show what was printed",
                          [&host](Args) { Printouts(host); }, 0, 0});
}

// The plug-ins' windows and their controls, driven by name.
void AddControlCommands(CommandTable& table, HostContext& host) {
  table.Add("windows", {"windows", "list the windows", [&host](Args) { Windows(host); }, 0, 0});
  table.Add("window", {"window NAME", "show a window's controls",
                       [&host](Args a) { Window(host, a); }, 1, 1});
  table.Add("state", {"state WINDOW.CONTROL", "show one control's state",
                      [&host](Args a) { host.out << ControlAt(a[0]).Describe() << '\n'; },
                      1, 1});
  table.Add("click", {"click WINDOW.CONTROL [INDEX]",
                      "click a button or check box, or a list box's line INDEX",
                      [](Args a) { Click(a); }, 1, 2});
  table.Add("dblclick", {"dblclick WINDOW.LIST INDEX", "double-click a list box's line",
                         [](Args a) {
                           ControlNamed<ListBox>(a[0], "a list").UserDblClick(RequiredNumber(a[1]));
                         },
                         2, 2});
  table.Add("toggle", {"toggle WINDOW.LIST INDEX", "add or take a line from a list's selection",
                       [](Args a) {
                         ControlNamed<ListBox>(a[0], "a list").UserToggle(RequiredNumber(a[1]));
                       },
                       2, 2});
  table.Add("choose", {"choose WINDOW.CONTROL INDEX", "pick a line of a combo box or radio group",
                       [](Args a) { Choose(a); }, 2, 2});
  table.Add("type", {"type WINDOW.CONTROL TEXT", "type a text into an edit box, combo box or memo",
                     [](Args a) { Type(a); }, 2, 2});
  table.Add("page", {"page WINDOW.PAGES INDEX|NAME", "pick a page of a page control by its tab",
                     [](Args a) { Page(a); }, 2, 2});
  table.Add("key", {"key WINDOW.CONTROL CODE",
                    "press a key (virtual key code) in a control; Enter (13) presses the "
                    "window's default button",
                    [](Args a) {
                      ControlNamed<Control>(a[0], "a control")
                          .UserKeyDown(static_cast<std::uint16_t>(RequiredNumber(a[1])));
                    },
                    2, 2});
  table.Add("mouse", {"mouse WINDOW.CONTROL X Y", "move the pointer over a control",
                      [](Args a) {
                        ControlNamed<Control>(a[0], "a control")
                            .UserMouseMove(RequiredNumber(a[1]), RequiredNumber(a[2]));
                      },
                      3, 3});
  table.Add("show", {"show WINDOW", "show a window (it becomes active)",
                     [](Args a) { FormNamed(a[0]).Show(); }, 1, 1});
  table.Add("close", {"close WINDOW", "close a window", [](Args a) { FormNamed(a[0]).Close(); },
                      1, 1});
}

// Time: timers, call stacks on their way, the clock.
void AddTimeCommands(CommandTable& table, HostContext& host) {
  table.Add("wait", {"wait MILLISECONDS", "let timers run and handed-over work arrive",
                     [](Args a) {
                       UiLoop::Instance().RunUntil([] { return false; },
                                                   UiLoop::Duration(RequiredNumber(a[0])));
                     },
                     1, 1});
  table.Add("serve", {"serve [SECONDS]",
                      "let call stacks arrive through the message slot until the time is up or "
                      "Ctrl+C",
                      [&host](Args a) { Serve(host, a); }, 0, 1});
  table.Add("await", {"await COUNT [MS]",
                      "wait until the project has COUNT diagrams (for call stacks on their way)",
                      [&host](Args a) { AwaitDiagrams(host, a); }, 1, 2});
  table.Add("clock", {"clock [YYYY-MM-DD HH:MM:SS|real]", "show or fix the date and time",
                      [&host](Args a) { Clock(host, a); }, 0, 2});
}

// Commands queued for modal windows, run by the modal driver.
void AddModalCommands(CommandTable& table,
                      std::function<bool(const std::string&, const std::string&)> runLine) {
  auto queue = std::make_shared<ModalQueue>();
  table.Add("modal", {"modal WINDOW COMMAND",
                      "queue a command to run when WINDOW is next shown modally",
                      [queue](Args a) {
                        std::string line;
                        for (std::size_t i = 1; i < a.size(); ++i)
                          line += (i > 1 ? " " : "") + QuoteWord(a[i]);
                        queue->lines[a[0]].push_back(line);
                      },
                      2, 16});
  SetModalDriver([queue, runLine](Form& form) {
    auto it = queue->lines.find(form.Name());
    if (it == queue->lines.end()) return;
    std::deque<std::string> lines = std::move(it->second);
    queue->lines.erase(it);
    for (const auto& line : lines)
      if (!runLine(line, "modal " + form.Name())) break;
  });
}

}  // namespace

void AddUiCommands(CommandTable& table, HostContext& host,
                   std::function<bool(const std::string&, const std::string&)> runLine) {
  AddDialogCommands(table, host);
  AddControlCommands(table, host);
  AddTimeCommands(table, host);
  AddModalCommands(table, std::move(runLine));
}

}  // namespace drvx::modelhost
