// How the plug-in calls the host: every failed status becomes a StatusError
// carrying the host's error text, and names are converted between the host's
// UTF-16 and the plug-in's 8-bit text.
#pragma once

#include <string>
#include <string_view>

#include "drvx/platform/ansi_text.h"
#include "mmapi/cxx/com_ptr.h"
#include "mmapi/cxx/status_error.h"
#include "mmapi/services.h"

namespace drvx::host {

using mmapi::MMStatus;
using mmapi::MMStrView;
using mmapi::cxx::ComPtr;

// The host's services of the newest living HostBinding, or null. Only the
// error channel uses them: the error texts of failed host calls are read
// through them, and a guarded operation's failure is told through them.
// Everything else reaches the host through the Services its owner was given.
mmapi::IMMToolServices* HostToolServices();

// Binds the host's services to this library for as long as it lives, holding
// a counted reference; the binding it replaced comes back when it goes.
// Made and destroyed on the user-interface thread, in nested order.
class HostBinding {
 public:
  explicit HostBinding(mmapi::IMMToolServices* services);
  ~HostBinding();
  HostBinding(const HostBinding&) = delete;
  HostBinding& operator=(const HostBinding&) = delete;

 private:
  ComPtr<mmapi::IMMToolServices> services_;
  mmapi::IMMToolServices* previous_;
};

// Throws the StatusError for a failed host call: the host's error text, or a
// text naming the status when the host left none.
[[noreturn]] void ThrowHostFailure(MMStatus status);

inline void Check(MMStatus status) {
  if (mmapi::MMFailed(status)) ThrowHostFailure(status);
}

// Throws for an operation on an empty reference ("none").
[[noreturn]] void ThrowNone(const char* what);

inline std::u16string_view ViewOf(const MMStrView& v) { return {v.data, v.length}; }

// Runs op(&view) and converts the answer into out (replacing it, reusing its
// storage).
template <class Op>
void ReadTextInto(std::string& out, Op&& op) {
  MMStrView view{};
  Check(op(&view));
  platform::AnsiFromUtf16(ViewOf(view), out);
}

template <class Op>
std::string ReadText(Op&& op) {
  std::string out;
  ReadTextInto(out, op);
  return out;
}

template <class T, class Op>
T ReadValue(Op&& op) {
  T value{};
  Check(op(&value));
  return value;
}

template <class I, class Op>
ComPtr<I> ReadRef(Op&& op) {
  ComPtr<I> ref;
  Check(op(ref.Put()));
  return ref;
}

// An 8-bit argument converted for the host, alive for the call.
class Arg16 {
 public:
  explicit Arg16(std::string_view text) : text_(platform::Utf16FromAnsi(text)) {}
  const char16_t* Data() const { return text_.data(); }
  std::uint32_t Length() const { return static_cast<std::uint32_t>(text_.size()); }

 private:
  std::u16string text_;
};

}  // namespace drvx::host
