#include "drvx/platform/clock.h"
#include "drvx/platform/files.h"
#include "ui/main_window_fixture.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using test::MainWindow;

class DgDocPage : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    window->Show();
    window->PgctrlMain.UserSelectPage(5);
  }
  platform::ListBox& Available() { return window->DgDoc.lbxDiagramsAvailable; }
  platform::ListBox& Selected() { return window->DgDoc.lbxDiagramsSelected; }
};

TEST_F(DgDocPage, NamesMoveBetweenTheListsKeepingTheAvailableOneSorted) {
  EXPECT_EQ(Available().Count(), 8);
  window->DgDoc.btAddSelected.UserClick();  // the current diagram, csOrders
  EXPECT_THAT(Selected().Items(), ElementsAre("csOrders"));
  EXPECT_EQ(Available().IndexOfIgnoringCase("csOrders"), -1);
  Available().UserClick(0);
  Available().UserToggle(1);
  window->DgDoc.btAddSelected.UserClick();
  EXPECT_THAT(Selected().Items(), ElementsAre("csOrders", "acOrderHandling", "csInventory"));
  Selected().UserClick(1);
  window->DgDoc.btRemoveSelected.UserClick();
  EXPECT_THAT(Selected().Items(), ElementsAre("csOrders", "csInventory"));
  EXPECT_EQ(Available().Items().front(), "acOrderHandling");
  window->DgDoc.btAddAll.UserClick();
  EXPECT_EQ(Available().Count(), 0);
  EXPECT_EQ(Selected().Count(), 8);
  window->DgDoc.btRemoveAll.UserClick();
  EXPECT_EQ(Available().Count(), 8);
  EXPECT_TRUE(std::is_sorted(Available().Items().begin(), Available().Items().end(),
                             platform::SortsBefore));
}

TEST_F(DgDocPage, ReleasingTheMouseOpensTheFocusedDiagram) {
  Available().UserClick(Available().IndexOfIgnoringCase("stOrder"));
  EXPECT_EQ(Project().navigator.currentDiagram->name, u"stOrder");
}

TEST_F(DgDocPage, WithDiagramsIsOnlyForThePrinter) {
  EXPECT_FALSE(window->DgDoc.cbWithDiagrams.Enabled());
  window->DgDoc.rgDestination.UserSelect(2);
  EXPECT_TRUE(window->DgDoc.cbWithDiagrams.Enabled());
  window->DgDoc.cbWithDiagrams.UserClick();
  window->DgDoc.rgDestination.UserSelect(1);
  EXPECT_FALSE(window->DgDoc.cbWithDiagrams.Checked());
  EXPECT_FALSE(window->DgDoc.cbWithDiagrams.Enabled());
}

TEST_F(DgDocPage, AReportGoesToTheClipboardAFileOrThePrinter) {
  platform::FixClock(platform::DateTime{2006, 4, 8, 9, 21, 0});
  window->DgDoc.btExtractDoc.UserClick();  // nothing selected: just the date
  EXPECT_EQ(clipboard.Text(), "Date :08.04.2006 09:21:00\r\n\r\n\r\n");
  EXPECT_EQ(Messages().back(), "Documentation is now in the clipboard.");
  window->DgDoc.btAddSelected.UserClick();
  window->DgDoc.rgDestination.UserSelect(1);
  dialogs.Queue(platform::DialogAnswer::File((dir / "doc.txt").string()));
  window->DgDoc.btExtractDoc.UserClick();
  const std::string file = test::ReadText(dir / "doc.txt");
  EXPECT_TRUE(file.starts_with("Date :08.04.2006 09:21:00\r\n\r\n\r\nDiagram : csOrders\r\n"));
  EXPECT_NE(file.find("{{ OneLiner:\r\nA customer's order\r\n}}\r\n"), std::string::npos);
  window->DgDoc.rgDestination.UserSelect(2);
  window->DgDoc.cbWithDiagrams.UserClick();
  window->DgDoc.btExtractDoc.UserClick();
  EXPECT_THAT(printed, ElementsAre(u"csOrders"));
  ASSERT_EQ(printer.Jobs().size(), 1u);
  EXPECT_EQ(printer.Jobs()[0].pages[0][3], std::string(7, ' ') + "Date :08.04.2006 09:21:00");
  platform::FixClock(std::nullopt);
}

class SequencesPage : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    window->Show();
    window->PgctrlMain.UserSelectPage(2);
  }
  platform::ListBox& Methods() { return window->Sequences.lbxSequencesSource; }
  platform::Memo& Memo() { return window->Sequences.SequencesMemo; }
};

TEST_F(SequencesPage, ListsMethodsAndEventsButNoFields) {
  EXPECT_GE(Methods().IndexOfIgnoringCase("TOrder.Submit"), 0);
  EXPECT_GE(Methods().IndexOfIgnoringCase("TStock.OnLowStock"), 0);
  EXPECT_EQ(Methods().IndexOfIgnoringCase("TOrder.FLines"), -1);
  const int count = Methods().Count();
  window->Sequences.btReload.UserClick();
  EXPECT_EQ(Methods().Count(), count);
}

TEST_F(SequencesPage, ADoubleClickAddsTheCallAndSelectsTheMethodIgnoringCase) {
  auto lower = Project().NewClass();
  lower->name = u"tstock";  // comes after TStock in the model, so TStock wins
  Project().AddClass(lower);
  Methods().UserDblClick(Methods().IndexOfIgnoringCase("TStock.Reserve"));
  EXPECT_THAT(Memo().Lines(), ElementsAre("TStock.Reserve"));
  EXPECT_EQ(Project().navigator.currentMember->name, u"Reserve");
  EXPECT_EQ(Project().navigator.currentClass->name, u"TStock");
  window->Sequences.btMoveMsg.UserClick();
  EXPECT_THAT(Memo().Lines(), ElementsAre("TStock.Reserve", "TStock.Reserve"));
}

TEST_F(SequencesPage, InvertFileOpenAndFileSave) {
  platform::WriteFileAtomically(dir / "calls.txt", "A\rB.x\nB.y\r\nA.z");
  dialogs.Queue(platform::DialogAnswer::File((dir / "calls.txt").string()));
  window->Sequences.btLoadFromFile.UserClick();
  EXPECT_THAT(Memo().Lines(), ElementsAre("A", "B.x", "B.y", "A.z"));
  window->Sequences.SpeedButton3.UserClick();
  EXPECT_THAT(Memo().Lines(), ElementsAre("A.z", "B.y", "B.x", "A"));
  dialogs.Queue(platform::DialogAnswer::File((dir / "out.txt").string()));
  window->Sequences.btFileSave.UserClick();
  EXPECT_EQ(test::ReadText(dir / "out.txt"), "A.z\r\nB.y\r\nB.x\r\nA\r\n");
  EXPECT_EQ(dialogs.Shown()[0].text, "in \"\" extension \"*.txt\"");
}

TEST_F(SequencesPage, MakeSequenceDiagramDrawsTheMemoAndOpensIt) {
  Memo().SetLines({"A", "B.x", "B.y", "A.z"});
  window->Sequences.Button1.UserClick();
  const auto& made = *Project().diagrams.back();
  EXPECT_EQ(made.name, u"sqAutoGen");
  EXPECT_EQ(Project().navigator.currentDiagram.Get(), &made);
  EXPECT_EQ(made.associations.size(), 3u);
}

TEST_F(SequencesPage, ABlankLineEndsInEmptyRoleNameAndNothingIsOpened) {
  Memo().SetLines({"A", "", "B.x"});
  const auto* before = Project().navigator.currentDiagram.Get();
  window->Sequences.Button1.UserClick();
  EXPECT_EQ(Messages().back(), "Exception in TDiagramGenerator.GenSqDg:empty Role name");
  EXPECT_EQ(Project().navigator.currentDiagram.Get(), before);
}

TEST_F(SequencesPage, AFileIsDrawnUnderItsOwnName) {
  platform::WriteFileAtomically(dir / "calls.txt", "TMain.Run\r\nTWorker.Work\r\n");
  dialogs.Queue(platform::DialogAnswer::File((dir / "calls.txt").string()));
  window->MakeSeqenceDiagram1.UserClick();
  EXPECT_EQ(Project().diagrams.back()->name, u"sqcalls.txt");
  EXPECT_EQ(Project().navigator.currentDiagram->name, u"sqcalls.txt");
  EXPECT_TRUE(Memo().Lines().empty());
}

TEST_F(MainWindow, TheHiddenDgGroupsPageWorksByItsControls) {
  window->Show();
  auto& diagram = modelhost::FindDiagram(Project(), "csOrders");
  Project().navigator.currentDiagram = modelhost::ComPtr<modelhost::ModelDiagram>::Share(&diagram);
  dialogs.Queue(platform::DialogAnswer::Text("Orders"));
  window->DgGroups.spBtNewGroup.UserClick();
  window->DgGroups.spBtInsCurDg.UserClick();
  EXPECT_THAT(window->DgGroups.cbxDgGroupSelect.Items(), ElementsAre("Orders"));
  EXPECT_THAT(window->DgGroups.lbxDgGroupMemberList.Items(), ElementsAre("csOrders"));
  EXPECT_FALSE(window->tbsDgGroups.TabVisible());
}

}  // namespace
