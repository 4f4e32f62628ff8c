// The plug-in's 8-bit text is the system's ANSI code page. These convert
// names at the host boundary. On Linux it is UTF-8, and a byte that does not
// begin a valid UTF-8 sequence (text from a Latin-1 program, say) stands for
// the Latin-1 character of its value: "T\xe4" reaches the host as "Tä" and
// comes back as "T\xc3\xa4". Compare a name with names read back from the
// host in its HostForm.
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
// points: of UTF-8 on Linux, of the ANSI code page on Windows).
DRVX_PLATFORM_API std::size_t AnsiCharacterCount(std::string_view text);

// The text as it comes back from the host after a round trip: the same text
// for valid UTF-8, invalid bytes made into their Latin-1 characters.
DRVX_PLATFORM_API std::string HostForm(std::string_view text);

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
