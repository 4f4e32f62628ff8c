#include <gtest/gtest.h>

#include "drvx/platform/files.h"
#include "drvx/platform/paths.h"
#include "modelhost/test_support.h"

namespace {

using drvx::platform::ReadWholeFile;
using drvx::platform::WriteFileAtomically;
using drvx::test::TempDir;

TEST(AtomicFile, CreatesAndReplacesAFileLeavingNoTemporaryBehind) {
  TempDir dir;
  WriteFileAtomically(dir / "a.txt", "first");
  WriteFileAtomically(dir / "a.txt", "second\r\n");
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "second\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(AtomicFile, AFailedReplaceKeepsWhatWasThereAndNamesThePath) {
  TempDir dir;
  // A folder in the file's place cannot be replaced by a file.
  std::filesystem::create_directory(dir / "a.txt");
  WriteFileAtomically(dir / "a.txt" / "inner", "old");
  try {
    WriteFileAtomically(dir / "a.txt", "new");
    FAIL() << "the write should fail";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("a.txt"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadWholeFile(dir / "a.txt" / "inner"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(AtomicFile, AMissingFolderIsReported) {
  TempDir dir;
  EXPECT_THROW(WriteFileAtomically(dir / "no" / "such" / "a.txt", "x"), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(ReadWholeFile, NamesAMissingFile) {
  TempDir dir;
  try {
    ReadWholeFile(dir / "missing.txt");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos) << e.what();
  }
}

TEST(Paths, TheExecutableIsThisTestProgram) {
  EXPECT_EQ(drvx::platform::ExecutablePath().filename(), "drvx_tests");
}

}  // namespace
