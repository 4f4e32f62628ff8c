// File reading (whole or piece by piece) and crash-safe writing.
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

// A file read from start to end in pieces, with the checks and errors of
// ReadWholeFile, so that a large file is never held whole.
class DRVX_PLATFORM_API FileReader {
 public:
  FileReader(const std::filesystem::path& path, std::uint64_t maxBytes);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // The size when it was opened; no more than that is read.
  std::uint64_t Size() const { return size_; }
  // Fills the buffer with the next bytes and returns how many: fewer than
  // `size` only at the end, 0 after it. Throws std::runtime_error naming the
  // path when the system cannot read.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  // One system read of at most `size` bytes; 0 at the end.
  std::size_t ReadSome(char* buffer, std::size_t size);

  std::filesystem::path path_;
  std::intptr_t handle_;  // the system's file descriptor or handle
  std::uint64_t size_ = 0;
  std::uint64_t done_ = 0;
};

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
