#include "script_runner.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <vector>

#include "drvx/platform/forms.h"
#include "words.h"

namespace drvx::modelhost {

ScriptRunner::ScriptRunner(HostContext host) : host_(host) {
  commands_.Add("help", {"help [COMMAND]", "list the commands, or explain one",
                         [this](Args a) { Help(a); }, 0, 1});
  commands_.Add("echo", {"echo TEXT...", "print the text",
                         [this](Args a) {
                           for (std::size_t i = 0; i < a.size(); ++i)
                             host_.out << (i ? " " : "") << a[i];
                           host_.out << '\n';
                         },
                         0, 64});
  commands_.Add("run", {"run FILE", "run the commands of a script file",
                        [this](Args a) { Run(a); }, 1, 1});
  commands_.Add("quit", {"quit", "stop reading commands", [this](Args) { quit_ = true; }, 0, 0});
  AddModelCommands(commands_, host_, operations_);
  AddPluginCommands(commands_, host_, operations_);
  AddRenderCommands(commands_, host_);
  AddUiCommands(commands_, host_,
                [this](const std::string& line, const std::string& where) {
                  return RunLine(line, where);
                });
}

ScriptRunner::~ScriptRunner() { platform::SetModalDriver(nullptr); }

bool ScriptRunner::RunLine(std::string_view line, const std::string& where) {
  return Perform(
      [&] {
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty()) return;
        const Command* command = commands_.Find(words[0]);
        if (!command) throw std::runtime_error("unknown command \"" + words[0] + "\" (try help)");
        const Args args(words.data() + 1, words.size() - 1);
        try {
          if (args.size() < command->minArgs || args.size() > command->maxArgs) throw UsageError();
          command->run(args);
        } catch (const UsageError&) {
          throw std::runtime_error("usage: " + command->usage);
        }
      },
      where);
}

bool ScriptRunner::Perform(const std::function<void()>& operation, const std::string& where) {
  try {
    operation();
    host_.out.flush();
    return true;
  } catch (const std::exception& e) {
    host_.out.flush();
    host_.err << where << ": error: " << e.what() << std::endl;
  }
  return false;
}

bool ScriptRunner::RunScript(std::istream& in, const std::string& source, bool keepGoing) {
  bool ok = true;
  std::string line;
  for (int number = 1; !quit_ && std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!RunLine(line, source + ":" + std::to_string(number))) {
      ok = false;
      if (!keepGoing) break;
    }
  }
  return ok;
}

bool ScriptRunner::RunInteractive(std::istream& in) {
  bool ok = true;
  std::string line;
  while (!quit_) {
    host_.out << "host> " << std::flush;
    if (!std::getline(in, line)) break;
    ok = RunLine(line, "input") && ok;
  }
  return ok;
}

void ScriptRunner::Help(Args args) {
  if (!args.empty()) {
    const Command* command = commands_.Find(args[0]);
    if (!command) throw std::runtime_error("unknown command \"" + args[0] + "\"");
    host_.out << command->usage << "\n  " << command->help << '\n';
    return;
  }
  std::size_t width = 0;
  for (const auto& entry : commands_.All()) width = std::max(width, entry.first.size());
  for (const auto& [name, command] : commands_.All())
    host_.out << "  " << std::left << std::setw(int(width + 2)) << name << command.help << '\n';
}

void ScriptRunner::Run(Args args) {
  if (depth_ >= 8) throw std::runtime_error("scripts are nested more than 8 deep");
  std::ifstream in(args[0]);
  if (!in) throw std::runtime_error("cannot open the script " + args[0]);
  ++depth_;
  const bool ok = RunScript(in, args[0], false);
  --depth_;
  if (!ok) throw std::runtime_error("the script " + args[0] + " failed");
}

}  // namespace drvx::modelhost
