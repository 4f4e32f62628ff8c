// Lines of the host's command language against the host with the real
// plug-in loaded. Commands that touch files or wait (open, save, run, serve,
// await, wait, answer file, quit) are left out.
#include <sstream>

#include "drvx/platform/printer.h"
#include "drvx/platform/text.h"
#include "drvx/platform/ui_loop.h"
#include "fuzz_support.h"
#include "plugin_loader.h"
#include "script_runner.h"
#include "words.h"

namespace {

struct CommandHost {
  CommandHost() {
    drvx::platform::UiLoop::Instance().SetInstantTimers(true);
    loader.Load(std::filesystem::path(DRVX_EXPERTS_DIR) / DRVX_PLUGIN_FILE);
    runner.Operations().Open(DRVX_SOURCE_DIR "/examples/Shop/Shop.mmproj");
  }
  drvx::modelhost::PluginLoader loader{drvx::fuzz::Host().session, [](const std::string&) {}};
  std::ostringstream out, err;
  drvx::modelhost::ScriptRunner runner{
      {drvx::fuzz::Host().session, loader, drvx::fuzz::Host().dialogs, out, err}};
};

bool LeftOut(const std::string& line) {
  std::vector<std::string> words;
  try {
    words = drvx::modelhost::SplitWords(line);
  } catch (const std::exception&) {
    return false;  // the runner reports the unclosed quote
  }
  if (words.empty()) return false;
  for (const char* command : {"open", "save", "run", "serve", "await", "wait", "quit", "new"})
    if (words[0] == command) return true;
  return words[0] == "answer" && words.size() > 1 && words[1] == "file";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CommandHost host;
  drvx::platform::TextPrinter printer;  // what this input prints goes with it
  drvx::platform::SetPrinter(&printer);
  for (const auto& line : drvx::platform::SplitLines(drvx::fuzz::Text(data, size)))
    if (!LeftOut(line)) host.runner.RunLine(line, "fuzz");
  drvx::platform::SetPrinter(nullptr);
  host.out.str("");
  host.err.str("");
  drvx::fuzz::Host().dialogs.ClearShown();
  return 0;
}
