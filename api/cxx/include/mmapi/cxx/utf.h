// UTF-8 <-> UTF-16 conversion. Malformed input (stray surrogates, invalid
// UTF-8 sequences) becomes U+FFFD, or each invalid byte its Latin-1
// character where asked; nothing is dropped silently.
#pragma once

#include <string>
#include <string_view>

namespace mmapi::cxx {

// Appends the UTF-8 form of text to out (out is not cleared).
void AppendUtf8(std::u16string_view text, std::string& out);
// What a byte that does not begin a valid UTF-8 sequence becomes.
enum class InvalidUtf8 {
  Replace,  // U+FFFD
  Latin1,   // the Latin-1 character of the byte's value (U+0080 to U+00FF)
};

// Appends the UTF-16 form of text to out (out is not cleared).
void AppendUtf16(std::string_view text, std::u16string& out,
                 InvalidUtf8 invalid = InvalidUtf8::Replace);

// True when text is UTF-8 without a malformed sequence (no overlong form,
// surrogate, or character beyond U+10FFFF).
bool IsWellFormedUtf8(std::string_view text);

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
