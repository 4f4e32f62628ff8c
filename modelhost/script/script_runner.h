// The substitute host's command language: one command per line, run from the
// command line, from script files, from standard input or interactively.
// `help` lists the commands; README.md documents them with examples.
#pragma once

#include <istream>
#include <map>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host_session.h"
#include "plugin_loader.h"

namespace drvx::modelhost {

class ScriptRunner {
 public:
  ScriptRunner(HostSession& session, PluginLoader& loader, std::ostream& out, std::ostream& err);

  // Runs one line. On failure writes "<where>: error: <reason>" to err and
  // returns false.
  bool RunLine(std::string_view line, const std::string& where);
  // Runs a script; stops at the first failing line unless keepGoing. True
  // when every line succeeded.
  bool RunScript(std::istream& in, const std::string& source, bool keepGoing);
  // Prompts on out for each line until end of input or `quit`.
  bool RunInteractive(std::istream& in);

  bool QuitRequested() const { return quit_; }

 private:
  using Args = std::span<const std::string>;
  using Handler = void (ScriptRunner::*)(Args);
  struct Command {
    const char* usage;
    const char* help;
    Handler handler;
    std::size_t minArgs;
    std::size_t maxArgs;
  };
  static const std::map<std::string_view, Command>& Commands();

  void Help(Args args);
  void Open(Args args);
  void New(Args args);
  void Save(Args args);
  void Select(Args args);
  void Clear(Args args);
  void Print(Args args);
  void Plugins(Args args);
  void Verbs(Args args);
  void Verb(Args args);
  void Exec(Args args);
  void Event(Args args);
  void Echo(Args args);
  void Quit(Args args);

  // Sends the event; fails when a notifier vetoes it (for before-events).
  void Notify(int event, const std::string& fileName, bool vetoFails);

  HostSession& session_;
  PluginLoader& loader_;
  std::ostream& out_;
  std::ostream& err_;
  bool quit_ = false;
};

}  // namespace drvx::modelhost
