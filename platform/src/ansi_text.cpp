#include "drvx/platform/ansi_text.h"

namespace drvx::platform {

std::string HostForm(std::string_view text) { return AnsiFromUtf16(Utf16FromAnsi(text)); }

}  // namespace drvx::platform
