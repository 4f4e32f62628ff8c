#include <windows.h>

#include "drvx/platform/ansi_text.h"

namespace drvx::platform {

// The system's ANSI code page; a character it lacks becomes its best fit or "?".
void AnsiFromUtf16(std::u16string_view text, std::string& out) {
  out.clear();
  if (text.empty()) return;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  out.resize(std::size_t(n));
  WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), out.data(), n, nullptr, nullptr);
}

void Utf16FromAnsi(std::string_view text, std::u16string& out) {
  out.clear();
  if (text.empty()) return;
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  out.resize(std::size_t(n));
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
}

}  // namespace drvx::platform
