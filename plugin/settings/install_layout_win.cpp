#include "install_layout.h"

namespace drvx::settings {

const char* const kHostProgramName = "mm8.exe";
const char* const kPluginLibraryName = "Dravolex.dll";

}  // namespace drvx::settings
