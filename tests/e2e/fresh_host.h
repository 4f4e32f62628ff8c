// A substitute host of its own for an end-to-end test: the plug-in loaded
// through its exports, the example project open, dialogs recorded.
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>

#include "drvx/platform/scripted_dialogs.h"
#include "host_session.h"
#include "support/test_support.h"
#include "plugin_loader.h"
#include "script_runner.h"
#include "words.h"

namespace drvx::test {

// A host of its own with the plug-in loaded and the example project open.
struct FreshHost {
  FreshHost() {
    platform::SetDialogs(&dialogs);
    if (!loader.Load(test::Plugin())) throw std::runtime_error("the plug-in did not load");
    if (!Run("open " + modelhost::QuoteWord(test::ExampleProject().string())))
      throw std::runtime_error(err.str());
  }
  ~FreshHost() {
    loader.UnloadAll();
    platform::SetDialogs(nullptr);
  }
  bool Run(const std::string& line) { return runner.RunLine(line, "e2e"); }

  modelhost::HostSession session;
  modelhost::PluginLoader loader{session, [](const std::string&) {}};
  platform::ScriptedDialogs dialogs;
  std::ostringstream out, err;
  modelhost::ScriptRunner runner{{session, loader, dialogs, out, err}};
};

}  // namespace drvx::test
