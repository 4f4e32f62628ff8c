#include "install_layout.h"

namespace drvx::settings {

const char* const kHostProgramName = "dravolex-host";
const char* const kPluginLibraryName = "libDravolex.so";

}  // namespace drvx::settings
