// The plug-in's 8-bit text is the system's ANSI code page (UTF-8 on Linux, so
// nothing is lost there). These convert names at the host boundary.
#pragma once

#include <string>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

// Replaces out with the 8-bit form of text, reusing out's storage.
DRVX_PLATFORM_API void AnsiFromUtf16(std::u16string_view text, std::string& out);
// Replaces out with the UTF-16 form of text, reusing out's storage.
DRVX_PLATFORM_API void Utf16FromAnsi(std::string_view text, std::u16string& out);

// The number of characters of an 8-bit text, as a layout counts them (code
// points of UTF-8 on Linux).
DRVX_PLATFORM_API std::size_t AnsiCharacterCount(std::string_view text);

inline std::string AnsiFromUtf16(std::u16string_view text) {
  std::string out;
  AnsiFromUtf16(text, out);
  return out;
}
inline std::u16string Utf16FromAnsi(std::string_view text) {
  std::u16string out;
  Utf16FromAnsi(text, out);
  return out;
}

}  // namespace drvx::platform
