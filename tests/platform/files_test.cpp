#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/files.h"
#include "drvx/platform/paths.h"
#include "support/test_support.h"

namespace {

using drvx::platform::kMaxListFile;
using drvx::platform::ReadWholeFile;
using drvx::platform::WriteFileAtomically;
using drvx::test::TempDir;

TEST(AtomicFile, CreatesAndReplacesAFileLeavingNoTemporaryBehind) {
  TempDir dir;
  WriteFileAtomically(dir / "a.txt", "first");
  WriteFileAtomically(dir / "a.txt", "second\r\n");
  EXPECT_EQ(ReadWholeFile(dir / "a.txt", kMaxListFile), "second\r\n");
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
  EXPECT_EQ(ReadWholeFile(dir / "a.txt" / "inner", kMaxListFile), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

// A writer killed between linking its finished file in and renaming it
// leaves ".NAME.<pid>.<n>"; the next save of that file removes it.
TEST(AtomicFile, TheNextSaveRemovesATemporaryFileOfAKilledWriter) {
  TempDir dir;
  const std::string stale = ".a.txt." + std::to_string(drvx::test::EndedProcessId()) + ".0";
  drvx::test::WriteText(dir / stale, "half");
  drvx::test::WriteText(dir / ".a.txt.notes", "not ours");
  WriteFileAtomically(dir / "a.txt", "new");
  EXPECT_FALSE(std::filesystem::exists(dir / stale));
  EXPECT_TRUE(std::filesystem::exists(dir / ".a.txt.notes"));
  EXPECT_EQ(ReadWholeFile(dir / "a.txt", kMaxListFile), "new");
}

TEST(AtomicFile, AMissingFolderIsReported) {
  TempDir dir;
  EXPECT_THROW(WriteFileAtomically(dir / "no" / "such" / "a.txt", "x"), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(ReadWholeFile, NamesAMissingFile) {
  TempDir dir;
  try {
    ReadWholeFile(dir / "missing.txt", kMaxListFile);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos) << e.what();
  }
}

// Only regular files of a bounded size are read: a pipe, a device or a
// folder gives a clear error at once instead of blocking or reading forever.
TEST(ReadWholeFile, RefusesSpecialFilesFoldersAndOversizedFiles) {
  using ::testing::HasSubstr;
  TempDir dir;
  const auto special = drvx::test::SpecialFiles(dir.Path());
  ASSERT_FALSE(special.empty());
  drvx::test::WriteText(dir / "big.txt", std::string(2000, 'x'));
  auto error = [&](const std::filesystem::path& path, std::uint64_t limit) {
    try {
      ReadWholeFile(path, limit);
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string("(read)");
  };
  for (const auto& file : special)
    EXPECT_THAT(error(file, 100), HasSubstr("is not a regular file")) << file;
  EXPECT_THAT(error(dir.Path(), 100), HasSubstr("is a folder, not a file"));
  EXPECT_THAT(error(dir / "big.txt", 1999), HasSubstr("has 2000 bytes, more than the 1999"));
  EXPECT_EQ(ReadWholeFile(dir / "big.txt", 2000).size(), 2000u);
}

// A large file is read in pieces: the bytes are those of the file whatever
// the piece size; the size limit holds.
TEST(FileReader, ReadsTheFileAsItWasWhenOpenedPieceByPiece) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += std::to_string(i) + (i % 7 ? "," : "\n");
  drvx::test::WriteText(dir / "a.txt", text);
  for (std::size_t piece : {1u, 7u, 4096u, 1u << 20}) {
    drvx::platform::FileReader file(dir / "a.txt", text.size());
    EXPECT_EQ(file.Size(), text.size());
    std::string read, buffer(piece, '\0');
    while (const std::size_t n = file.Read(buffer.data(), buffer.size())) {
      read.append(buffer, 0, n);
      if (n < piece) {
        EXPECT_EQ(read.size(), text.size()) << "a short piece before the end";
      }
    }
    EXPECT_EQ(read, text) << "pieces of " << piece;
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 0u);
  }
  EXPECT_THROW(drvx::platform::FileReader(dir / "a.txt", text.size() - 1), std::runtime_error);
}

// A file rewritten while it is read would give a mix of old and new: the
// read is refused instead, naming the file, whether it grew, shrank or kept
// its size.
TEST(FileReader, RefusesAFileThatChangedWhileItWasRead) {
  using ::testing::HasSubstr;
  TempDir dir;
  const std::string text(10000, 'o');
  for (const std::string& rewrite : {text + "more", std::string(100, 'n'), std::string(10000, 'n')}) {
    drvx::test::WriteText(dir / "a.txt", text);
    drvx::platform::FileReader file(dir / "a.txt", 1 << 20);
    std::string buffer(4000, '\0');
    ASSERT_EQ(file.Read(buffer.data(), buffer.size()), 4000u);
    drvx::test::WriteText(dir / "a.txt", rewrite);
    // The same size in the same clock tick looks the same: a later tick.
    drvx::test::TouchLater(dir / "a.txt");
    try {
      while (file.Read(buffer.data(), buffer.size()) != 0) {
      }
      ADD_FAILURE() << "a change to " << rewrite.size() << " bytes went unnoticed";
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), HasSubstr("a.txt\" changed while it was read"));
    }
  }
}

// Names of up to 255 bytes are legal; their temporary names must be too.
TEST(AtomicFile, WritesFilesWithTheLongestLegalNames) {
  TempDir dir;
  for (std::size_t length : {200u, 249u, 252u, 255u}) {
    const std::string name(length, 'n');
    WriteFileAtomically(dir / name, "first");
    WriteFileAtomically(dir / name, "second");
    EXPECT_EQ(ReadWholeFile(dir / name, kMaxListFile), "second") << length;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            4);
}

TEST(Paths, TheExecutableIsThisTestProgram) {
  EXPECT_EQ(drvx::platform::ExecutablePath().stem(), "drvx_tests");
}

}  // namespace
