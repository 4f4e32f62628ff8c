#include "install_layout.h"

namespace drvx::settings {
namespace {

constexpr const char* kHosts[] = {"dravolex-host", "dravolex-studio"};

}  // namespace

const std::span<const char* const> kHostProgramNames = kHosts;
const char* const kPluginLibraryName = "libDravolex.so";

}  // namespace drvx::settings
