// Saving on Linux keeps what the replaced file was: its permissions, its
// owner where the saver may keep it, the target of a link to it; and it
// removes only the temporary files it made itself.
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/files.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using drvx::platform::kMaxListFile;
using drvx::platform::ReadWholeFile;
using drvx::platform::WriteFileAtomically;
using drvx::test::TempDir;

struct stat StatOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

TEST(AtomicFileOnLinux, KeepsTheModeOfTheFileItReplaces) {
  TempDir dir;
  for (mode_t mode : {0600, 0640, 0755, 0444}) {
    const fs::path file = dir / ("mode-" + std::to_string(mode));
    drvx::test::WriteText(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    WriteFileAtomically(file, "new");
    EXPECT_EQ(StatOf(file).st_mode & 07777, mode);
    EXPECT_EQ(ReadWholeFile(file, kMaxListFile), "new");
  }
  // A new file gets what the umask leaves of 0666.
  const mode_t mask = ::umask(022);
  WriteFileAtomically(dir / "new", "x");
  ::umask(mask);
  EXPECT_EQ(StatOf(dir / "new").st_mode & 07777, 0644u);
}

TEST(AtomicFileOnLinux, KeepsTheOwnerOfTheFileItReplaces) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may save a file another user owns";
  TempDir dir;
  const fs::path file = dir / "theirs.txt";
  drvx::test::WriteText(file, "old");
  ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  WriteFileAtomically(file, "new");
  EXPECT_EQ(StatOf(file).st_uid, 65534u);
  EXPECT_EQ(StatOf(file).st_gid, 65534u);
}

// A save through a link writes the file the link names, and the link stays
// a link; a file with several names (hard links) is replaced at the name
// saved, and its other names keep the old content.
TEST(AtomicFileOnLinux, WritesThroughSymbolicLinksToTheirTarget) {
  TempDir dir;
  fs::create_directory(dir / "real");
  drvx::test::WriteText(dir / "real" / "a.txt", "old");
  ::chmod((dir / "real" / "a.txt").c_str(), 0600);
  fs::create_symlink("real/a.txt", dir / "link.txt");
  fs::create_symlink("link.txt", dir / "link-to-link.txt");
  WriteFileAtomically(dir / "link-to-link.txt", "new");
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_TRUE(fs::is_symlink(dir / "link-to-link.txt"));
  EXPECT_EQ(ReadWholeFile(dir / "real" / "a.txt", kMaxListFile), "new");
  EXPECT_EQ(StatOf(dir / "real" / "a.txt").st_mode & 07777, 0600u);
  // A link to a file that is not there yet makes it.
  fs::create_symlink("real/b.txt", dir / "dangling.txt");
  WriteFileAtomically(dir / "dangling.txt", "made");
  EXPECT_EQ(ReadWholeFile(dir / "real" / "b.txt", kMaxListFile), "made");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.txt"));
  fs::create_hard_link(dir / "real" / "a.txt", dir / "hard.txt");
  WriteFileAtomically(dir / "hard.txt", "newer");
  EXPECT_EQ(ReadWholeFile(dir / "hard.txt", kMaxListFile), "newer");
  EXPECT_EQ(ReadWholeFile(dir / "real" / "a.txt", kMaxListFile), "new");
}

TEST(AtomicFileOnLinux, LeavesAnotherUsersFileThatLooksLikeAStaleTemporary) {
  if (::geteuid() != 0) GTEST_SKIP() << "making another user's file needs root";
  TempDir dir;
  const std::string stale = ".a.txt." + std::to_string(drvx::test::EndedProcessId()) + ".0";
  drvx::test::WriteText(dir / stale, "theirs");
  ASSERT_EQ(::chown((dir / stale).c_str(), 65534, 65534), 0);
  WriteFileAtomically(dir / "a.txt", "new");
  EXPECT_EQ(drvx::test::ReadText(dir / stale), "theirs");
}

}  // namespace
