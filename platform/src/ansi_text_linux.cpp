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

}  // namespace drvx::platform
