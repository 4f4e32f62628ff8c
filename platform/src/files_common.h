// What reading and atomic writing of files share on every system: the error
// texts, the temporary names beside the file, and a stream that writes
// through a system call.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace drvx::platform::files {

// Throws std::runtime_error: <what> "<path>": <reason>.
[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path,
                       const std::string& reason);
// Throws for a folder, or for anything else that is not a regular file.
[[noreturn]] void FailNotRegular(const std::filesystem::path& path, bool folder);
// Throws unless a file of `size` bytes may be read under the limit.
void CheckSize(const std::filesystem::path& path, std::uint64_t size, std::uint64_t maxBytes);

// The folder a file is written in.
std::filesystem::path FolderOf(const std::filesystem::path& path);
// Temporary names of a file are ".NAME.<process>.<n>" in its folder, NAME
// cut so that they stay legal file names; TemporaryPrefix is ".NAME.".
std::string TemporaryPrefix(const std::filesystem::path& path);
std::filesystem::path TemporaryName(const std::filesystem::path& path, unsigned long process,
                                    unsigned attempt);
// Removes the temporary names of `path` left by writers that no longer run
// (killed between creating and renaming them), when isOwn says the file is
// one this program may have made.
void RemoveStaleTemporaries(const std::filesystem::path& path, unsigned long ownProcess,
                            const std::function<bool(unsigned long)>& processRuns,
                            const std::function<bool(const std::filesystem::path&)>& isOwn);

// Runs the writer on a buffered stream whose bytes go to `sink`; the sink's
// errors reach the caller as they are.
void WriteThrough(const std::function<void(std::string_view)>& sink,
                  const std::function<void(std::ostream&)>& write);

}  // namespace drvx::platform::files
