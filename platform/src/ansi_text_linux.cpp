#include "drvx/platform/ansi_text.h"

#include "mmapi/cxx/utf.h"

namespace drvx::platform {

void AnsiFromUtf16(std::u16string_view text, std::string& out) {
  out.clear();
  mmapi::cxx::AppendUtf8(text, out);
}

void Utf16FromAnsi(std::string_view text, std::u16string& out) {
  out.clear();
  mmapi::cxx::AppendUtf16(text, out, mmapi::cxx::InvalidUtf8::Latin1);
}

std::size_t AnsiCharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char16_t c : Utf16FromAnsi(text)) count += c < 0xDC00 || c > 0xDFFF;  // pairs count once
  return count;
}

}  // namespace drvx::platform
