#include <windows.h>

#include <utility>

#include "drvx/platform/files.h"
#include "files_common.h"
#include "system_error_win.h"

namespace drvx::platform {
namespace {

[[noreturn]] void FailWithLastError(const std::string& what, const std::filesystem::path& path) {
  files::Fail(what, path, LastErrorText());
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
  }
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_;
};

constexpr DWORD kChunk = 1 << 20;

void WriteAll(HANDLE file, std::string_view content, const std::filesystem::path& path) {
  while (!content.empty()) {
    DWORD written = 0;
    const DWORD size = DWORD(std::min<std::size_t>(content.size(), kChunk));
    if (!WriteFile(file, content.data(), size, &written, nullptr)) FailWithLastError("cannot write", path);
    content.remove_prefix(written);
  }
}

bool ProcessRuns(unsigned long process) {
  const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(process));
  if (!handle) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  DWORD code = 0;
  const bool runs = !GetExitCodeProcess(handle, &code) || code == STILL_ACTIVE;
  CloseHandle(handle);
  return runs;
}

}  // namespace

FileReader::FileReader(const std::filesystem::path& path, std::uint64_t maxBytes)
    : path_(path), handle_(std::intptr_t(INVALID_HANDLE_VALUE)) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) FailWithLastError("cannot open", path);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) files::FailNotRegular(path, true);
  Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                          nullptr));
  if (!file.Valid()) FailWithLastError("cannot open", path);
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) files::FailNotRegular(path, false);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) FailWithLastError("cannot read", path);
  files::CheckSize(path, std::uint64_t(size.QuadPart), maxBytes);
  size_ = std::uint64_t(size.QuadPart);
  handle_ = std::intptr_t(file.Release());
  opened_ = Now();
}

FileReader::Stamp FileReader::Now() const {
  LARGE_INTEGER size{};
  FILE_BASIC_INFO times{};
  if (!GetFileSizeEx(HANDLE(handle_), &size) ||
      !GetFileInformationByHandleEx(HANDLE(handle_), FileBasicInfo, &times, sizeof times))
    FailWithLastError("cannot read", path_);
  return {std::uint64_t(size.QuadPart), times.LastWriteTime.QuadPart, times.ChangeTime.QuadPart};
}

FileReader::~FileReader() { CloseHandle(HANDLE(handle_)); }

std::size_t FileReader::ReadSome(char* buffer, std::size_t size) {
  DWORD n = 0;
  if (!ReadFile(HANDLE(handle_), buffer, DWORD(std::min<std::size_t>(size, kChunk)), &n, nullptr))
    FailWithLastError("cannot read", path_);
  return n;
}

// A temporary file of this process beside the target, flushed to disk, then
// moved over the target with write-through. One left by a writer that was
// killed is removed by the next save of the same file.
void WriteFileAtomically(const std::filesystem::path& path,
                         const std::function<void(std::ostream&)>& write) {
  const unsigned long self = GetCurrentProcessId();
  files::RemoveStaleTemporaries(path, self, ProcessRuns,
                                [](const std::filesystem::path&) { return true; });
  std::filesystem::path tmp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; created == INVALID_HANDLE_VALUE; ++attempt) {
    tmp = files::TemporaryName(path, self, attempt);
    created = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE &&
        (GetLastError() != ERROR_FILE_EXISTS || attempt == 1000))
      FailWithLastError("cannot create a temporary file for", path);
  }
  Handle file(created);
  try {
    files::WriteThrough([&](std::string_view bytes) { WriteAll(file.Get(), bytes, path); }, write);
    if (!FlushFileBuffers(file.Get())) FailWithLastError("cannot flush", path);
    if (!file.Close()) FailWithLastError("cannot close", tmp);
    if (!MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      FailWithLastError("cannot replace", path);
  } catch (...) {
    file.Close();
    DeleteFileW(tmp.c_str());
    throw;
  }
}

}  // namespace drvx::platform
