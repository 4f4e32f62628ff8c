// The system's text for a Windows error code.
#pragma once

#include <string>

namespace drvx::platform {

// "The system cannot find the file specified. (error 2)"; the calling
// thread's last error when none is given.
std::string SystemErrorText(unsigned long error);
std::string LastErrorText();

}  // namespace drvx::platform
