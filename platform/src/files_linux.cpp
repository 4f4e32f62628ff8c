#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "drvx/platform/files.h"

namespace drvx::platform {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
  throw std::runtime_error(what + " \"" + path.string() + "\": " + std::strerror(error));
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

std::string ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
  // Non-blocking, so that opening a pipe does not wait for a writer.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) Fail("cannot open", path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) Fail("cannot read", path, errno);
  if (S_ISDIR(info.st_mode))
    throw std::runtime_error("\"" + path.string() + "\" is a folder, not a file");
  if (!S_ISREG(info.st_mode))
    throw std::runtime_error("\"" + path.string() +
                             "\" is not a regular file (a device, pipe or socket); it is not read");
  if (std::uint64_t(info.st_size) > maxBytes)
    throw std::runtime_error("\"" + path.string() + "\" has " + std::to_string(info.st_size) +
                             " bytes, more than the " + std::to_string(maxBytes) +
                             " read from such a file");
  std::string content(std::size_t(info.st_size), '\0');
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::read(fd.Get(), content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read", path, errno);
    if (n == 0) break;  // it shrank meanwhile
    done += std::size_t(n);
  }
  content.resize(done);
  return content;
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

// The temporary names of a file are ".NAME.<pid>.<n>". One whose writer
// was killed between linking it in and renaming it is removed by the next
// save of the same file.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& prefix) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto dot = rest.find('.');
    if (dot == 0 || dot == std::string::npos ||
        rest.find_first_not_of("0123456789.") != std::string::npos)
      continue;
    const pid_t writer = pid_t(std::stol(rest.substr(0, dot)));
    if (writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH)
      ::unlink(entry.path().c_str());
  }
}

// A name for linking the finished file in before it is renamed over the old
// one; taken with an exclusive link, so two writers never share it.
std::filesystem::path LinkUnnamed(int fd, const std::filesystem::path& folder,
                                  const std::filesystem::path& path) {
  const std::string source = "/proc/self/fd/" + std::to_string(fd);
  const std::string prefix = "." + path.filename().string() + ".";
  RemoveStaleTemporaries(folder, prefix);
  for (unsigned attempt = 0;; ++attempt) {
    const std::filesystem::path name =
        folder / (prefix + std::to_string(::getpid()) + "." + std::to_string(attempt));
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return name;
    if (errno != EEXIST || attempt == 1000) Fail("cannot create a temporary file for", path, errno);
  }
}


// A stream buffer that writes to a file descriptor, failing loudly.
class FdBuffer final : public std::streambuf {
 public:
  FdBuffer(int fd, const std::filesystem::path& path) : fd_(fd), path_(path) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  void Drain() {
    WriteAll(fd_, std::string_view(pbase(), std::size_t(pptr() - pbase())), path_);
    setp(buffer_, buffer_ + sizeof buffer_);
  }

 protected:
  int_type overflow(int_type c) override {
    Drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n > epptr() - pptr()) {
      Drain();
      if (n > epptr() - pptr()) {
        WriteAll(fd_, std::string_view(s, std::size_t(n)), path_);
        return n;
      }
    }
    std::memcpy(pptr(), s, std::size_t(n));
    pbump(int(n));
    return n;
  }

 private:
  int fd_;
  const std::filesystem::path& path_;
  char buffer_[1 << 16];
};

// Runs the writer on a stream into the file; the buffer's errors reach the
// caller as they are (the stream rethrows them).
void WriteThrough(int fd, const std::filesystem::path& path,
                  const std::function<void(std::ostream&)>& write) {
  FdBuffer buffer(fd, path);
  std::ostream out(&buffer);
  out.exceptions(std::ios::badbit);
  write(out);
  buffer.Drain();
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
  WriteFileAtomically(path, [content](std::ostream& out) {
    out.write(content.data(), std::streamsize(content.size()));
  });
}

void WriteFileAtomically(const std::filesystem::path& path,
                         const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::filesystem::path tmp;
  int unnamed = OpenUnnamed(folder);
  if (unnamed == -2) Fail("cannot create a temporary file for", path, errno);
  if (unnamed < 0) {  // the file system has no unnamed files: a named one, removed on failure
    std::string tmpl = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    unnamed = ::mkstemp(tmpl.data());
    if (unnamed < 0) Fail("cannot create a temporary file for", path, errno);
    tmp = tmpl;
  }
  Fd fd(unnamed);
  try {
    WriteThrough(fd.Get(), path, write);
    if (::fsync(fd.Get()) != 0) Fail("cannot flush", path, errno);
    // Keep the permissions a new file would get rather than mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.Get(), 0666 & ~mask);
    if (tmp.empty()) tmp = LinkUnnamed(fd.Get(), folder, path);
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
