// Helpers shared by the host tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "drvx/platform/scripted_dialogs.h"

namespace drvx::test {

inline std::filesystem::path SourceDir() { return DRVX_SOURCE_DIR; }
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
void WriteText(const std::filesystem::path& path, const std::string& text);
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// The texts of the dialogs shown so far, in order.
std::vector<std::string> DialogTexts(const platform::ScriptedDialogs& dialogs);

}  // namespace drvx::test
