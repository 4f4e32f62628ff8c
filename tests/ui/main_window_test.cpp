#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/ui_loop.h"
#include "model_lookup.h"
#include "ui/main_window_fixture.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using ::testing::Contains;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using test::MainWindow;

TEST_F(MainWindow, TheFirstShowStartsTheWorkersOnTheSettingsPage) {
  settings->ClassDiagramPrefix = "klass";
  settings->CreateLocalMembers = false;
  EXPECT_EQ(window->Functions(), nullptr);
  window->Show();
  EXPECT_FALSE(window->FirstActivation());
  ASSERT_NE(window->Explorer(), nullptr);
  EXPECT_TRUE(window->GroupManager()->Initialized());
  EXPECT_EQ(window->PgctrlMain.ActivePage(), &window->tbsSettings);
  EXPECT_EQ(window->Settings.edClassDiagramPrefix.Text(), "klass");
  EXPECT_EQ(window->Settings.edRobustnesDiagramPrefix.Text(), "rb");
  EXPECT_FALSE(window->Settings.cbCreateLocalMembers.Checked());
  EXPECT_EQ(window->Settings.memoLocalFields.Lines().size(), 2u);
  EXPECT_FALSE(window->tbsDgGroups.TabVisible());
  EXPECT_EQ(platform::HintHidePause(), 20000);  // for every window of the plug-in
}

TEST_F(MainWindow, WithoutSettingsTheStartFailsAndIsTriedAgain) {
  window->SetExpertSettings(nullptr);
  window->Show();
  EXPECT_TRUE(window->FirstActivation());
  EXPECT_THAT(Messages(), ElementsAre("TFrmMain.ContextStartup : ExpertSettings are not assigned"));
  window->SetExpertSettings(settings.get());
  window->Show();
  EXPECT_FALSE(window->FirstActivation());
}

TEST_F(MainWindow, PickingPagesRunsTheirWork) {
  window->Show();
  EXPECT_EQ(window->Sequences.lbxSequencesSource.Count(), 0);
  window->PgctrlMain.UserSelectPage(3);  // Statistik: fills the method list once
  EXPECT_GT(window->Sequences.lbxSequencesSource.Count(), 20);
  EXPECT_TRUE(window->Sequences.lbxSequencesSource.Sorted());
  EXPECT_EQ(window->Sequences.lbxSequencesSource.IndexOfIgnoringCase("TStock.OnLowStock") >= 0, true);
  EXPECT_EQ(window->Sequences.lbxSequencesSource.IndexOfIgnoringCase("TOrder.FId"), -1);
  window->PgctrlMain.UserSelectPage(0);  // References: the current diagram's references
  EXPECT_THAT(window->References.LbxReferences.Items(), ElementsAre("pkArchitecture"));
  EXPECT_EQ(window->pnlNames.Caption(), "uOrders");
  window->PgctrlMain.UserSelectPage(5);  // DgDoc: every diagram, the current one selected
  EXPECT_EQ(window->DgDoc.lbxDiagramsAvailable.Count(), 8);
  EXPECT_EQ(window->DgDoc.lbxDiagramsAvailable.SelCount(), 1);
  EXPECT_TRUE(window->DgDoc.lbxDiagramsAvailable.Selected(
      window->DgDoc.lbxDiagramsAvailable.IndexOfIgnoringCase("csOrders")));
  window->PgctrlMain.UserSelectPage(1);  // the hidden DgGroups tab cannot be picked
  EXPECT_EQ(window->PgctrlMain.ActivePage(), &window->tbsDiagramDoc);
}

TEST_F(MainWindow, ClosingHidesAndShowingBringsBackPageAndLists) {
  window->Show();
  window->PgctrlMain.UserSelectPage(0);
  window->GuiHide.UserClick();
  EXPECT_FALSE(window->Visible());
  window->Show();
  EXPECT_EQ(window->PgctrlMain.ActivePage(), &window->tbsReference);
  EXPECT_EQ(window->References.LbxReferences.Count(), 1);
  window->btHide.UserClick();
  window->Show();
  EXPECT_EQ(window->State(), platform::WindowState::Minimized);
}

TEST_F(MainWindow, TheReferencesListOpensDiagramsAndGoesToTheClipboard) {
  window->Show();
  modelhost::SelectClass(Project().navigator, modelhost::FindClass(Project(), "TProduct"));
  window->References.SpBtSearchHyperLinksCurrentClass.UserClick();
  EXPECT_THAT(window->References.LbxReferences.Items(), ElementsAre("csOrders", "csInventory"));
  window->References.LbxReferences.UserClick(1);
  EXPECT_EQ(Project().navigator.currentDiagram->name, u"csInventory");
  EXPECT_EQ(window->pnlNames.Caption(), "TProduct");
  window->References.LbxReferences.SetRowHeight(13);
  window->References.LbxReferences.UserMouseMove(5, 14);
  EXPECT_EQ(window->References.LbxReferences.Hint(), "csInventory");
  EXPECT_TRUE(window->References.LbxReferences.ShowHint());
  window->References.LbxReferences.UserMouseMove(5, 40);
  EXPECT_FALSE(window->References.LbxReferences.ShowHint());
  window->References.SpeedButton1.UserClick();
  EXPECT_EQ(clipboard.Text(), "csOrders\r\ncsInventory\r\n");
  window->References.SpBtSearchHyperLinksCurrentClass.UserMouseMove(1, 1);
  EXPECT_EQ(window->References.SpBtSearchHyperLinksCurrentClass.Hint(), "Current Class: TProduct");
  window->pnlNames.UserMouseMove(1, 1);
  EXPECT_EQ(window->pnlNames.Hint(), "TProduct");
}

TEST_F(MainWindow, AGuardedHandlerReportsUnderItsName) {
  window->Show();
  window->References.LbxReferences.SetItems({"x"});  // a line without a search behind it
  window->References.LbxReferences.UserClick(0);
  EXPECT_THAT(window->ExMsg(), HasSubstr("Exception in TFrmMain.LbxReferencesClick:"));
  EXPECT_EQ(Messages().back(), window->ExMsg());
}

TEST_F(MainWindow, RefreshListsTheInvalidGroupMembers) {
  window->Show();
  window->Statistik.spbtRefreshStatistic.UserClick();
  EXPECT_EQ(window->Statistik.lbDgCount.Caption(), "8");
  EXPECT_THAT(window->Statistik.lbxInvalidDGMembers.Items(),
              ElementsAre("Invalid DGMembers:", "=================="));
}

TEST_F(MainWindow, ValidateNamesRenamesThenReloadsTheGroups) {
  window->Show();
  const auto& customers = modelhost::FindDiagram(Project(), "Customer management");
  const auto& packages = modelhost::FindDiagram(Project(), "pkArchitecture");
  window->ValidateNames1.UserClick();
  EXPECT_EQ(customers.name, u"csCustomerManagement");
  EXPECT_EQ(packages.name, u"pkArchitecture");  // packages have no prefix
  EXPECT_TRUE(window->GroupManager()->Initialized());
}

TEST_F(MainWindow, FindStringInModelListsMethodsAndAClickSelectsOne) {
  window->Show();
  dialogs.Queue(platform::DialogAnswer::Text("FStock.Reserve"));
  window->FindStringInModel1.UserClick();
  EXPECT_THAT(window->MethodRef.lbxMethodRef.Items(),
              ElementsAre("<<FStock.Reserve>>", "TOrderProcessor.Process Section:2"));
  window->MethodRef.lbxMethodRef.UserClick(1);
  EXPECT_EQ(Project().navigator.currentClass->name, u"TOrderProcessor");
  EXPECT_EQ(Project().navigator.currentMember->name, u"Process");
  dialogs.Queue(platform::DialogAnswer::Cancel());
  window->FindStringInModel1.UserClick();
  EXPECT_EQ(window->MethodRef.lbxMethodRef.Count(), 2);
}

TEST_F(MainWindow, SaveSettingsWritesTheControlsToTheFile) {
  window->Show();
  window->Settings.edClassDiagramPrefix.UserType("cls");
  window->Settings.cbCreateLocalMembers.UserClick();
  window->Settings.memoLocalFields.SetText("FLog,TLog,scPrivate");
  window->Settings.edRecordingPageMessages.SetText("250");
  window->Settings.btnSaveSettings.UserClick();
  settings::TExpertSettings reread(dir / "bin" / "dravolex-host");
  EXPECT_EQ(reread.ClassDiagramPrefix, "cls");
  EXPECT_FALSE(reread.CreateLocalMembers);
  EXPECT_EQ(reread.LocalFields, "FLog,TLog,scPrivate\r\n");
  EXPECT_EQ(reread.RecordingPageMessages, 250);
  // Not a number of messages: nothing is saved, and the message says why.
  const std::string saved = test::ReadText(settings->ConfigFileName);
  window->Settings.edClassDiagramPrefix.SetText("other");
  window->Settings.edRecordingPageMessages.SetText("many");
  window->Settings.btnSaveSettings.UserClick();
  EXPECT_EQ(test::ReadText(settings->ConfigFileName), saved);
  ASSERT_FALSE(test::DialogTexts(dialogs).empty());
  EXPECT_THAT(test::DialogTexts(dialogs).back(), HasSubstr("\"Messages per recording diagram\" is \"many\""));
}

// Every user action on every control, before the window was ever shown: the
// workers are not started, so the actions that need them say so; nothing
// crashes and the settings file is not written.
TEST_F(MainWindow, BeforeTheFirstShowingEveryActionIsSafeAndSavesNothing) {
  platform::UiLoop::Instance().SetInstantTimers(true);  // About's window closes at once
  const std::string before = test::ReadText(settings->ConfigFileName);
  for (platform::Control* c : std::vector<platform::Control*>(window->Controls())) {
    c->UserMouseMove(1, 14);
    c->UserKeyDown(platform::kEnterKey);
    if (auto* button = dynamic_cast<platform::Button*>(c)) {
      button->UserClick();
    } else if (auto* list = dynamic_cast<platform::ListBox*>(c)) {
      list->UserClick(-1);
      list->UserDblClick(0);
      list->UserToggle(0);
      list->UserKeyDown(45);
    } else if (auto* combo = dynamic_cast<platform::ComboBox*>(c)) {
      combo->UserType("T");
    } else if (auto* edit = dynamic_cast<platform::Edit*>(c)) {
      edit->UserType("x");
    } else if (auto* check = dynamic_cast<platform::CheckBox*>(c)) {
      check->UserClick();
    } else if (auto* radio = dynamic_cast<platform::RadioGroup*>(c)) {
      radio->UserSelect(2);
    } else if (auto* pages = dynamic_cast<platform::PageControl*>(c)) {
      for (int i = 0; i < pages->PageCount(); ++i) pages->UserSelectPage(i);
    }
  }
  platform::UiLoop::Instance().SetInstantTimers(false);
  EXPECT_FALSE(window->Started());
  EXPECT_EQ(test::ReadText(settings->ConfigFileName), before);
  const auto messages = Messages();
  EXPECT_THAT(messages, Contains(HasSubstr("the window FrmMain has not been shown yet")));
  EXPECT_THAT(messages, Contains(StartsWith("the settings were not saved")));
  EXPECT_THAT(messages, Each(Not(HasSubstr("_M_"))));
}

TEST_F(MainWindow, AClickOutsideTheReferencesLinesDoesNothing) {
  window->Show();
  window->References.SpBtSearchHyperLinksCurrentDiagram.UserClick();
  dialogs.ClearShown();
  window->References.LbxReferences.UserClick(-1);
  window->References.LbxReferences.UserClick(7);  // below the last line
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(window->References.LbxReferences.ItemIndex(), -1);
}

}  // namespace
