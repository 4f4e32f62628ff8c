// The version text a binary carries: on Windows the "FileVersion" of its
// version resource (the build gives the plug-in library and the programs
// one), elsewhere a version note the build embeds (DRVX_FILE_VERSION_NOTE).
// Reading it back by path gives the text, or none for a file without one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "drvx/platform/export.h"

// Embeds the note; use once per binary, in a source file of it. On Windows
// the version resource holds the text instead.
#if defined(_WIN32)
#define DRVX_FILE_VERSION_NOTE(version) static_assert(sizeof(version) > 1, "a version text")
#else
#define DRVX_FILE_VERSION_NOTE(version)                                  \
  extern "C" __attribute__((used, section(".drvx_version"))) const char \
      drvx_file_version_note[] = "DRVX-FileVersion:" version
#endif

namespace drvx::platform {

// The version text of the file ("1.1.0.39"), none when it has no note or
// cannot be read.
DRVX_PLATFORM_API std::optional<std::string> FileVersionText(const std::filesystem::path& path);

}  // namespace drvx::platform
