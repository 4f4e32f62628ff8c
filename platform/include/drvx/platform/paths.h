// Where the running program lives.
#pragma once

#include <filesystem>

namespace drvx::platform {

// Full path of the running executable (the host program, also when asked from
// inside a plug-in library).
std::filesystem::path ExecutablePath();

}  // namespace drvx::platform
