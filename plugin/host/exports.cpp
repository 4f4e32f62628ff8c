// The three functions the host looks up in the plug-in library.
#include "drvx/platform/file_version.h"
#include "drvx/platform/forms.h"
#include "guarded.h"
#include "host_api.h"
#include "korvanti_expert.h"
#include "mmapi/exports.h"
#include "project_notifier.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);

MM_EXPORT std::int32_t MMCALL MMExpertVersionProc() { return mmapi::MMExpertInterfaceVersion; }

// Builds the plug-in and registers its expert and project notifier. A failure
// ends entry at that step (what was made so far stays) and is told to the
// host; nothing escapes.
MM_EXPORT void MMCALL MMExpertEntryProc(mmapi::IMMToolServices* services) {
  using namespace drvx;
  drvx::host::GuardedEntry(services, [&] {
    host::HostToolServices() = host::ComPtr<mmapi::IMMToolServices>::Share(services);
    auto expert = mmapi::cxx::MakeCom<expert::TKorvantiExpertInterface>();
    std::int32_t registration = 0;
    host::Check(services->RegisterExpert(expert.Get(), &registration));
    auto notifier = mmapi::cxx::MakeCom<host::TProjectNotifier>();
    host::ProjectNotifier = notifier.Get();
    host::Check(services->RegisterProjectNotifier(notifier.Get(), &registration));
    platform::SetApplicationWindow(host::Services().HostWindowHandle());
  });
}

MM_EXPORT void MMCALL MMExpertExitProc() {}
