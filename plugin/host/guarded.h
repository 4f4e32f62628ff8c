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

}  // namespace drvx::host
