// The version text a binary carries. The build embeds a version note in the
// plug-in library and the host (DRVX_FILE_VERSION_NOTE); reading it back by
// path gives the text, or none for a file without a note.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "drvx/platform/export.h"

// Embeds the note; use once per binary, in a source file of it.
#define DRVX_FILE_VERSION_NOTE(version)                                  \
  extern "C" __attribute__((used, section(".drvx_version"))) const char \
      drvx_file_version_note[] = "DRVX-FileVersion:" version

namespace drvx::platform {

// The version text of the file ("1.1.0.39"), none when it has no note or
// cannot be read.
DRVX_PLATFORM_API std::optional<std::string> FileVersionText(const std::filesystem::path& path);

}  // namespace drvx::platform
