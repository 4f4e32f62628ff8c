#include "drvx/platform/ansi_text.h"

namespace drvx::platform {

std::size_t AnsiCharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char16_t c : Utf16FromAnsi(text)) count += c < 0xDC00 || c > 0xDFFF;  // pairs count once
  return count;
}

std::string HostForm(std::string_view text) { return AnsiFromUtf16(Utf16FromAnsi(text)); }

}  // namespace drvx::platform
