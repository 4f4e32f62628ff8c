#include <string.h>

#include <filesystem>

#include "drvx/platform/file_version.h"
#include "drvx/platform/files.h"

namespace drvx::platform {

std::optional<std::string> FileVersionText(const std::filesystem::path& path) {
  std::string content;
  try {
    content = ReadWholeFile(path);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  // Built at run time, so that this library's own bytes do not hold the marker.
  const std::string marker = std::string("DRVX-File") + "Version:";
  const void* hit = ::memmem(content.data(), content.size(), marker.data(), marker.size());
  if (!hit) return std::nullopt;
  const std::size_t begin = std::size_t(static_cast<const char*>(hit) - content.data()) + marker.size();
  const std::size_t end = content.find('\0', begin);
  if (end == std::string::npos || end == begin) return std::nullopt;
  return content.substr(begin, end - begin);
}

}  // namespace drvx::platform
