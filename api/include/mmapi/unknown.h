// The root interface every object across the boundary implements.
#pragma once

#include "mmapi/base.h"

namespace mmapi {

// Reference-counted root. QueryInterface returns a counted reference in *out
// (null and MM_E_NOINTERFACE when the object lacks the interface). AddRef and
// Release return the new count, which is for diagnostics only.
//
// Objects of the host and of the plug-in belong to the host's user-interface
// thread: counts are not atomic, and no operation may be called from another
// thread.
struct IMMUnknown {
  using BaseInterface = void;
  static constexpr MMGuid IID = MakeGuid("{00000000-0000-0000-C000-000000000046}");

  virtual MMStatus MMCALL QueryInterface(const MMGuid& iid, void** out) = 0;
  virtual std::uint32_t MMCALL AddRef() = 0;
  virtual std::uint32_t MMCALL Release() = 0;

 protected:
  ~IMMUnknown() = default;
};

}  // namespace mmapi
