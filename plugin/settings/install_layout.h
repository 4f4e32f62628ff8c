// Names of the host program and the plug-in library in an installation:
// <prefix>/bin/<host program> and <prefix>/Experts/<plug-in library>.
#pragma once

namespace drvx::settings {

extern const char* const kHostProgramName;
extern const char* const kPluginLibraryName;

}  // namespace drvx::settings
