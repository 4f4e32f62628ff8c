#include <windows.h>

#include <cstdlib>
#include <stdexcept>

#include "drvx/platform/paths.h"
#include "support/test_support.h"

namespace drvx::test {

std::filesystem::path AbsoluteFolder(const std::string& name) { return "C:\\" + name; }

void SetEnvironment(const std::string& name, const std::string& value) {
  ::_putenv_s(name.c_str(), value.c_str());
}

void UnsetEnvironment(const std::string& name) { ::_putenv_s(name.c_str(), ""); }

unsigned long ProcessId() { return GetCurrentProcessId(); }

// The test program itself, run with a filter that matches no test.
unsigned long EndedProcessId() {
  std::wstring command = L"\"" + platform::ExecutablePath().wstring() + L"\" --gtest_filter=-*";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process))
    throw std::runtime_error("cannot start a process");
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return process.dwProcessId;
}

// The null device: it exists, but is no file on a disk.
std::vector<std::filesystem::path> SpecialFiles(const std::filesystem::path&) { return {"NUL"}; }

}  // namespace drvx::test
