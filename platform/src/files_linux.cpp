#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "drvx/platform/files.h"
#include "files_common.h"

namespace drvx::platform {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
  files::Fail(what, path, std::strerror(error));
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  int Close() { return ::close(std::exchange(fd_, -1)); }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

void WriteAll(int fd, std::string_view content, const std::filesystem::path& path) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", path, errno);
    }
    content.remove_prefix(std::size_t(n));
  }
}

}  // namespace

FileReader::FileReader(const std::filesystem::path& path, std::uint64_t maxBytes)
    : path_(path), handle_(-1) {
  // Non-blocking, so that opening a pipe does not wait for a writer.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) Fail("cannot open", path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) Fail("cannot read", path, errno);
  if (!S_ISREG(info.st_mode)) files::FailNotRegular(path, S_ISDIR(info.st_mode));
  files::CheckSize(path, std::uint64_t(info.st_size), maxBytes);
  size_ = std::uint64_t(info.st_size);
  handle_ = fd.Release();
  opened_ = Now();
}

namespace {

std::int64_t Nanoseconds(const timespec& t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; }

}  // namespace

FileReader::Stamp FileReader::Now() const {
  struct stat info {};
  if (::fstat(int(handle_), &info) != 0) Fail("cannot read", path_, errno);
  return {std::uint64_t(info.st_size), Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim)};
}

FileReader::~FileReader() { ::close(int(handle_)); }

std::size_t FileReader::ReadSome(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(int(handle_), buffer, size);
    if (n >= 0) return std::size_t(n);
    if (errno != EINTR) Fail("cannot read", path_, errno);
  }
}

namespace {

// An unnamed file in the folder (O_TMPFILE): a crash before it is linked in
// leaves nothing behind. None where the file system cannot make one.
int OpenUnnamed(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0) return fd;
  if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return -1;
  return -2;
}

bool ProcessRuns(unsigned long process) {
  return ::kill(pid_t(process), 0) == 0 || errno != ESRCH;
}

// A temporary file this program may have made: a regular file of this user
// with no other name.
bool IsOwnTemporary(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_uid == ::geteuid() && info.st_nlink == 1;
}

// A name for linking the finished file in before it is renamed over the old
// one; taken with an exclusive link, so two writers never share it. A name
// whose writer was killed between linking and renaming is removed here, by
// the next save of the same file.
std::filesystem::path LinkUnnamed(int fd, const std::filesystem::path& path) {
  const std::string source = "/proc/self/fd/" + std::to_string(fd);
  files::RemoveStaleTemporaries(path, ::getpid(), ProcessRuns, IsOwnTemporary);
  for (unsigned attempt = 0;; ++attempt) {
    const std::filesystem::path name = files::TemporaryName(path, ::getpid(), attempt);
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return name;
    if (errno != EEXIST || attempt == 1000) Fail("cannot create a temporary file for", path, errno);
  }
}

// The file a path names: the path itself, or where its chain of symbolic
// links ends (which need not exist yet).
std::filesystem::path FinalTarget(const std::filesystem::path& path) {
  std::filesystem::path target = path;
  for (int hop = 0;; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) return target;
    if (hop == 40) Fail("cannot write", path, ELOOP);
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) Fail("cannot write", path, error.value());
    target = next.is_absolute() ? next : files::FolderOf(target) / next;
  }
}

// Gives the new file what the replaced one had: its owner and group as far
// as this user may (root keeps another user's file theirs; anybody may keep
// a group of their own), then its permissions (a change of owner clears the
// set-user and set-group bits).
void KeepAttributes(int fd, const struct stat& old) {
  if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
    // Neither may be kept: the file is this user's, as a new file would be.
  }
  ::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& requested,
                         const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path path = FinalTarget(requested);
  const std::filesystem::path folder = files::FolderOf(path);
  struct stat old {};
  const bool replacing = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  std::filesystem::path tmp;
  int unnamed = OpenUnnamed(folder);
  if (unnamed == -2) Fail("cannot create a temporary file for", path, errno);
  const bool named = unnamed < 0;
  if (named) {  // the file system has no unnamed files: a named one, removed on failure
    std::string tmpl = (folder / (files::TemporaryPrefix(path) + "XXXXXX")).string();
    unnamed = ::mkstemp(tmpl.data());
    if (unnamed < 0) Fail("cannot create a temporary file for", path, errno);
    tmp = tmpl;
  }
  Fd fd(unnamed);
  try {
    files::WriteThrough([&](std::string_view bytes) { WriteAll(fd.Get(), bytes, path); }, write);
    if (::fsync(fd.Get()) != 0) Fail("cannot flush", path, errno);
    if (replacing) {
      KeepAttributes(fd.Get(), old);
    } else if (named) {
      // A new file gets what the umask leaves of 0666, as an unnamed one
      // does from the start, not mkstemp's 0600.
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd.Get(), 0666 & ~mask);
    }
    if (tmp.empty()) tmp = LinkUnnamed(fd.Get(), path);
    if (fd.Close() != 0) Fail("cannot close", tmp, errno);
    if (::rename(tmp.c_str(), path.c_str()) != 0) Fail("cannot replace", path, errno);
  } catch (...) {
    if (!tmp.empty()) ::unlink(tmp.c_str());
    throw;
  }
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.Get() >= 0) ::fsync(dir.Get());
}

}  // namespace drvx::platform
