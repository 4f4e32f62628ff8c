// The plug-in library as the host loads it, through its real exports, on the
// example project.
#include <cstdlib>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/dynamic_library.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/message_slot.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx/platform/ui_loop.h"
#include "host_session.h"
#include "model_lookup.h"
#include "mmapi/cxx/utf.h"
#include "support/test_support.h"
#include "plugin_loader.h"
#include "script_runner.h"
#include "sequence/recording_script.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using mmapi::cxx::ToUtf8;

const std::filesystem::path kPlugin = test::Plugin();

class Dravolex : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UiLoop::Instance().AttachToThisThread();
    platform::UiLoop::Instance().SetInstantTimers(true);
    platform::SetDialogs(&dialogs);
    platform::SetPrinter(&printer);
  }
  void TearDown() override {
    loader.UnloadAll();
    platform::UiLoop::Instance().SetInstantTimers(false);
    platform::SetPrinter(nullptr);
    platform::SetDialogs(nullptr);
  }
  void Start() {
    ASSERT_TRUE(loader.Load(kPlugin));
    ASSERT_TRUE(Run("open " + test::ExampleProject().string())) << err.str();
    out.str("");
    dialogs.ClearShown();
  }
  bool Run(const std::string& line) { return runner.RunLine(line, "e2e"); }
  modelhost::ModelProject& Project() { return session.Project(); }
  std::vector<std::string> Messages() { return test::DialogTexts(dialogs); }

  modelhost::HostSession session;
  modelhost::PluginLoader loader{session, [](const std::string&) {}};
  platform::ScriptedDialogs dialogs;
  platform::TextPrinter printer;
  std::ostringstream out, err;
  modelhost::ScriptRunner runner{{session, loader, dialogs, out, err}};
};

TEST_F(Dravolex, ListsItsElevenVerbs) {
  Start();
  ASSERT_TRUE(Run("verbs"));
  const std::string text = out.str();
  EXPECT_THAT(text, HasSubstr("expert 0: KorvantiExperts"));
  EXPECT_THAT(text, HasSubstr("DRVX -> Generate Header"));
  EXPECT_THAT(text, HasSubstr("Alt+D         0x8044  DiagramEditorMenu"));
  EXPECT_THAT(text, HasSubstr("Alt+K         0x804B  ToolsMenu"));
  out.str("");
  ASSERT_TRUE(Run("verb 0 11"));
  EXPECT_THAT(out.str(), HasSubstr("caption:   \"\"\n  shortcut:  none"));
}

TEST_F(Dravolex, TheDispatchShowsItsOwnMessages) {
  Start();
  ASSERT_TRUE(Run("exec 6"));
  ASSERT_TRUE(Run("exec 11"));
  ASSERT_TRUE(Run("modal ClassLocatorDlg type ClassLocatorDlg.cbxClassLocator TNothing"));
  ASSERT_TRUE(Run("modal ClassLocatorDlg click ClassLocatorDlg.btnOk"));
  ASSERT_TRUE(Run("exec 5"));
  EXPECT_THAT(Messages(), ElementsAre("GenerateDefaultFolderSet is no longer supportet",
                                      "ExecuteVerb = 11", "Class \"TNothing\" could not be found"));
}

TEST_F(Dravolex, LocateClassFollowsAMembersType) {
  Start();
  ASSERT_TRUE(Run("modal ClassLocatorDlg type ClassLocatorDlg.cbxClassLocator FStock"));
  ASSERT_TRUE(Run("modal ClassLocatorDlg click ClassLocatorDlg.btnOk"));
  ASSERT_TRUE(Run("exec \"DRVX -> Locate Class\""));
  EXPECT_EQ(Project().navigator.currentClass->name, u"TStock");
  ASSERT_TRUE(Run("exec 5"));  // nothing queued: the dialog is closed with Cancel
  EXPECT_EQ(Project().navigator.currentClass->name, u"TStock");
}

TEST_F(Dravolex, TheCodeGeneratorsChangeTheModel) {
  Start();
  ASSERT_TRUE(Run("select class TProduct"));
  ASSERT_TRUE(Run("exec 0"));
  EXPECT_THAT(ToUtf8(modelhost::FindModule(Project(), "uInventory").header),
              HasSubstr("// Unit last modified : Date: <!Date!>"));
  ASSERT_TRUE(Run("exec 10"));
  const auto& product = modelhost::FindClass(Project(), "TProduct");
  EXPECT_EQ(product.members.back()->name, u"Clone");
  ASSERT_TRUE(Run("select method TProduct.Create"));
  ASSERT_TRUE(Run("exec 1"));
  const auto& create = modelhost::FindMember(Project(), "TProduct.Create");
  ASSERT_FALSE(create.sections.empty());
  EXPECT_EQ(create.sections.front(), u"//=== TRY\r\nTRY\r\n");
  EXPECT_EQ(product.members.back()->name, u"FExMsg");
}

TEST_F(Dravolex, TheWindowCommandsFillTheirPages) {
  Start();
  ASSERT_TRUE(Run("exec 3"));  // csOrders is current
  ASSERT_TRUE(Run("state FrmMain.LbxReferences"));
  EXPECT_THAT(out.str(), HasSubstr("items [\"pkArchitecture\"]"));
  ASSERT_TRUE(Run("state FrmMain.PgctrlMain"));
  EXPECT_THAT(out.str(), HasSubstr("active tbsReference"));
  ASSERT_TRUE(Run("select method TOrderProcessor.CheckStock"));
  ASSERT_TRUE(Run("exec 8"));
  ASSERT_TRUE(Run("state FrmMain.lbxMethodRef"));
  EXPECT_THAT(out.str(), HasSubstr("\"<<TOrderProcessor.CheckStock>>\", \"TOrderProcessor.Process Section:1\""));
  ASSERT_TRUE(Run("exec 7"));
  ASSERT_TRUE(Run("state FrmMain.SequencesMemo"));
  EXPECT_THAT(out.str(), HasSubstr("lines [\"TOrderProcessor.CheckStock\"]"));
  ASSERT_TRUE(Run("exec 9"));  // the host prints the diagram, then the plug-in its documentation
  ASSERT_EQ(printer.Jobs().size(), 2u);
  ASSERT_EQ(printer.Jobs()[0].pictures.size(), 1u);
  EXPECT_EQ(printer.Jobs()[0].pictures[0].title, "csOrders");
}

TEST_F(Dravolex, AFailingHostCallInsideAVerbIsAFailedStatusForTheHost) {
  Start();
  ASSERT_TRUE(Run("fail HeaderText \"the unit is read-only\""));
  EXPECT_FALSE(Run("exec 0"));
  EXPECT_EQ(err.str(), "e2e: error: verb 0 failed: status 0x8000FFFF (unexpected failure): the "
                       "unit is read-only\n");
}

TEST_F(Dravolex, ACallStackFromAnotherProcessBecomesADiagram) {
  Start();
  const auto count = Project().diagrams.size();
  test::TempDir dir;
  test::WriteText(dir / "stack.txt", "Z.z\r\nY.y\r\nX.x\r\n");
  ASSERT_EQ(std::system((std::string(DRVX_SEND_PATH) + " " + (dir / "stack.txt").string()).c_str()), 0);
  ASSERT_TRUE(Run("await " + std::to_string(count + 1))) << err.str();
  const auto& d = *Project().diagrams.back();
  EXPECT_EQ(d.name, u"sqDelphiCallStack");
  std::vector<std::string> roles;
  for (const auto* s : d.symbols) roles.push_back(ToUtf8(s->name));
  EXPECT_THAT(roles, ElementsAre("System", "X", "Y", "Z"));
}

// Call stacks and a recording's batches, one after the other on the same
// slot: each call stack is drawn as before, and the recording is one
// diagram of both its batches.
TEST_F(Dravolex, CallStacksAndARecordingSentAlternatelyAreBothDrawn) {
  Start();
  const auto count = Project().diagrams.size();
  for (const char* message :
       {"Y.y\r\nX.x\r\n",
        ".drvx-recording 1\r\nB 7 8 1 1 shop\r\nN 1 TOrderProcessor.Process(aOrder)\r\nC 1\r\n",
        "TStock.Reserve\r\nTOrder.Submit\r\n",
        ".drvx-recording 1\r\nB 7 8 1 2 shop\r\nN 2 TStock.Reserve(aCode, aQuantity)\r\nC 2\r\nR\r\nR\r\nE\r\n",
        "Z.z\r\n"})
    platform::SendToSlot(platform::SlotPath("MbDRVX"), message);
  ASSERT_TRUE(Run("await " + std::to_string(count + 4))) << err.str();
  std::vector<std::string> names, roles;
  for (std::size_t i = count; i < Project().diagrams.size(); ++i) names.push_back(ToUtf8(Project().diagrams[i]->name));
  EXPECT_THAT(names, ElementsAre("sqDelphiCallStack", "sqRecording shop 8", "sqDelphiCallStack",
                                 "sqDelphiCallStack"));
  for (const auto* s : Project().diagrams[count + 2]->symbols) roles.push_back(ToUtf8(s->name));
  EXPECT_THAT(roles, ElementsAre("System", "TOrder", "TStock"));
  const auto& recording = *Project().diagrams[count + 1];
  EXPECT_THAT(test::RecordingScript(recording),
              ElementsAre("System->TOrderProcessor Process(aOrder)",
                          "TOrderProcessor->TStock Reserve(aCode, aQuantity)", "TStock-->TOrderProcessor",
                          "TOrderProcessor-->System"));
  // Linked to the model as a call stack's diagram is.
  EXPECT_EQ(recording.associations.front()->hyperlinks.size(), 1u);
  EXPECT_THAT(Messages(), ElementsAre());
}

TEST_F(Dravolex, AnotherHolderOfTheSlotLeavesEveryVerbWorking) {
  auto holder = platform::MessageSlot::Create(platform::SlotPath("MbDRVX"), 100);
  std::vector<std::string> notes;
  platform::SetLogSink([&](const std::string& line) { notes.push_back(line); });
  Start();
  platform::SetLogSink(nullptr);
  EXPECT_TRUE(Messages().empty());  // no message box about the slot, one note
  EXPECT_THAT(notes, ElementsAre(HasSubstr("MbDRVX is held by another receiver")));
  ASSERT_TRUE(Run("exec 6"));
  ASSERT_TRUE(Run("select class TOrder"));
  ASSERT_TRUE(Run("exec 10"));
  EXPECT_EQ(modelhost::FindClass(Project(), "TOrder").members.back()->name, u"Clone");
}

// A host that started while another held the slot takes it when the holder
// ends, and call stacks reach it from then on.
TEST_F(Dravolex, TheSlotIsTakenOverWhenItsHolderEnds) {
  auto holder = platform::MessageSlot::Create(platform::SlotPath("MbDRVX"), 100);
  std::vector<std::string> notes;
  platform::SetLogSink([&](const std::string& line) { notes.push_back(line); });
  Start();
  holder.reset();
  const auto count = Project().diagrams.size();
  bool sent = false;
  for (int i = 0; i < 100 && !sent; ++i) {
    platform::UiLoop::Instance().RunUntil([] { return false; }, std::chrono::milliseconds(50));
    try {
      platform::SendToSlot(platform::SlotPath("MbDRVX"), "Y.y\r\nX.x\r\n");
      sent = true;
    } catch (const std::exception&) {
    }
  }
  platform::SetLogSink(nullptr);
  ASSERT_TRUE(sent) << "the slot was not taken over";
  ASSERT_TRUE(Run("await " + std::to_string(count + 1))) << err.str();
  EXPECT_THAT(notes, ElementsAre(HasSubstr("MbDRVX is held by another receiver"),
                                 HasSubstr("MbDRVX is this host's now")));
}

#ifndef _WIN32
// The note says why the slot could not be made; "held by another receiver"
// only when another holds it.
TEST_F(Dravolex, ASlotThatCannotBeMadeIsReportedWithItsReason) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "open");
  std::filesystem::permissions(dir / "open", std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::group_read |
                                                 std::filesystem::perms::group_exec);
  const std::string runtime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
  test::SetEnvironment("XDG_RUNTIME_DIR", (dir / "open").string());
  std::vector<std::string> notes;
  platform::SetLogSink([&](const std::string& line) { notes.push_back(line); });
  Start();
  platform::SetLogSink(nullptr);
  loader.UnloadAll();
  if (runtime.empty()) test::UnsetEnvironment("XDG_RUNTIME_DIR");
  else test::SetEnvironment("XDG_RUNTIME_DIR", runtime);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_THAT(notes[0], HasSubstr("is not this user's private folder"));
  EXPECT_THAT(notes[0], ::testing::Not(HasSubstr("held by another")));
}
#endif

TEST(DravolexExports, VersionAndExitMayBeCalledBeforeAndAfterEntry) {
  platform::UiLoop::Instance().SetInstantTimers(true);
  modelhost::HostSession session;
  {
    platform::DynamicLibrary library(kPlugin);
    auto version = reinterpret_cast<mmapi::MMExpertVersionProcType>(library.Symbol("MMExpertVersionProc"));
    auto entry = reinterpret_cast<mmapi::MMExpertEntryProcType>(library.Symbol("MMExpertEntryProc"));
    auto exit = reinterpret_cast<mmapi::MMExpertExitProcType>(library.Symbol("MMExpertExitProc"));
    EXPECT_EQ(version(), 10);
    exit();
    exit();
    entry(session.Services());
    EXPECT_EQ(session.TakeEntryFailure(), "");
    EXPECT_EQ(session.Experts().size(), 1u);
    EXPECT_EQ(session.Notifiers().size(), 1u);
    EXPECT_EQ(version(), 10);
    exit();
    session.ReleaseRegistrations(-1);
  }
  platform::UiLoop::Instance().SetInstantTimers(false);
}

}  // namespace
