// Whole-file reading and crash-safe writing.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

// The whole content of the file; throws std::runtime_error naming the path and
// the system's reason when it cannot be read.
DRVX_PLATFORM_API std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces the file's content so that a crash leaves the old or the new file,
// never a torn one: writes a temporary file in the same folder, flushes it to
// disk, renames it over the old one and flushes the folder. On failure the old
// file is untouched, the temporary file is removed, and std::runtime_error
// names the path and the reason.
DRVX_PLATFORM_API void WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

}  // namespace drvx::platform
