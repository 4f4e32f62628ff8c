#include <algorithm>
#include <fstream>
#include <iterator>

#include "drvx/platform/file_version.h"

namespace drvx::platform {

std::optional<std::string> FileVersionText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Built at run time, so that this library's own bytes do not hold the marker.
  const std::string marker = std::string("DRVX-File") + "Version:";
  const auto at = std::search(content.begin(), content.end(), marker.begin(), marker.end());
  if (at == content.end()) return std::nullopt;
  const auto begin = at + std::ptrdiff_t(marker.size());
  const auto end = std::find(begin, content.end(), '\0');
  if (end == content.end() || end == begin) return std::nullopt;
  return std::string(begin, end);
}

}  // namespace drvx::platform
