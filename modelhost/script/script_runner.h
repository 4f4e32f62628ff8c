// The substitute host's command language: one command per line, run from the
// command line, from script files, from standard input or interactively.
// `help` lists the commands; README.md documents them with examples.
#pragma once

#include <istream>
#include <string>
#include <string_view>

#include <functional>

#include "command_table.h"
#include "host_operations.h"

namespace drvx::modelhost {

class ScriptRunner {
 public:
  explicit ScriptRunner(HostContext host);
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Runs one line. On failure writes "<where>: error: <reason>" to err and
  // returns false.
  bool RunLine(std::string_view line, const std::string& where);
  // Runs one of the typed operations (or anything that throws on failure)
  // the way RunLine runs a command: a failure is written as
  // "<where>: error: <reason>" and gives false.
  bool Perform(const std::function<void()>& operation, const std::string& where);
  HostOperations& Operations() { return operations_; }
  // Runs a script; stops at the first failing line unless keepGoing. True
  // when every line succeeded.
  bool RunScript(std::istream& in, const std::string& source, bool keepGoing);
  // Prompts on out for each line until end of input or `quit`.
  bool RunInteractive(std::istream& in);

  bool QuitRequested() const { return quit_; }

 private:
  void Help(Args args);
  void Run(Args args);

  HostContext host_;
  HostOperations operations_{host_};
  CommandTable commands_;
  bool quit_ = false;
  int depth_ = 0;  // scripts running scripts
};

}  // namespace drvx::modelhost
