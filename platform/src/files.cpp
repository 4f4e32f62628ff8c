#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "drvx/platform/files.h"
#include "files_common.h"

namespace drvx::platform {
namespace files {

void Fail(const std::string& what, const std::filesystem::path& path, const std::string& reason) {
  throw std::runtime_error(what + " \"" + path.string() + "\": " + reason);
}

void FailNotRegular(const std::filesystem::path& path, bool folder) {
  if (folder) throw std::runtime_error("\"" + path.string() + "\" is a folder, not a file");
  throw std::runtime_error("\"" + path.string() +
                           "\" is not a regular file (a device, pipe or socket); it is not read");
}

void CheckSize(const std::filesystem::path& path, std::uint64_t size, std::uint64_t maxBytes) {
  if (size > maxBytes)
    throw std::runtime_error("\"" + path.string() + "\" has " + std::to_string(size) +
                             " bytes, more than the " + std::to_string(maxBytes) +
                             " read from such a file");
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

namespace {

// The longest file name most file systems take, in bytes.
constexpr std::size_t kMaxFileName = 255;
// What a temporary name adds after its prefix: ".<process>.<attempt>" or
// mkstemp's "XXXXXX".
constexpr std::size_t kTemporarySuffix = 32;

}  // namespace

std::string TemporaryPrefix(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  // Cut so that the whole temporary name stays a legal file name, and never
  // inside a UTF-8 sequence.
  std::size_t keep = std::min(name.size(), kMaxFileName - kTemporarySuffix - 2);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  name.resize(keep);
  return "." + name + ".";
}

std::filesystem::path TemporaryName(const std::filesystem::path& path, unsigned long process,
                                    unsigned attempt) {
  return FolderOf(path) /
         (TemporaryPrefix(path) + std::to_string(process) + "." + std::to_string(attempt));
}

void RemoveStaleTemporaries(const std::filesystem::path& path, unsigned long ownProcess,
                            const std::function<bool(unsigned long)>& processRuns,
                            const std::function<bool(const std::filesystem::path&)>& isOwn) {
  const std::string prefix = TemporaryPrefix(path);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(path), error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto dot = rest.find('.');
    if (dot == 0 || dot == std::string::npos || dot > 18 ||
        rest.find_first_not_of("0123456789.") != std::string::npos)
      continue;
    const unsigned long writer = std::stoul(rest.substr(0, dot));
    if (writer != ownProcess && !processRuns(writer) && isOwn(entry.path()))
      std::filesystem::remove(entry.path(), error);
  }
}

namespace {

// A stream buffer that hands full buffers to the sink.
class SinkBuffer final : public std::streambuf {
 public:
  explicit SinkBuffer(const std::function<void(std::string_view)>& sink) : sink_(sink) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  void Drain() {
    sink_(std::string_view(pbase(), std::size_t(pptr() - pbase())));
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
        sink_(std::string_view(s, std::size_t(n)));
        return n;
      }
    }
    std::memcpy(pptr(), s, std::size_t(n));
    pbump(int(n));
    return n;
  }

 private:
  const std::function<void(std::string_view)>& sink_;
  char buffer_[1 << 16];
};

}  // namespace

void WriteThrough(const std::function<void(std::string_view)>& sink,
                  const std::function<void(std::ostream&)>& write) {
  SinkBuffer buffer(sink);
  std::ostream out(&buffer);
  out.exceptions(std::ios::badbit);
  write(out);
  buffer.Drain();
}

}  // namespace files

std::size_t FileReader::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  while (total < size && done_ < size_) {
    const std::size_t want = std::size_t(std::min<std::uint64_t>(size - total, size_ - done_));
    const std::size_t n = ReadSome(buffer + total, want);
    if (n == 0) FailChanged();  // it shrank meanwhile
    total += n;
    done_ += n;
  }
  if (done_ == size_ && !checked_) {
    if (!(Now() == opened_)) FailChanged();
    checked_ = true;
  }
  return total;
}

void FileReader::FailChanged() const {
  throw std::runtime_error("\"" + path_.string() +
                           "\" changed while it was read (another program wrote it); it was not "
                           "taken, so that nothing of two versions is mixed");
}

std::string ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
  FileReader file(path, maxBytes);
  std::string content(std::size_t(file.Size()), '\0');
  content.resize(file.Read(content.data(), content.size()));
  return content;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
  WriteFileAtomically(path, [content](std::ostream& out) {
    out.write(content.data(), std::streamsize(content.size()));
  });
}

}  // namespace drvx::platform
