// The commands of the host's command language, by name.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace drvx::platform {
class ScriptedDialogs;
}

namespace drvx::modelhost {

class HostOperations;
class HostSession;
class PluginLoader;

using Args = std::span<const std::string>;

// Thrown by a command whose arguments do not fit; the runner prints its usage.
struct UsageError : std::runtime_error {
  UsageError() : std::runtime_error("usage") {}
};

struct Command {
  std::string usage;
  std::string help;
  std::function<void(Args)> run;
  std::size_t minArgs = 0;
  std::size_t maxArgs = 0;
};

class CommandTable {
 public:
  void Add(std::string name, Command command) { commands_[std::move(name)] = std::move(command); }
  const Command* Find(std::string_view name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : &it->second;
  }
  const std::map<std::string, Command, std::less<>>& All() const { return commands_; }

 private:
  std::map<std::string, Command, std::less<>> commands_;
};

// What the commands work on.
struct HostContext {
  HostSession& session;
  PluginLoader& loader;
  platform::ScriptedDialogs& dialogs;
  std::ostream& out;
  std::ostream& err;
};

// The command groups.
void AddModelCommands(CommandTable& table, HostContext& host, HostOperations& operations);
void AddPluginCommands(CommandTable& table, HostContext& host, HostOperations& operations);
// Also makes printing a diagram draw it into the print job.
void AddRenderCommands(CommandTable& table, HostContext& host);
// `runLine` runs a line of the language (for the actions queued for modal
// windows).
void AddUiCommands(CommandTable& table, HostContext& host,
                   std::function<bool(const std::string& line, const std::string& where)> runLine);

}  // namespace drvx::modelhost
