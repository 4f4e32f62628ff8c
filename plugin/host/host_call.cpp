#include "host_call.h"

#include <cstdio>

namespace drvx::host {

ComPtr<mmapi::IMMToolServices>& HostToolServices() {
  static ComPtr<mmapi::IMMToolServices> services;
  return services;
}

void ThrowHostFailure(MMStatus status) {
  std::string text;
  if (auto& services = HostToolServices()) {
    MMStrView view{};
    if (!mmapi::MMFailed(services->GetErrorText(&view)))
      platform::AnsiFromUtf16(ViewOf(view), text);
  }
  if (text.empty()) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "host call failed with status 0x%08X",
                  static_cast<unsigned>(status));
    text = buffer;
  }
  throw mmapi::cxx::StatusError(status, text);
}

void ThrowNone(const char* what) {
  throw mmapi::cxx::StatusError(mmapi::MM_E_POINTER,
                                std::string("no ") + what + " (the host answered none)");
}

}  // namespace drvx::host
