#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "drvx/platform/dynamic_library.h"
#include "plugin_loader.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;

// Loads test plug-ins with their lifecycle log in a temporary folder.
class PluginLoading : public ::testing::Test {
 protected:
  void SetUp() override { test::SetEnvironment("DRVX_TEST_LOG", (dir / "log.txt").string()); }
  void TearDown() override { test::UnsetEnvironment("DRVX_TEST_LOG"); }

  std::filesystem::path Plugin(const std::string& name) { return test::TestPlugin(name); }
  // The file name of a test plug-in in the loader's reports.
  static std::string File(const std::string& name) { return test::LibraryFile(name); }
  std::vector<std::string> Log() { return test::ReadLines(dir / "log.txt"); }

  test::TempDir dir;
  modelhost::HostSession session;
  std::vector<std::string> reports;
  modelhost::PluginLoader loader{session, [this](const std::string& l) { reports.push_back(l); }};
};

TEST_F(PluginLoading, AGoodPluginRegistersItsObjectsAndIsReleasedThenUnloaded) {
  ASSERT_TRUE(loader.Load(Plugin("good_plugin")));
  EXPECT_THAT(reports, ElementsAre("loaded " + File("good_plugin") + " (interface version 10): 1 expert, "
                                   "1 project notifier"));
  EXPECT_EQ(session.Experts().size(), 1u);
  EXPECT_EQ(session.Notifiers().size(), 1u);
  loader.UnloadAll();
  EXPECT_TRUE(session.Experts().empty());
  // Latest registration first, then the exit function, then the library.
  EXPECT_THAT(Log(), ElementsAre("entry", "notifier released", "expert released", "exit",
                                 "library unloaded"));
}

TEST_F(PluginLoading, ALibraryWithoutTheExportsIsSkipped) {
  EXPECT_FALSE(loader.Load(Plugin("no_exports_plugin")));
  EXPECT_THAT(reports, ElementsAre("skipped " + File("no_exports_plugin") + ": it does not export "
                                   "MMExpertVersionProc, MMExpertEntryProc, MMExpertExitProc"));
  EXPECT_TRUE(loader.Plugins().empty());
}

TEST_F(PluginLoading, ALibraryForAnotherInterfaceVersionIsNeverEntered) {
  EXPECT_FALSE(loader.Load(Plugin("version9_plugin")));
  EXPECT_THAT(reports, ElementsAre("skipped " + File("version9_plugin") + ": it was made for interface "
                                   "version 9, this host has version 10"));
  EXPECT_THAT(Log(), ElementsAre("library unloaded"));
}

TEST_F(PluginLoading, ALibraryWhoseEntryFailsLosesWhatItRegistered) {
  EXPECT_FALSE(loader.Load(Plugin("failing_entry_plugin")));
  EXPECT_THAT(reports, ElementsAre("skipped " + File("failing_entry_plugin") + ": its entry function failed: "
                                   "the test plug-in refuses to start"));
  EXPECT_TRUE(session.Experts().empty());
  EXPECT_THAT(Log(), ElementsAre("entry", "expert released", "exit", "library unloaded"));
}

// Export names that are data would be called as functions: the library is
// skipped without calling anything.
TEST_F(PluginLoading, ALibraryWhoseExportsAreDataIsNeverCalled) {
  EXPECT_FALSE(loader.Load(Plugin("data_exports_plugin")));
  EXPECT_THAT(reports, ElementsAre("skipped " + File("data_exports_plugin") + ": its export "
                                   "MMExpertVersionProc is not a function"));
  EXPECT_TRUE(loader.Plugins().empty());
}

// An entry function that throws at the host is caught; the host goes on.
TEST_F(PluginLoading, AnEntryThatThrowsIsSkippedAndExited) {
  EXPECT_FALSE(loader.Load(Plugin("throwing_entry_plugin")));
  EXPECT_THAT(reports, ElementsAre("skipped " + File("throwing_entry_plugin") + ": its entry function failed: "
                                   "it threw: entry throws"));
  EXPECT_TRUE(session.Experts().empty());
  EXPECT_THAT(Log(), ElementsAre("entry", "exit", "library unloaded"));
}

TEST_F(PluginLoading, AFolderIsLoadedInNameOrderAndBadLibrariesDoNotStopTheOthers) {
  loader.LoadFolder(test::TestPluginDir());
  ASSERT_EQ(reports.size(), 6u);
  EXPECT_TRUE(reports[0].starts_with("skipped " + File("data_exports_plugin")));
  EXPECT_TRUE(reports[1].starts_with("skipped " + File("failing_entry_plugin")));
  EXPECT_TRUE(reports[2].starts_with("loaded " + File("good_plugin")));
  EXPECT_TRUE(reports[3].starts_with("skipped " + File("no_exports_plugin")));
  EXPECT_TRUE(reports[4].starts_with("skipped " + File("throwing_entry_plugin")));
  EXPECT_TRUE(reports[5].starts_with("skipped " + File("version9_plugin")));
  EXPECT_EQ(loader.Plugins().size(), 1u);
  EXPECT_EQ(session.Experts().size(), 1u);
}

TEST_F(PluginLoading, AMissingFolderIsReportedInOneLine) {
  loader.LoadFolder(dir / "Experts");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].starts_with("no plug-ins: cannot read the folder")) << reports[0];
}

TEST_F(PluginLoading, AFileThatIsNoLibraryIsSkipped) {
  test::WriteText(dir / File("fake"), "not a library");
  EXPECT_FALSE(loader.Load(dir / File("fake")));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].starts_with("skipped " + File("fake") + ": cannot load it:")) << reports[0];
}

TEST(PluginFolders, ExpertsLieBesideTheHostsBinFolder) {
  const auto prefix = test::AbsoluteFolder("mm");
  EXPECT_EQ(modelhost::PluginLoader::ExpertsFolderOf(test::InstalledHost(prefix)),
            prefix / "Experts");
}

}  // namespace
