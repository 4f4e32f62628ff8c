// Helpers shared by the host tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "drvx/platform/scripted_dialogs.h"

namespace drvx::test {

// Absolute as this system writes it (on Windows with its drive, as a host
// program sees a path it opened).
inline std::filesystem::path SourceDir() { return std::filesystem::absolute(DRVX_SOURCE_DIR); }
inline std::filesystem::path ExampleProject() {
  return SourceDir() / "examples" / "Shop" / "Shop.mmproj";
}
inline std::filesystem::path Fixture(const std::string& name) {
  return SourceDir() / "tests" / "fixtures" / name;
}
inline std::filesystem::path TestPluginDir() { return DRVX_TEST_PLUGIN_DIR; }
// The plug-in library where the build puts it, in its Experts folder.
inline std::filesystem::path Plugin() {
  return std::filesystem::path(DRVX_EXPERTS_DIR) / DRVX_PLUGIN_FILE;
}

// What differs between the systems the tests run on; tests take names,
// paths and processes from here, never from literals of one system.

// A shared library's file name: "good_plugin" gives good_plugin.so or .dll.
std::string LibraryFile(const std::string& stem);
// A test plug-in of the build, by its target name.
inline std::filesystem::path TestPlugin(const std::string& stem) {
  return TestPluginDir() / LibraryFile(stem);
}
// The plug-in library's file name in an installation (Experts/<name>).
std::string InstalledPluginFile();
// The host program's path in an installation under `prefix`, and the
// plug-in's path that goes with it.
std::filesystem::path InstalledHost(const std::filesystem::path& prefix);
std::filesystem::path InstalledPlugin(const std::filesystem::path& prefix);
// A folder that is absolute on this system ("/opt/mm", "C:\mm").
std::filesystem::path AbsoluteFolder(const std::string& name);

void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);
// This process's number, and that of a process that has run and ended.
unsigned long ProcessId();
unsigned long EndedProcessId();
// Files that exist but are not regular files (a pipe, a device), made in or
// linked from `dir` where the system can.
std::vector<std::filesystem::path> SpecialFiles(const std::filesystem::path& dir);

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadText(const std::filesystem::path& path);
// Moves the file's modification time two seconds on, as a later write would.
void TouchLater(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// The texts of the dialogs shown so far, in order.
std::vector<std::string> DialogTexts(const platform::ScriptedDialogs& dialogs);

}  // namespace drvx::test
