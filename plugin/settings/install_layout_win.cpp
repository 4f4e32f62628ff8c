#include "install_layout.h"

namespace drvx::settings {
namespace {

constexpr const char* kHosts[] = {"dravolex-host.exe", "mm8.exe", "mm9.exe"};

}  // namespace

const std::span<const char* const> kHostProgramNames = kHosts;
const char* const kPluginLibraryName = "Dravolex.dll";

}  // namespace drvx::settings
