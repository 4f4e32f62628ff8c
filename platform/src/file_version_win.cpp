#include <windows.h>

#include <cstdio>
#include <vector>

#include "drvx/platform/file_version.h"

namespace drvx::platform {

// The "FileVersion" text of the file's version resource, in the resource's
// first language, as a file's properties show it.
std::optional<std::string> FileVersionText(const std::filesystem::path& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> info(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return std::nullopt;
  struct Translation {
    WORD language;
    WORD codePage;
  }* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation))
    return std::nullopt;
  wchar_t key[64];
  std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[0].language,
                translations[0].codePage);
  wchar_t* text = nullptr;
  if (!VerQueryValueW(info.data(), key, reinterpret_cast<void**>(&text), &length) || length == 0)
    return std::nullopt;
  std::string version;
  for (const wchar_t* c = text; *c && c < text + length; ++c) {
    if (*c > 0x7F) return std::nullopt;  // a version text is digits and dots
    version += char(*c);
  }
  if (version.empty()) return std::nullopt;
  return version;
}

}  // namespace drvx::platform
