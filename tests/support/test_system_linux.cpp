#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/test_support.h"

namespace drvx::test {

std::filesystem::path AbsoluteFolder(const std::string& name) { return "/opt/" + name; }

void SetEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

unsigned long ProcessId() { return ::getpid(); }

unsigned long EndedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

std::vector<std::filesystem::path> SpecialFiles(const std::filesystem::path& dir) {
  if (::mkfifo((dir / "pipe").c_str(), 0600) != 0) return {};
  std::filesystem::create_symlink("/dev/zero", dir / "zero");
  return {dir / "pipe", dir / "zero"};
}

}  // namespace drvx::test
