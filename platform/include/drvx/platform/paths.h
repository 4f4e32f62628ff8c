// Where the running program lives.
#pragma once

#include <filesystem>

#include "drvx/platform/export.h"

namespace drvx::platform {

// Full path of the running executable (the host program, also when asked from
// inside a plug-in library).
DRVX_PLATFORM_API std::filesystem::path ExecutablePath();

}  // namespace drvx::platform
