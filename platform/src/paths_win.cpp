#include <windows.h>

#include <string>
#include <system_error>

#include "drvx/platform/paths.h"

namespace drvx::platform {

std::filesystem::path ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n == 0)
      throw std::system_error(int(GetLastError()), std::system_category(),
                              "cannot find the running executable");
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: a long path
  }
}

}  // namespace drvx::platform
