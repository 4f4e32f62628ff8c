#include "host_call.h"

#include "guarded.h"
#include "mmapi/cxx/utf.h"

#include <cstdio>

namespace drvx::host {

namespace {

// A plain pointer: nothing of it runs when the library is unloaded.
mmapi::IMMToolServices* bound = nullptr;

}  // namespace

mmapi::IMMToolServices* HostToolServices() { return bound; }

HostBinding::HostBinding(mmapi::IMMToolServices* services)
    : services_(ComPtr<mmapi::IMMToolServices>::Share(services)), previous_(bound) {
  bound = services;
}

HostBinding::~HostBinding() { bound = previous_; }

void ThrowHostFailure(MMStatus status) {
  std::string text;
  if (auto* services = HostToolServices()) {
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

void ReportToHost(const char* text) noexcept {
  try {
    if (auto* services = HostToolServices()) {
      std::u16string message;
      platform::Utf16FromAnsi(text, message);
      services->SetErrorText(message.data(), static_cast<std::uint32_t>(message.size()));
    }
  } catch (...) {
    // Out of memory while reporting: the status still tells the host.
  }
}

void ThrowNone(const char* what) {
  throw mmapi::cxx::StatusError(mmapi::MM_E_POINTER,
                                std::string("no ") + what + " (the host answered none)");
}

}  // namespace drvx::host
