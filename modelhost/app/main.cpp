// dravolex-host: the substitute modelling host. Loads the plug-ins of its
// Experts folder, opens a project and runs commands on it.
#include <fstream>
#include <iostream>

#include <CLI/CLI.hpp>

#include "drvx/platform/clock.h"
#include "drvx/platform/console_dialogs.h"
#include "drvx/platform/file_version.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/paths.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx/platform/terminal.h"
#include "drvx/platform/ui_loop.h"
#include "host_session.h"
#include "plugin_loader.h"
#include "script_runner.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);

namespace {

using namespace drvx::modelhost;
namespace platform = drvx::platform;

struct Options {
  std::string project;
  std::vector<std::string> scripts;
  std::vector<std::string> commands;
  bool interactive = false;
  bool keepGoing = false;
  bool noPlugins = false;
  bool instantTimers = false;
  std::string experts;
  std::string clock;
  std::string printDir;
};

// The headless window system of this process: dialogs answered by the script
// (or at the console when there is one), notes on standard error.
class HeadlessUi {
 public:
  explicit HeadlessUi(const Options& options) : console_(std::cin, std::cout) {
    platform::UiLoop::Instance().AttachToThisThread();
    platform::UiLoop::Instance().SetInstantTimers(options.instantTimers);
    const bool terminal = platform::StandardInputIsTerminal();
    if (terminal && (options.interactive || (options.scripts.empty() && options.commands.empty())))
      dialogs_.SetFallback(&console_);
    dialogs_.SetLog([](const std::string& line) { std::cerr << "note: " << line << '\n'; });
    platform::SetLogSink([](const std::string& line) { std::cerr << "note: " << line << '\n'; });
    platform::SetDialogs(&dialogs_);
    if (!options.printDir.empty()) printer_.SetFolder(options.printDir);
    platform::SetPrinter(&printer_);
  }
  ~HeadlessUi() {
    platform::SetDialogs(nullptr);
    platform::SetPrinter(nullptr);
  }
  platform::ScriptedDialogs& Dialogs() { return dialogs_; }

 private:
  platform::ConsoleDialogs console_;
  platform::ScriptedDialogs dialogs_;
  platform::TextPrinter printer_;
};

int Run(const Options& options) {
  if (!options.clock.empty()) {
    auto moment = platform::ParseDateTime(options.clock);
    if (!moment) {
      std::cerr << "dravolex-host: error: --clock wants \"YYYY-MM-DD HH:MM:SS\", not \""
                << options.clock << "\"\n";
      return 2;
    }
    platform::FixClock(moment);
  }
  HeadlessUi ui(options);
  HostSession session;
  PluginLoader loader(session, [](const std::string& line) { std::cout << line << '\n'; });
  ScriptRunner runner({session, loader, ui.Dialogs(), std::cout, std::cerr});
  if (!options.noPlugins) {
    loader.LoadFolder(options.experts.empty()
                          ? PluginLoader::ExpertsFolderOf(platform::ExecutablePath())
                          : std::filesystem::path(options.experts));
  }
  if (!options.project.empty() &&
      !runner.Perform([&] { runner.Operations().Open(options.project); }, "dravolex-host"))
    return 2;

  bool ok = true;
  for (const auto& script : options.scripts) {
    std::ifstream in(script);
    if (!in) {
      std::cerr << script << ": error: cannot open the script\n";
      return 2;
    }
    ok = runner.RunScript(in, script, options.keepGoing) && ok;
    if ((!ok && !options.keepGoing) || runner.QuitRequested()) return ok ? 0 : 1;
  }
  for (std::size_t i = 0; i < options.commands.size() && !runner.QuitRequested(); ++i) {
    ok = runner.RunLine(options.commands[i], "command " + std::to_string(i + 1)) && ok;
    if (!ok && !options.keepGoing) return 1;
  }
  const bool nothingGiven = options.scripts.empty() && options.commands.empty();
  if (!runner.QuitRequested()) {
    if (options.interactive || (nothingGiven && platform::StandardInputIsTerminal()))
      ok = runner.RunInteractive(std::cin) && ok;
    else if (nothingGiven)
      ok = runner.RunScript(std::cin, "stdin", options.keepGoing) && ok;
  }
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "dravolex-host: a modelling host that loads the plug-ins in its Experts folder, opens a "
      "project and runs commands on it.\nWithout -s or -c it reads commands from a terminal "
      "prompt, or from standard input when that is not a terminal.\nScripts run first, then "
      "commands, then the prompt (-i). Type \"help\" for the commands."};
  app.allow_windows_style_options(false);  // "/path/Shop.mmproj" is a project, not an option
  Options options;
  app.add_option("project", options.project, "project file to open")->check(CLI::ExistingFile);
  app.add_option("-s,--script", options.scripts, "run the commands of a script file")
      ->check(CLI::ExistingFile);
  app.add_option("-c,--command", options.commands, "run one command (may be repeated)");
  app.add_flag("-i,--interactive", options.interactive, "read further commands at a prompt");
  app.add_flag("-k,--keep-going", options.keepGoing, "go on after a command fails");
  app.add_flag("--no-plugins", options.noPlugins, "load no plug-ins");
  app.add_option("--experts", options.experts,
                 "load the plug-ins from this folder instead of <prefix>/Experts")
      ->check(CLI::ExistingDirectory);
  app.add_option("--clock", options.clock,
                 "fix the date and time the plug-ins see (\"YYYY-MM-DD HH:MM:SS\")");
  app.add_flag("--instant-timers", options.instantTimers,
               "let timers fire at once instead of waiting (for scripted runs)");
  app.add_option("--print-dir", options.printDir,
                 "write every print job to a text file in this folder")
      ->check(CLI::ExistingDirectory);
  CLI11_PARSE(app, argc, argv);
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::cerr << "dravolex-host: error: " << e.what() << '\n';
    return 2;
  }
}
