#include <unistd.h>

#include "drvx/platform/terminal.h"

namespace drvx::platform {

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }

}  // namespace drvx::platform
