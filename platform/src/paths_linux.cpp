#include <system_error>

#include "drvx/platform/paths.h"

namespace drvx::platform {

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw std::system_error(error, "cannot find the running executable");
  return path;
}

}  // namespace drvx::platform
