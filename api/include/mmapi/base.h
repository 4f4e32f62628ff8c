// Fundamental types of the host tools ABI: calling convention, status codes,
// GUIDs and the string passing rule. Declarations only.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define MMCALL __stdcall
#else
#define MMCALL
#endif

namespace mmapi {

// Every operation returns a 32-bit status. Zero is success; values with the
// high bit set are failures. A failure is accompanied by an error text in the
// calling thread's error record (IMMToolServices::GetErrorText).
using MMStatus = std::int32_t;

inline constexpr MMStatus MM_OK = 0;
inline constexpr MMStatus MM_E_NOTIMPL = static_cast<MMStatus>(0x80004001u);
inline constexpr MMStatus MM_E_NOINTERFACE = static_cast<MMStatus>(0x80004002u);
inline constexpr MMStatus MM_E_POINTER = static_cast<MMStatus>(0x80004003u);
inline constexpr MMStatus MM_E_BOUNDS = static_cast<MMStatus>(0x8000000Bu);
inline constexpr MMStatus MM_E_ILLEGAL_STATE = static_cast<MMStatus>(0x8000000Eu);
inline constexpr MMStatus MM_E_UNEXPECTED = static_cast<MMStatus>(0x8000FFFFu);
inline constexpr MMStatus MM_E_OUTOFMEMORY = static_cast<MMStatus>(0x8007000Eu);
inline constexpr MMStatus MM_E_INVALIDARG = static_cast<MMStatus>(0x80070057u);
inline constexpr MMStatus MM_E_NOTFOUND = static_cast<MMStatus>(0x80070490u);

constexpr bool MMFailed(MMStatus s) { return s < 0; }

// 32-bit flag across the boundary: 0 is false, anything else true.
using MMBool = std::int32_t;

struct MMGuid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];

  friend constexpr bool operator==(const MMGuid& a, const MMGuid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i)
      if (a.data4[i] != b.data4[i]) return false;
    return true;
  }
};
static_assert(sizeof(MMGuid) == 16);

namespace detail {
constexpr std::uint32_t hexDigit(char c) {
  return c >= '0' && c <= '9'   ? std::uint32_t(c - '0')
         : c >= 'a' && c <= 'f' ? std::uint32_t(c - 'a' + 10)
         : c >= 'A' && c <= 'F' ? std::uint32_t(c - 'A' + 10)
                                : throw "invalid hex digit in GUID";
}
constexpr std::uint32_t hexValue(const char* s, int digits) {
  std::uint32_t v = 0;
  for (int i = 0; i < digits; ++i) v = v * 16 + hexDigit(s[i]);
  return v;
}
}  // namespace detail

// Builds a GUID at compile time from its registry form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
constexpr MMGuid MakeGuid(const char (&s)[39]) {
  if (s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-' || s[37] != '}')
    throw "GUID must have the form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  MMGuid g{detail::hexValue(s + 1, 8), std::uint16_t(detail::hexValue(s + 10, 4)),
           std::uint16_t(detail::hexValue(s + 15, 4)), {}};
  const int at[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) g.data4[i] = std::uint8_t(detail::hexValue(s + at[i], 2));
  return g;
}

// Strings cross the boundary as UTF-16 code units and are never freed by the
// module that receives them.
//
// In-strings are a pointer and a length in code units, borrowed for the call.
//
// Out-strings are an MMStrView that the callee fills with a view of text it
// owns. The view stays valid while the caller holds its reference to the
// object that answered and until the next call that changes that object's
// text (for a per-thread record such as the error text: until the next
// failing call on the same thread). A caller that needs the text longer copies
// it. The callee clears the view before it does anything else; an empty text
// may have a null data pointer.
struct MMStrView {
  const char16_t* data;
  std::uint32_t length;
  std::uint32_t reserved;  // zero
};
static_assert(sizeof(MMStrView) == sizeof(void*) + 8);

// A list of 32-bit values the callee owns, handed out as MMStrView hands out
// text, under the same rules.
struct MMInt32View {
  const std::int32_t* data;
  std::uint32_t count;
  std::uint32_t reserved;  // zero
};
static_assert(sizeof(MMInt32View) == sizeof(void*) + 8);

}  // namespace mmapi
