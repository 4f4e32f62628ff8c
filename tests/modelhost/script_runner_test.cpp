#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/scripted_dialogs.h"
#include "host_session.h"
#include "support/test_support.h"
#include "plugin_loader.h"
#include "script_runner.h"
#include "words.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A host with the test plug-in loaded and the example project open.
class Script : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnvironment("DRVX_TEST_LOG", (dir / "log.txt").string());
    loader.Load(test::TestPlugin("good_plugin"));
    ASSERT_TRUE(Run("open " + test::ExampleProject().string())) << err.str();
    out.str("");
  }
  void TearDown() override {
    loader.UnloadAll();
    test::UnsetEnvironment("DRVX_TEST_LOG");
    test::UnsetEnvironment("DRVX_TEST_VETO_SAVE");
  }
  bool Run(const std::string& line) { return runner.RunLine(line, "test"); }
  std::vector<std::string> Log() { return test::ReadLines(dir / "log.txt"); }

  test::TempDir dir;
  modelhost::HostSession session;
  modelhost::PluginLoader loader{session, [](const std::string&) {}};
  platform::ScriptedDialogs dialogs;
  std::ostringstream out;
  std::ostringstream err;
  modelhost::ScriptRunner runner{{session, loader, dialogs, out, err}};
};

TEST_F(Script, OpeningTellsTheNotifiersBeforeAndAfter) {
  EXPECT_THAT(Log(), ElementsAre("entry", "event before-open",
                                 "event after-open " + test::ExampleProject().string()));
}

TEST_F(Script, VerbsAreListedWithShortcutAndPlacement) {
  ASSERT_TRUE(Run("verbs"));
  EXPECT_THAT(out.str(), HasSubstr("expert 0: TestExpert"));
  EXPECT_THAT(out.str(), HasSubstr("Log current class"));
  EXPECT_THAT(out.str(), HasSubstr("Ctrl+Shift+T  0x6054  ClassesMenu"));
  EXPECT_THAT(out.str(), HasSubstr("Ctrl+Shift+U  0x6055  ToolsMenu"));
}

TEST_F(Script, AVerbRunsAgainstTheCurrentSelection) {
  ASSERT_TRUE(Run("select class TStock"));
  ASSERT_TRUE(Run("exec 0"));
  ASSERT_TRUE(Run("exec \"Log current class\""));
  ASSERT_TRUE(Run("exec 0:0"));
  EXPECT_EQ(Log().back(), "executed 0: current class TStock");
  EXPECT_EQ(Log().size(), 6u);
}

TEST_F(Script, AFailingVerbBecomesAReadableLine) {
  EXPECT_FALSE(Run("exec 1"));
  EXPECT_EQ(err.str(), "test: error: verb 1 failed: status 0x8000FFFF (unexpected failure): "
                       "verb 1 fails on purpose\n");
}

TEST_F(Script, AQueryOutsideTheVerbsReportsItsFailedStatus) {
  EXPECT_FALSE(Run("verb 0 8"));
  EXPECT_THAT(out.str(), HasSubstr("caption:   (failed)"));
  EXPECT_THAT(err.str(), HasSubstr("caption failed: status 0x8000FFFF (unexpected failure): no verb 8"));
}

TEST_F(Script, SelectionsAreSavedWithTheProject) {
  ASSERT_TRUE(Run("select method TStock.Reserve"));
  ASSERT_TRUE(Run("select diagram ucShop"));
  ASSERT_TRUE(Run("save " + (dir / "copy.mmproj").string()));
  ASSERT_TRUE(Run("clear all"));
  ASSERT_TRUE(Run("open " + (dir / "copy.mmproj").string()));
  out.str("");
  ASSERT_TRUE(Run("print navigator"));
  EXPECT_THAT(out.str(), HasSubstr("class:   TStock"));
  EXPECT_THAT(out.str(), HasSubstr("method:  Reserve"));
  EXPECT_THAT(out.str(), HasSubstr("module:  uInventory"));
  EXPECT_THAT(out.str(), HasSubstr("diagram: ucShop"));
}

TEST_F(Script, ABrokenProjectLeavesTheOpenOneAsItWas) {
  EXPECT_FALSE(Run("open " + test::Fixture("duplicate_id.mmproj").string()));
  EXPECT_THAT(err.str(), HasSubstr("duplicate_id.mmproj: diagrams[0].shapes[1].id: the id 2 is used twice"));
  EXPECT_EQ(session.Project().classes.size(), 12u);
}

TEST_F(Script, ADeclinedSaveWritesNothing) {
  test::SetEnvironment("DRVX_TEST_VETO_SAVE", "1");
  EXPECT_FALSE(Run("save " + (dir / "copy.mmproj").string()));
  EXPECT_THAT(err.str(), HasSubstr("a plug-in declined the before-save event"));
  EXPECT_FALSE(std::filesystem::exists(dir / "copy.mmproj"));
}

TEST_F(Script, ProjectEventsAreSentByName) {
  ASSERT_TRUE(Run("event before-new"));
  ASSERT_TRUE(Run("event commit-editors"));
  EXPECT_THAT(out.str(), HasSubstr("sent before-new to 1 notifier, answer false"));
  EXPECT_EQ(Log().back(), "event commit-editors");
  EXPECT_FALSE(Run("event no-such-event"));
}

TEST_F(Script, PrintShowsTheModel) {
  ASSERT_TRUE(Run("print class TOrderLine"));
  ASSERT_TRUE(Run("print method TOrder.Submit"));
  ASSERT_TRUE(Run("print module uOrders"));
  EXPECT_THAT(out.str(), HasSubstr("field     FQuantity: Integer  scPrivate"));
  EXPECT_THAT(out.str(), HasSubstr("function Amount(): Currency  scPublic  1 section"));
  EXPECT_THAT(out.str(), HasSubstr("  section 2:\n  |   FState := osSubmitted;\n  | end;\n"));
  EXPECT_THAT(out.str(), HasSubstr("  | unit uOrders;\n"));
}

TEST_F(Script, MistakesAreNamed) {
  EXPECT_FALSE(Run("frobnicate"));
  EXPECT_FALSE(Run("select class TNothing"));
  EXPECT_FALSE(Run("select method TOrder.FId"));
  EXPECT_FALSE(Run("print"));
  EXPECT_FALSE(Run("exec 7"));
  EXPECT_EQ(err.str(),
            "test: error: unknown command \"frobnicate\" (try help)\n"
            "test: error: no class is named \"TNothing\"\n"
            "test: error: TOrder.FId is not a method\n"
            "test: error: usage: print summary|modules|module NAME|classes|class NAME|method "
            "CLASS.NAME|diagrams|diagram NAME|navigator\n"
            "test: error: verb 7 failed: status 0x8000FFFF (unexpected failure): no verb 7\n");
}

TEST_F(Script, AScriptStopsAtTheFirstFailureUnlessToldToGoOn) {
  std::istringstream script("echo one\nbogus\necho two\n");
  EXPECT_FALSE(runner.RunScript(script, "s.drvx", false));
  EXPECT_EQ(out.str(), "one\n");
  EXPECT_EQ(err.str(), "s.drvx:2: error: unknown command \"bogus\" (try help)\n");
  std::istringstream again("echo one\nbogus\necho two\nquit\necho three\n");
  out.str("");
  EXPECT_FALSE(runner.RunScript(again, "s.drvx", true));
  EXPECT_EQ(out.str(), "one\ntwo\n");
}

TEST(Words, SplitOnBlanksWithQuotesAndEscapes) {
  using modelhost::SplitWords;
  EXPECT_THAT(SplitWords("  exec  \"DRVX -> Show\"\t"), ElementsAre("exec", "DRVX -> Show"));
  EXPECT_THAT(SplitWords(R"(echo "a \"b\"" c\d "" "x\r\ny")"),
              ElementsAre("echo", "a \"b\"", "c\\d", "", "x\r\ny"));
  EXPECT_TRUE(SplitWords("# a comment").empty());
  EXPECT_THAT(SplitWords("echo #not-a-comment"), ElementsAre("echo", "#not-a-comment"));
  EXPECT_THROW(SplitWords("echo \"open"), std::invalid_argument);
}

// Inside quotes only \" \\ \n \r \t are escapes; other backslashes stand, so a
// quoted Windows path keeps its backslashes where they are not escapes.
TEST(Words, QuotingGivesEveryWordBackUnchanged) {
  using modelhost::QuoteWord;
  using modelhost::SplitWords;
  EXPECT_THAT(SplitWords(R"(open "C:\Models\Shop.mmproj" "back\slash")"),
              ElementsAre("open", "C:\\Models\\Shop.mmproj", "back\\slash"));
  for (const std::string word : {"we\\ird\"name.mmproj", "back\\slash.mmproj", "C:\\temp\\new x",
                                 "", "a\tb\r\nc", "\\\"", "# not a comment", "\\n"}) {
    EXPECT_THAT(SplitWords("open " + QuoteWord(word)), ElementsAre("open", word)) << word;
  }
}

}  // namespace
