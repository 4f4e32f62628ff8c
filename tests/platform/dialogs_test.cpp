#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/console_dialogs.h"
#include "drvx/platform/scripted_dialogs.h"

namespace {

using namespace drvx::platform;
using ::testing::ElementsAre;

std::vector<std::string> Records(const ScriptedDialogs& d) {
  std::vector<std::string> lines;
  for (const auto& r : d.Shown()) lines.push_back(r.dialog + ": " + r.text + " -> " + r.answer);
  return lines;
}

TEST(ScriptedDialogs, QueuedAnswersAreTakenInOrderAndRecorded) {
  ScriptedDialogs d;
  d.Queue(DialogAnswer::Yes());
  d.Queue(DialogAnswer::Text("Group A"));
  d.Queue(DialogAnswer::File("/tmp/calls.txt"));
  d.Queue(DialogAnswer::Cancel());
  EXPECT_TRUE(d.Confirm("Delete?"));
  EXPECT_EQ(d.InputBox("Diagram Group Managing", "Enter New Groupname", ""), "Group A");
  EXPECT_EQ(d.OpenFile({"/tmp", "*.txt", ""}), std::filesystem::path("/tmp/calls.txt"));
  EXPECT_EQ(d.SaveFile({"/tmp", "", ""}), std::nullopt);
  d.ShowMessage(MessageKind::Warning, "Careful");
  EXPECT_THAT(Records(d),
              ElementsAre("confirm: Delete? -> Yes",
                          "input: \"Diagram Group Managing\" \"Enter New Groupname\" preset \"\" -> "
                          "text \"Group A\"",
                          "open file: in \"/tmp\" extension \"*.txt\" -> file \"/tmp/calls.txt\"",
                          "save file: in \"/tmp\" -> Cancel", "message (warning): Careful -> OK"));
  EXPECT_EQ(d.Pending(), 0u);
}

TEST(ScriptedDialogs, WithoutAnswersEachDialogTakesItsDefaultAndSaysSo) {
  ScriptedDialogs d;
  std::vector<std::string> log;
  d.SetLog([&](const std::string& line) { log.push_back(line); });
  d.ShowMessage(MessageKind::Information, "Hello");
  EXPECT_FALSE(d.Confirm("Sure?"));
  EXPECT_EQ(d.InputBox("String Finder", "Enter String:", ""), std::nullopt);
  EXPECT_EQ(d.OpenFile({}), std::nullopt);
  EXPECT_THAT(log, ElementsAre("no answer queued for the question \"Sure?\"; it takes No",
                               "no answer queued for the input box \"String Finder\"; it takes Cancel",
                               "no answer queued for the open file dialog; it takes Cancel"));
}

TEST(ScriptedDialogs, AnAnswerThatDoesNotFitIsUsedUpAndTheDefaultTaken) {
  ScriptedDialogs d;
  std::vector<std::string> log;
  d.SetLog([&](const std::string& line) { log.push_back(line); });
  d.Queue(DialogAnswer::Yes());
  d.Queue(DialogAnswer::Text("misfit"));
  EXPECT_EQ(d.InputBox("c", "p", "v"), std::nullopt);
  EXPECT_EQ(d.InputBox("c", "p", "v"), "misfit");  // a text that happens to read "misfit"
  EXPECT_THAT(log, ElementsAre("the answer Yes does not fit a input dialog; it takes its default"));
}

TEST(ScriptedDialogs, AskTheFallbackOnlyWhenNothingIsQueued) {
  std::istringstream in("y\nmy text\n");
  std::ostringstream out;
  ConsoleDialogs console(in, out);
  ScriptedDialogs d(&console);
  d.Queue(DialogAnswer::No());
  EXPECT_FALSE(d.Confirm("first"));
  EXPECT_TRUE(d.Confirm("second"));
  EXPECT_EQ(d.InputBox("c", "p", ""), "my text");
  EXPECT_THAT(out.str(), ::testing::HasSubstr("[confirm] second"));
  EXPECT_THAT(out.str(), ::testing::Not(::testing::HasSubstr("first")));
}

TEST(ConsoleDialogs, AClosedInputTakesTheDefaultsInsteadOfHanging) {
  std::istringstream in("maybe\n");
  std::ostringstream out;
  ConsoleDialogs d(in, out);
  EXPECT_FALSE(d.Confirm("Delete?"));  // "maybe" is asked again, then the input ends
  EXPECT_EQ(d.InputBox("c", "p", "keep"), std::nullopt);
  d.ShowMessage(MessageKind::Error, "Broken");
  EXPECT_EQ(d.SaveFile({"/tmp", "", ""}), std::nullopt);
  EXPECT_THAT(out.str(), ::testing::HasSubstr("[error] Broken"));
}

TEST(ConsoleDialogs, AnEmptyInputKeepsThePresetAndADotCancels) {
  std::istringstream in("\n.\nname.txt\n");
  std::ostringstream out;
  ConsoleDialogs d(in, out);
  EXPECT_EQ(d.InputBox("c", "p", "keep"), "keep");
  EXPECT_EQ(d.InputBox("c", "p", "keep"), std::nullopt);
  EXPECT_EQ(d.OpenFile({"/work", "", ""}), std::filesystem::path("/work/name.txt"));
}

}  // namespace
