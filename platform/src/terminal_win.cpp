#include <io.h>

#include <cstdio>

#include "drvx/platform/terminal.h"

namespace drvx::platform {

bool StandardInputIsTerminal() { return ::_isatty(::_fileno(stdin)) != 0; }

}  // namespace drvx::platform
