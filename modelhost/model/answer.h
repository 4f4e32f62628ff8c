// How the substitute host answers a call across the boundary: out-parameters
// are cleared first, the body runs under a guard, and a failure leaves its
// text in the calling thread's error record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mmapi/cxx/com_ptr.h"
#include "mmapi/cxx/status_error.h"
#include "mmapi/unknown.h"

namespace drvx::modelhost {

using mmapi::MMStatus;
using mmapi::MMStrView;
using mmapi::cxx::ComPtr;
using mmapi::cxx::StatusError;

// The calling thread's error record (IMMToolServices::GetErrorText).
std::u16string& ErrorRecord();
void SetErrorRecord(std::string_view utf8);

// Throws a StatusError with the given status and text.
[[noreturn]] void Fail(MMStatus status, const std::string& text);
// Throws MM_E_BOUNDS unless 0 <= index < count; `what` names the operation.
void CheckIndex(const char* what, std::int32_t index, std::size_t count);

// Planned failures, for testing how callers cope with a failing host: the
// next calls of an operation (by its name, "Name", "Diagrams"...) fail with the
// given text, after `skip` calls that succeed. Host's thread only.
struct PlannedFault {
  std::string operation;
  std::string text;
  int skip = 0;   // calls that still succeed first
  int times = 1;  // calls that fail then
};
void PlanFault(PlannedFault fault);
void ClearPlannedFaults();
const std::vector<PlannedFault>& PlannedFaults();
namespace detail {
inline bool faultsPlanned = false;
inline std::uint64_t callCount = 0;
void FailIfPlanned(const char* operation);
}  // namespace detail

// How many operations the host has answered (for measurements).
inline std::uint64_t HostCallCount() { return detail::callCount; }

// Runs an operation's body under the boundary's guard.
template <class Body>
MMStatus Do(const char* operation, Body&& body) noexcept {
  ++detail::callCount;
  return mmapi::cxx::Guard(
      [&] {
        if (detail::faultsPlanned) detail::FailIfPlanned(operation);
        body();
      },
      [](const char* text) { SetErrorRecord(text); });
}

inline MMStatus NullOut(const char* what) noexcept {
  SetErrorRecord(std::string(what) + ": the out-parameter is null");
  return mmapi::MM_E_POINTER;
}

// *out := body(), a value.
template <class T, class Body>
MMStatus AnswerValue(const char* what, T* out, Body&& body) noexcept {
  if (!out) return NullOut(what);
  *out = T{};
  return Do(what, [&] { *out = body(); });
}

// *out := a view of body()'s text, which must outlive the call (base.h).
template <class Body>
MMStatus AnswerText(const char* what, MMStrView* out, Body&& body) noexcept {
  if (!out) return NullOut(what);
  *out = MMStrView{};
  return Do(what, [&] {
    const std::u16string_view text = body();
    *out = MMStrView{text.data(), static_cast<std::uint32_t>(text.size()), 0};
  });
}

// *out := a counted reference to body()'s object (which may be null).
template <class I, class Body>
MMStatus AnswerRef(const char* what, I** out, Body&& body) noexcept {
  if (!out) return NullOut(what);
  *out = nullptr;
  return Do(what, [&] {
    I* p = body();
    if (p) p->AddRef();
    *out = p;
  });
}

inline std::u16string_view In(const char16_t* text, std::uint32_t length) {
  return text ? std::u16string_view(text, length) : std::u16string_view();
}

}  // namespace drvx::modelhost
