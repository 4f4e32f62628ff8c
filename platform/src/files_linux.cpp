#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
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

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot open", path, errno);
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) Fail("cannot read", path, errno);
  return std::move(content).str();
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string tmpl = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  Fd fd(::mkstemp(tmpl.data()));
  if (fd.Get() < 0) Fail("cannot create a temporary file for", path, errno);
  const std::filesystem::path tmp = tmpl;
  try {
    WriteAll(fd.Get(), content, tmp);
    if (::fsync(fd.Get()) != 0) Fail("cannot flush", tmp, errno);
    // Keep the permissions a new file would get rather than mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.Get(), 0666 & ~mask);
    if (fd.Close() != 0) Fail("cannot close", tmp, errno);
    if (::rename(tmp.c_str(), path.c_str()) != 0) Fail("cannot replace", path, errno);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.Get() >= 0) ::fsync(dir.Get());
}

}  // namespace drvx::platform
