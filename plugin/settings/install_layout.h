// Names of the host programs and the plug-in library in an installation:
// <prefix>/bin/<host program> and <prefix>/Experts/<plug-in library>.
#pragma once

#include <span>

namespace drvx::settings {

// The host programs whose installation holds the plug-in: this project's own
// host first, then the names of the hosts the plug-in was made for.
extern const std::span<const char* const> kHostProgramNames;
extern const char* const kPluginLibraryName;

}  // namespace drvx::settings
