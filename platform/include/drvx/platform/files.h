// Whole-file reading and crash-safe writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

// The whole content of a regular file of at most maxBytes; throws
// std::runtime_error naming the path and the reason when it cannot be read,
// is not a regular file (a folder, device, pipe or socket is never read, so
// nothing blocks or reads without end) or is larger.
DRVX_PLATFORM_API std::string ReadWholeFile(const std::filesystem::path& path,
                                            std::uint64_t maxBytes);

// Size limits of the files the plug-in and host read.
inline constexpr std::uint64_t kMaxSettingsFile = 1 << 20;      // Dravolex.cfg, header.txt
inline constexpr std::uint64_t kMaxListFile = 64 << 20;         // call lists, group files
inline constexpr std::uint64_t kMaxProjectFile = 1ull << 30;    // project files

// Replaces the file's content so that a crash leaves the old or the new file,
// never a torn one: writes a temporary file in the same folder, flushes it to
// disk, renames it over the old one and flushes the folder. On failure the old
// file is untouched, the temporary file is removed, and std::runtime_error
// names the path and the reason.
DRVX_PLATFORM_API void WriteFileAtomically(const std::filesystem::path& path, std::string_view content);
// The same for content written piece by piece to a stream (large output is
// never held in memory as a whole).
DRVX_PLATFORM_API void WriteFileAtomically(const std::filesystem::path& path,
                                           const std::function<void(std::ostream&)>& write);

}  // namespace drvx::platform
