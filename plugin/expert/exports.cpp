// The three functions the host looks up in the plug-in library, on the
// contract written in mmapi/exports.h: the context is made by entry and
// destroyed by exit, which the host calls after it has released what entry
// registered, also after a failed entry.
#include <memory>

#include "drvx/platform/file_version.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/paths.h"
#include "guarded.h"
#include "mmapi/exports.h"
#include "plugin_context.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);

namespace {

// The plug-in's one owner of state, from entry to exit.
std::unique_ptr<drvx::expert::PluginContext> context;

}  // namespace

MM_EXPORT std::int32_t MMCALL MMExpertVersionProc() { return mmapi::MMExpertInterfaceVersion; }

// Builds the plug-in and registers its expert and project notifier. A failure
// ends entry at that step (what was made so far stays until the exit
// procedure) and is told to the host; nothing escapes.
MM_EXPORT void MMCALL MMExpertEntryProc(mmapi::IMMToolServices* services) {
  using namespace drvx;
  host::GuardedEntry(services, [&] {
    if (context) throw std::logic_error("the Dravolex plug-in has been started already");
    if (!services) throw std::invalid_argument("the host handed the plug-in no services");
    context = std::make_unique<expert::PluginContext>(host::Services::Of(services),
                                                       platform::ExecutablePath());
    context->Register();
    platform::SetApplicationWindow(context->Services().HostWindowHandle());
  });
}

// Tears the plug-in down (see PluginContext for the order); afterwards no code
// of this library is registered with the host or the platform.
MM_EXPORT void MMCALL MMExpertExitProc() { context.reset(); }
