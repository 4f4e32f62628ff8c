// How the plug-in answers the host: every operation the host calls runs under
// this guard, which turns any error into the failure status 0x8000FFFF and
// leaves the error's text in the host's error record.
#pragma once

#include "host_call.h"

namespace drvx::host {

// Leaves the text in the host's error record for the calling thread.
void ReportToHost(const char* text) noexcept;

template <class Body>
MMStatus Guarded(Body&& body) noexcept {
  return mmapi::cxx::Guard(body, ReportToHost, mmapi::MM_E_UNEXPECTED);
}

// Runs a plug-in's entry under the guard: a failure is told to the host with
// ReportEntryFailure (the entry function has no result) and goes no further.
template <class Body>
void GuardedEntry(mmapi::IMMToolServices* services, Body&& body) noexcept {
  mmapi::cxx::Guard(body, [services](const char* text) {
    if (!services) return;
    std::u16string message;
    platform::Utf16FromAnsi(text, message);
    services->ReportEntryFailure(message.data(), static_cast<std::uint32_t>(message.size()));
  });
}

}  // namespace drvx::host
