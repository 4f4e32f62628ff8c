// The three functions the host looks up in the plug-in library.
#include "drvx/platform/file_version.h"
#include "host_call.h"
#include "mmapi/exports.h"
#include "mmapi/cxx/utf.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);

using drvx::host::HostToolServices;

MM_EXPORT std::int32_t MMCALL MMExpertVersionProc() { return mmapi::MMExpertInterfaceVersion; }

MM_EXPORT void MMCALL MMExpertEntryProc(mmapi::IMMToolServices* services) {
  mmapi::cxx::Guard(
      [&] { HostToolServices() = mmapi::cxx::ComPtr<mmapi::IMMToolServices>::Share(services); },
      [&](const char* text) {
        if (!services) return;
        const std::u16string message = mmapi::cxx::ToUtf16(text);
        services->ReportEntryFailure(message.data(), std::uint32_t(message.size()));
      });
}

MM_EXPORT void MMCALL MMExpertExitProc() {}
