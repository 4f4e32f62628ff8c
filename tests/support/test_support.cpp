#include "support/test_support.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "drvx/platform/dynamic_library.h"
#include "install_layout.h"

namespace drvx::test {

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::filesystem::temp_directory_path() /
            ("drvx-test-" + std::to_string(ProcessId()) + "-" + std::to_string(random() % 1000000));
    if (std::filesystem::create_directory(path_)) {
      std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string LibraryFile(const std::string& stem) {
  return stem + platform::SharedLibrarySuffix();
}

std::string InstalledPluginFile() { return settings::kPluginLibraryName; }

std::filesystem::path InstalledHost(const std::filesystem::path& prefix) {
  return prefix / "bin" / settings::kHostProgramNames[0];
}

std::filesystem::path InstalledPlugin(const std::filesystem::path& prefix) {
  return prefix / "Experts" / settings::kPluginLibraryName;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void TouchLater(const std::filesystem::path& path) {
  std::filesystem::last_write_time(path,
                                   std::filesystem::last_write_time(path) + std::chrono::seconds(2));
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> DialogTexts(const platform::ScriptedDialogs& dialogs) {
  std::vector<std::string> texts;
  for (const auto& d : dialogs.Shown()) texts.push_back(d.text);
  return texts;
}

}  // namespace drvx::test
