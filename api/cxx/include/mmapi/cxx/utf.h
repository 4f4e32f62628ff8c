// UTF-8 <-> UTF-16 conversion. Malformed input (stray surrogates, invalid
// UTF-8 sequences) becomes U+FFFD; nothing is dropped silently.
#pragma once

#include <string>
#include <string_view>

namespace mmapi::cxx {

// Appends the UTF-8 form of text to out (out is not cleared).
void AppendUtf8(std::u16string_view text, std::string& out);
// Appends the UTF-16 form of text to out (out is not cleared).
void AppendUtf16(std::string_view text, std::u16string& out);

inline std::string ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf8(text, out);
  return out;
}
inline std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  AppendUtf16(text, out);
  return out;
}

}  // namespace mmapi::cxx
