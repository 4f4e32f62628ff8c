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
// ReadWholeFile, so that a large file is never held whole. A file that
// changes while it is read (it shrinks, grows, or its time of change moves
// on) is refused when the change shows: at the latest when its last byte
// has been read, the reader throws std::runtime_error rather than give a mix
// of old and new bytes. (A rewrite of the same size within one tick of the
// file system's clock, a few milliseconds, cannot be told apart.)
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
  // path when the system cannot read or the file changed.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  // What shows a change of the file: its size and its times of change.
  struct Stamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const Stamp&) const = default;
  };
  // One system read of at most `size` bytes; 0 at the end.
  std::size_t ReadSome(char* buffer, std::size_t size);
  Stamp Now() const;
  [[noreturn]] void FailChanged() const;

  std::filesystem::path path_;
  std::intptr_t handle_;  // the system's file descriptor or handle
  Stamp opened_;
  std::uint64_t size_ = 0;
  std::uint64_t done_ = 0;
  bool checked_ = false;  // the end was reached and the file found unchanged
};

// Size limits of the files the plug-in and host read.
inline constexpr std::uint64_t kMaxSettingsFile = 1 << 20;      // Dravolex.cfg, header.txt
inline constexpr std::uint64_t kMaxListFile = 64 << 20;         // call lists, group files
inline constexpr std::uint64_t kMaxProjectFile = 1ull << 30;    // project files

// Replaces the file's content so that a crash leaves the old or the new file,
// never a torn one: writes a temporary file in the same folder, flushes it to
// disk, renames it over the old one and flushes the folder. On failure the old
// file is untouched, the temporary file is removed, and std::runtime_error
// names the path and the reason. On Linux the new file keeps the replaced
// one's permissions, and its owner and group where the saving user may give
// them; a path that is a symbolic link is written at the file it names (the
// link stays). A file with several names (hard links) gets a new file at
// the name saved; its other names keep the old content. Temporary files
// left by a killed writer are removed only when they are this user's.
DRVX_PLATFORM_API void WriteFileAtomically(const std::filesystem::path& path, std::string_view content);
// The same for content written piece by piece to a stream (large output is
// never held in memory as a whole).
DRVX_PLATFORM_API void WriteFileAtomically(const std::filesystem::path& path,
                                           const std::function<void(std::ostream&)>& write);

}  // namespace drvx::platform
