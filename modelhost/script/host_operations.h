// The host's typed operations, one set for all its faces: the command
// language parses its words and calls these; the headless program and the
// desktop host call them directly with their values. Each writes what it did
// to the context's out stream (a notifier's warnings to err) and throws a
// std::runtime_error saying what failed.
#pragma once

#include <filesystem>
#include <string>

#include "command_table.h"
#include "plugin_calls.h"

namespace drvx::modelhost {

// What `Select` makes current.
enum class Selectable { Class, Member, Method, Module, Diagram };

class HostOperations {
 public:
  explicit HostOperations(HostContext& host) : host_(host) {}

  // Opens a project file: before-open (a notifier's veto stops it, nothing
  // changed), load, after-open. The plug-ins hear the full path.
  void Open(const std::filesystem::path& file);
  // Starts a new, empty project, with before-new and after-new.
  void New();
  // Saves to `file`, or to the project's own file when `file` is empty, with
  // before-save and after-save.
  void Save(const std::filesystem::path& file = {});
  // Executes verb `index` of the expert of that registration number.
  void Execute(int expert, int index);
  // Makes the element named so (as the lookups of model_lookup.h take names:
  // members as Class.Member, any element as #id) current in the navigator.
  void Select(Selectable what, const std::string& name);

 private:
  // Sends a project event; a before-event that a notifier declines fails.
  void Notify(ProjectEvent event, const std::string& fileName, bool vetoFails);

  HostContext& host_;
};

}  // namespace drvx::modelhost
