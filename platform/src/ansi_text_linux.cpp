#include "drvx/platform/ansi_text.h"

#include "mmapi/cxx/utf.h"

namespace drvx::platform {

void AnsiFromUtf16(std::u16string_view text, std::string& out) {
  out.clear();
  mmapi::cxx::AppendUtf8(text, out);
}

void Utf16FromAnsi(std::string_view text, std::u16string& out) {
  out.clear();
  mmapi::cxx::AppendUtf16(text, out);
}

std::size_t AnsiCharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

}  // namespace drvx::platform
