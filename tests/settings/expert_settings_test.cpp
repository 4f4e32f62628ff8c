#include <cctype>
#include <chrono>

#include <gtest/gtest.h>

#include "drvx/platform/files.h"
#include "drvx/platform/paths.h"
#include "expert_settings.h"
#include "install_layout.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using settings::TExpertSettings;

// A host installed in a temporary folder: <dir>/bin/<host program>.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(dir / "bin"); }
  std::filesystem::path Host() { return test::InstalledHost(dir.Path()); }
  std::filesystem::path Config() { return dir / "bin" / "Dravolex.cfg"; }
  std::string File() { return test::ReadText(Config()); }
  // Dates the file back a day, so that a rewrite shows in its time.
  std::filesystem::file_time_type Backdate() {
    const auto then = std::filesystem::last_write_time(Config()) - std::chrono::hours(24);
    std::filesystem::last_write_time(Config(), then);
    return then;
  }
  std::int32_t IntAt(const std::string& bytes, std::size_t at) {
    return std::int32_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8 |
                        std::uint8_t(bytes[at + 2]) << 16 | std::uint8_t(bytes[at + 3]) << 24);
  }
  test::TempDir dir;
};

TEST_F(Settings, AFreshStartWritesTheDefaultFileByteForByte) {
  TExpertSettings s(Host());
  EXPECT_EQ(s.ConfigFileName, Config().string());
  const std::string bytes = File();
  ASSERT_EQ(bytes.size(), 365u);
  const char* prefixes[] = {"cs", "ac", "cl", "ud", "im", "mm", "rb", "sq", "st", "uc"};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(IntAt(bytes, std::size_t(i) * 6), 2);
    EXPECT_EQ(bytes.substr(std::size_t(i) * 6 + 4, 2), prefixes[i]);
  }
  EXPECT_EQ(IntAt(bytes, 60), 234);
  EXPECT_EQ(bytes.substr(64, 234), settings::DefaultExceptionCode());
  EXPECT_EQ(bytes[298], '\x01');
  EXPECT_EQ(IntAt(bytes, 299), 58);
  EXPECT_EQ(bytes.substr(303, 58), "FDiagnose,TDiagnoseZk,scPrivate\r\nFExMsg,String,scPrivate\r\n");
  EXPECT_EQ(IntAt(bytes, 361), 400);  // messages per recording diagram
  EXPECT_TRUE(bytes.substr(64, 234).starts_with("//===\r\nEXCEPT\r\n  on E: Exception do\r\n"));
  EXPECT_TRUE(bytes.substr(64, 234).ends_with("      ShowMessage(FExMsg);\r\n  end;\r\nEND;\r\n"));
}

TEST_F(Settings, AShortFileKeepsWhatItHasAndIsCompleted) {
  settings::TTypeMemoryStream old;
  old.WriteString("xx");
  old.SaveToFile(Config());
  TExpertSettings s(Host());
  EXPECT_EQ(s.ClassDiagramPrefix, "xx");
  EXPECT_EQ(s.ActivityDiagramPrefix, "ac");
  EXPECT_TRUE(s.CreateLocalMembers);
  EXPECT_EQ(File().size(), 365u);
  EXPECT_EQ(File().substr(0, 6), std::string("\x02\0\0\0xx", 6));
}

// A file of thirteen values, as earlier versions wrote it, keeps them and
// gets the fourteenth; a count of messages below 1 is read as the default.
TEST_F(Settings, AFileWithoutTheRecordingsPageSizeGetsItsDefault) {
  {
    TExpertSettings s(Host());
    s.ClassDiagramPrefix = "kd";
    s.RecordingPageMessages = 0;
    s.SaveSettings();
  }
  std::string bytes = File();
  test::WriteText(Config(), bytes.substr(0, 361));
  {
    TExpertSettings s(Host());
    EXPECT_EQ(s.ClassDiagramPrefix, "kd");
    EXPECT_EQ(s.RecordingPageMessages, TExpertSettings::kDefaultRecordingPageMessages);
  }
  EXPECT_EQ(File().size(), 365u);
  test::WriteText(Config(), bytes);  // 0 in the file
  TExpertSettings s(Host());
  EXPECT_EQ(s.RecordingPageMessages, TExpertSettings::kDefaultRecordingPageMessages);
}

TEST_F(Settings, ACompleteFileIsReadAndNotWrittenAgain) {
  {
    TExpertSettings s(Host());
    s.ClassDiagramPrefix = "";  // an empty prefix is a value, not a missing one
    s.CreateLocalMembers = false;
    s.LocalFields = "FLog,TLog,scProtected\r\n";
    s.RecordingPageMessages = 2500;
    s.SaveSettings();
  }
  const auto before = Backdate();
  const std::string bytes = File();
  TExpertSettings s(Host());
  EXPECT_EQ(s.ClassDiagramPrefix, "");
  EXPECT_FALSE(s.CreateLocalMembers);
  EXPECT_EQ(s.LocalFields, "FLog,TLog,scProtected\r\n");
  EXPECT_EQ(s.RecordingPageMessages, 2500);
  EXPECT_EQ(std::filesystem::last_write_time(Config()), before);
  EXPECT_EQ(File(), bytes);
}

TEST_F(Settings, ADamagedStringAndEverythingAfterItFallBackToDefaults) {
  settings::TTypeMemoryStream old;
  old.WriteString("c1");
  old.WriteString("a1");
  old.WriteInteger(1000000000);  // a length far beyond the bytes left
  old.Write("junk", 4);
  old.SaveToFile(Config());
  TExpertSettings s(Host());
  EXPECT_EQ(s.ClassDiagramPrefix, "c1");
  EXPECT_EQ(s.ActivityDiagramPrefix, "a1");
  EXPECT_EQ(s.CollaborationDiagramPrefix, "cl");
  EXPECT_EQ(s.UseCaseDiagramPrefix, "uc");
  EXPECT_EQ(s.ExceptionCode, settings::DefaultExceptionCode());
  EXPECT_EQ(File().size(), 365u);  // "c1" and "a1" take the room of "cs" and "ac"
}

TEST_F(Settings, AFileOfTwoStrayBytesIsReplacedByTheDefaults) {
  platform::WriteFileAtomically(Config(), "xx");
  TExpertSettings s(Host());
  EXPECT_EQ(s.ClassDiagramPrefix, "cs");
  EXPECT_EQ(File().size(), 365u);
}

TEST_F(Settings, AFolderThatCannotBeWrittenReportsTheError) {
  std::filesystem::create_directory(Config());  // the file's place is taken
  EXPECT_THROW(TExpertSettings s(Host()), std::runtime_error);
}

// What the settings write always loads again: settings larger than the file
// may be are refused with the reason, and the file keeps what it had.
TEST_F(Settings, SettingsTooLargeForTheFileAreRefusedAndTheFileStaysLoadable) {
  TExpertSettings s(Host());
  const std::string before = File();
  s.ExceptionCode = std::string(1150 * 1024, 'x');
  try {
    s.SaveSettings();
    ADD_FAILURE() << "settings of more than 1 MiB were saved";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("1048576"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(File() == before) << "the file changed";
  // The largest that fits is saved and read back.
  const std::size_t fits = platform::kMaxSettingsFile - before.size() +
                           TExpertSettings(Host()).ExceptionCode.size();
  s.ExceptionCode.assign(fits, 'y');
  s.SaveSettings();
  EXPECT_EQ(File().size(), platform::kMaxSettingsFile);
  EXPECT_TRUE(TExpertSettings(Host()).ExceptionCode == s.ExceptionCode);
}

TEST_F(Settings, ThePluginsVersionIsReadFromTheExpertsFolder) {
  std::filesystem::create_directory(dir / "Experts");
  std::filesystem::copy_file(platform::ExecutablePath(), dir / "Experts" / test::InstalledPluginFile());
  TExpertSettings s(Host());
  EXPECT_EQ(s.PluginFileVersion, "3.2.1.77");  // the version the test program carries
  const auto prefix = test::AbsoluteFolder("mm");
  EXPECT_EQ(settings::PluginLibraryPathFor(test::InstalledHost(prefix)),
            test::InstalledPlugin(prefix));
  EXPECT_EQ(settings::PluginLibraryPathFor(prefix / "bin" / "other"), prefix / "bin" / "other");
  // Every host the plug-in is installed with finds it (on Windows also the
  // hosts it was made for), case-sensitively.
  for (const char* name : settings::kHostProgramNames) {
    EXPECT_EQ(settings::PluginLibraryPathFor(prefix / "bin" / name), test::InstalledPlugin(prefix));
    std::string upper = name;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(settings::PluginLibraryPathFor(prefix / "bin" / upper), prefix / "bin" / upper);
  }
}

TEST_F(Settings, WithoutAVersionNoteThePluginVersionStaysEmpty) {
  TExpertSettings s(Host());
  EXPECT_EQ(s.PluginFileVersion, "");
  std::string version = "unchanged";
  EXPECT_EQ(TExpertSettings::QueryFileVersion(dir / "none", version), -1);
  EXPECT_EQ(version, "unchanged");
  EXPECT_EQ(TExpertSettings::QueryFileVersion(platform::ExecutablePath(), version), 77);
  EXPECT_EQ(version, "3.2.1.77");
}

}  // namespace
