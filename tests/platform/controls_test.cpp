#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/forms.h"
#include "drvx/platform/ui_loop.h"

namespace {

using namespace drvx::platform;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(ListBox, ASortedListKeepsItselfSortedIgnoringCase) {
  Form form("F", "F");
  ListBox list(&form, "lbx");
  list.SetItems({"b", "C", "a"});
  list.SetSorted(true);
  EXPECT_THAT(list.Items(), ElementsAre("a", "b", "C"));
  EXPECT_EQ(list.Add("B2"), 2);
  EXPECT_EQ(list.Add("aa"), 1);
  EXPECT_THAT(list.Items(), ElementsAre("a", "aa", "b", "B2", "C"));
  EXPECT_EQ(list.IndexOfIgnoringCase("b2"), 3);
}

TEST(ListBox, TheItemIndexFollowsInsertsAndDeletes) {
  ListBox list(nullptr, "lbx");
  list.SetItems({"x", "y", "z"});
  list.SetItemIndex(1);
  list.Add("w");
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Delete(0);
  EXPECT_EQ(list.ItemIndex(), 0);
  list.Delete(0);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItemIndex(7);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_THROW(list.Delete(5), std::out_of_range);
}

// Many items added or deleted in one step end as the same Adds and Deletes
// one by one would leave them, and are told once.
TEST(ListBox, ItemsAddedAndDeletedTogetherAreOneChangeWithTheSameResult) {
  ListBox together(nullptr, "a"), one(nullptr, "b");
  for (ListBox* list : {&together, &one}) {
    list->SetItems({"b", "d", "D", "f"});
    list->SetSorted(true);
    list->SetItemIndex(2);  // "D"
  }
  int changes = 0;
  together.Subscribe([&changes](Control&) { ++changes; });
  const std::vector<std::string> added{"e", "a", "d", "c"};
  together.AddItems(added);
  for (const auto& item : added) one.Add(item);
  EXPECT_EQ(together.Items(), one.Items());
  EXPECT_EQ(together.ItemIndex(), one.ItemIndex());
  together.DeleteItems({6, 0, 3, 0});
  for (const int index : {6, 3, 0}) one.Delete(index);
  EXPECT_EQ(together.Items(), one.Items());
  EXPECT_EQ(together.ItemIndex(), one.ItemIndex());
  EXPECT_EQ(changes, 2);
  const auto version = together.ItemsVersion();
  together.SetItemIndex(0);
  EXPECT_EQ(together.ItemsVersion(), version);  // the selection is no change of the items
  EXPECT_THROW(together.DeleteItems({0, 99}), std::out_of_range);
}

TEST(ListBox, MultiSelectionAndClicks) {
  ListBox list(nullptr, "lbx");
  list.SetMultiSelect(true);
  list.SetItems({"a", "b", "c"});
  int clicks = 0;
  list.OnClick = [&] { ++clicks; };
  list.UserClick(0);
  list.UserToggle(2);
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_TRUE(list.Selected(2));
  list.UserClick(1);  // a plain click selects that line alone
  EXPECT_EQ(list.SelCount(), 1);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(clicks, 2);
  list.SelectAll();
  EXPECT_EQ(list.SelCount(), 3);
  list.Clear();
  EXPECT_EQ(list.SelCount(), 0);
}

TEST(ListBox, KeysAndRowHeightReachTheHandlers) {
  ListBox list(nullptr, "lbx");
  std::uint16_t seen = 0;
  list.OnKeyDown = [&](std::uint16_t& key) {
    seen = key;
    key = 0;
  };
  list.UserKeyDown(45);
  EXPECT_EQ(seen, 45);
  list.SetRowHeight(16);
  EXPECT_EQ(list.RowHeight(), 16);
  list.SetEnabled(false);
  list.UserKeyDown(46);
  EXPECT_EQ(seen, 45);  // a disabled control hears nothing
}

TEST(Form, EnterPressesTheDefaultButtonUnlessAHandlerTakesTheKey) {
  Form form("F", "F");
  ComboBox combo(&form, "cbx");
  Edit edit(&form, "ed");
  Button ok(&form, "btnOk", "OK");
  int clicks = 0;
  ok.OnClick = [&] { ++clicks; };
  combo.UserKeyDown(kEnterKey);
  EXPECT_EQ(clicks, 0);  // no default button yet
  form.SetDefaultButton(ok);
  combo.UserKeyDown(kEnterKey);
  edit.UserKeyDown(kEnterKey);
  edit.UserKeyDown(45);
  EXPECT_EQ(clicks, 2);
  edit.OnKeyDown = [](std::uint16_t& key) { key = 0; };
  edit.UserKeyDown(kEnterKey);
  EXPECT_EQ(clicks, 2);
}

TEST(Control, StateShowsTheHintAlsoWhenItDoesNotPopUp) {
  Button button(nullptr, "btn", "Go");
  button.SetHint("start it");
  EXPECT_THAT(button.Describe(), HasSubstr("hint \"start it\" (not shown)"));
  button.SetShowHint(true);
  EXPECT_THAT(button.Describe(), HasSubstr("hint \"start it\""));
  EXPECT_THAT(button.Describe(), Not(HasSubstr("(not shown)")));
}

#ifndef NDEBUG
TEST(ControlDeathTest, TouchingAControlOutsideTheUiThreadStopsADebugBuild) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        UiLoop::Instance().AttachToThisThread();
        Edit edit(nullptr, "edName");
        std::thread([&] { edit.SetText("x"); }).join();
      },
      "edName was touched outside the user-interface thread");
}
#endif

TEST(PageControl, OnlyTheUserChangesPagesWithAnEventAndHiddenTabsCannotBePicked) {
  Form form("F", "F");
  PageControl pages(&form, "pg");
  TabSheet first(&form, "tbsFirst", "First");
  TabSheet hidden(&form, "tbsHidden", "Hidden");
  TabSheet third(&form, "tbsThird", "Third");
  for (auto* p : {&first, &hidden, &third}) pages.AddPage(*p);
  hidden.SetTabVisible(false);
  int changes = 0;
  pages.OnChange = [&] { ++changes; };
  pages.SetActivePage(third);
  EXPECT_EQ(pages.ActivePage(), &third);
  EXPECT_EQ(changes, 0);
  pages.UserSelectPage(1);
  EXPECT_EQ(pages.ActivePage(), &third);
  pages.UserSelectPage(0);
  EXPECT_EQ(pages.ActivePage(), &first);
  EXPECT_EQ(changes, 1);
}

TEST(Controls, ObserversHearEveryChangeAndAMemoBatchesItsUpdates) {
  Memo memo(nullptr, "memo");
  int notes = 0;
  const int id = memo.Subscribe([&](Control&) { ++notes; });
  memo.BeginUpdate();
  memo.AddLine("A");
  memo.AddLine("B");
  memo.EndUpdate();
  EXPECT_EQ(notes, 1);
  EXPECT_EQ(memo.Text(), "A\r\nB\r\n");
  memo.SetText("x\ny\r\nz\r");
  EXPECT_THAT(memo.Lines(), ElementsAre("x", "y", "z"));
  memo.Unsubscribe(id);
  memo.Clear();
  EXPECT_EQ(notes, 2);
}

TEST(Controls, ComboCheckAndRadioFollowTheUser) {
  ComboBox combo(nullptr, "cbx");
  combo.SetSorted(true);
  combo.Add("TStock");
  combo.Add("TOrder");
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  combo.UserSelect(0);
  EXPECT_EQ(combo.Text(), "TOrder");
  combo.UserType("tor");
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(changes, 2);
  CheckBox check(nullptr, "cb", "One Liner");
  check.UserClick();
  EXPECT_TRUE(check.Checked());
  RadioGroup radio(nullptr, "rg", "Destination");
  radio.SetItems({"Clipboard", "File", "Printer"});
  radio.UserSelect(2);
  EXPECT_EQ(radio.ItemIndex(), 2);
}

TEST(Forms, AreFoundByNameAndKnowTheirControls) {
  Form form("frmTest", "Test");
  Button ok(&form, "btnOk", "OK");
  EXPECT_EQ(FindForm("frmTest"), &form);
  EXPECT_EQ(form.Find("btnOk"), &ok);
  EXPECT_EQ(form.FindAs<ListBox>("btnOk"), nullptr);
  EXPECT_EQ(FindForm("nothing"), nullptr);
}

TEST(Forms, ShowActivatesAndAMinimisedFormStaysMinimised) {
  Form form("frm", "Main");
  int activations = 0;
  form.OnActivate = [&] { ++activations; };
  form.Show();
  form.Minimize();
  form.Show();
  EXPECT_EQ(activations, 2);
  EXPECT_EQ(form.State(), WindowState::Minimized);
  form.Close();
  EXPECT_FALSE(form.Visible());
}

TEST(Forms, AModalFormIsDrivenThenClosedByItsButton) {
  Form dialog("dlg", "Class Locator");
  Button ok(&dialog, "btnOk", "OK");
  ok.SetModalResult(kModalOk);
  SetModalDriver([&](Form& f) {
    if (&f == &dialog) ok.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(), kModalOk);
  SetModalDriver(nullptr);
  EXPECT_FALSE(dialog.Visible());
}

TEST(Forms, AModalFormNothingClosesIsClosedWithCancelAndALoggedLine) {
  std::vector<std::string> log;
  SetLogSink([&](const std::string& line) { log.push_back(line); });
  Form dialog("lonely", "Nobody answers");
  EXPECT_EQ(dialog.ShowModal(), kModalCancel);
  SetLogSink(nullptr);
  EXPECT_THAT(log, ElementsAre("the modal window lonely had nothing to close it; it was closed "
                               "with Cancel"));
}

TEST(Forms, AModalFormWithATimerClosesItself) {
  UiLoop::Instance().SetInstantTimers(true);
  Form info("KorvantiInfoFrm", "Info");
  Timer timer(&info, "Timer1", 1000);
  timer.OnTimer = [&] { info.Close(); };
  info.OnActivate = [&] { timer.SetActive(true); };
  EXPECT_EQ(info.ShowModal(), kModalCancel);
  UiLoop::Instance().SetInstantTimers(false);
  EXPECT_FALSE(info.Visible());
}

// A renderer learns of every form's showing, hiding (also by a modal
// result) and end, and lays controls out in the order they were placed.
TEST(FormEvents, AreToldForShowHideCloseModalResultAndDestruction) {
  std::vector<std::string> events;
  const int id = SubscribeForms([&events](Form& form, FormEvent event) {
    static const char* const names[] = {"shown", "hidden", "destroyed"};
    events.push_back(form.Name() + " " + names[int(event)]);
  });
  {
    Form form("Watched", "Watched");
    Button ok(&form, "ok", "OK");
    Panel label(&form, "label", "Name");
    ok.PlaceIn(nullptr, Placement::NewRow);
    label.PlaceIn(nullptr, Placement::NewRow);
    EXPECT_LT(ok.PlaceOrder(), label.PlaceOrder());
    form.Show();
    form.Show();  // already shown: told once
    form.Hide();
    form.Show();
    form.Close();
    ok.SetModalResult(kModalOk);
    SetModalDriver([&ok](Form&) { ok.UserClick(); });
    EXPECT_EQ(form.ShowModal(), kModalOk);
    SetModalDriver(nullptr);
  }
  UnsubscribeForms(id);
  EXPECT_THAT(events, ElementsAre("Watched shown", "Watched hidden", "Watched shown",
                                  "Watched hidden", "Watched shown", "Watched hidden",
                                  "Watched destroyed"));
}

}  // namespace
