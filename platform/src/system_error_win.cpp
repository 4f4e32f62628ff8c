#include <windows.h>

#include "system_error_win.h"

namespace drvx::platform {

std::string SystemErrorText(unsigned long error) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result(text ? text : "", n);
  LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  if (result.empty()) result = "system error";
  return result + " (error " + std::to_string(error) + ")";
}

std::string LastErrorText() { return SystemErrorText(GetLastError()); }

}  // namespace drvx::platform
