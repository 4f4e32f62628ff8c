// Whether the program talks to a person.
#pragma once

#include "drvx/platform/export.h"

namespace drvx::platform {

// Whether standard input is a terminal (a console on Windows).
DRVX_PLATFORM_API bool StandardInputIsTerminal();

}  // namespace drvx::platform
