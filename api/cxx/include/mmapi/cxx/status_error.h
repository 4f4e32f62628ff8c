// Failures inside either side are exceptions carrying a status and the text the
// user will read; Guard turns them back into a status at the boundary.
#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "mmapi/base.h"

namespace mmapi::cxx {

class StatusError : public std::runtime_error {
 public:
  StatusError(MMStatus status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  MMStatus Status() const { return status_; }

 private:
  MMStatus status_;
};

// Runs body and returns MM_OK, or turns whatever it throws into a status and
// hands the error text (UTF-8) to report, which must not throw. With a
// non-zero `failure`, every failure answers that status; otherwise a
// StatusError keeps its own.
template <class Body, class Report>
MMStatus Guard(Body&& body, Report&& report, MMStatus failure = MM_OK) noexcept {
  MMStatus status = MM_E_UNEXPECTED;
  try {
    try {
      body();
      return MM_OK;
    } catch (const StatusError& e) {
      status = e.Status();
      report(e.what());
    } catch (const std::bad_alloc&) {
      status = MM_E_OUTOFMEMORY;
      report("out of memory");
    } catch (const std::exception& e) {
      report(e.what());
    } catch (...) {
      report("unknown error");
    }
  } catch (...) {
    // The report itself failed; the status still goes back.
  }
  return failure != MM_OK ? failure : status;
}

}  // namespace mmapi::cxx
