#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "class_locator.h"
#include "drvx/platform/paths.h"
#include "drvx/platform/ui_loop.h"
#include "info_window.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;

TEST(InfoWindow, ShowsThePluginsVersionWhenItCarriesOne) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_directories(dir / "Experts");
  const auto host = test::InstalledHost(dir.Path());
  EXPECT_EQ(ui::TKorvantiInfoFrm::VersionText(host), "Generation Date: 08.04.2006 09:21:00");
  std::filesystem::copy_file(platform::ExecutablePath(), test::InstalledPlugin(dir.Path()));
  EXPECT_EQ(ui::TKorvantiInfoFrm::VersionText(host), "Version 3.2.1 build 77");
  test::WriteText(test::InstalledPlugin(dir.Path()), "no note");
  EXPECT_EQ(ui::TKorvantiInfoFrm::VersionText(host), "Generation Date: 08.04.2006 09:21:00");
}

TEST(InfoWindow, ClosesItselfByItsTimerOrItsButton) {
  platform::UiLoop::Instance().AttachToThisThread();
  platform::UiLoop::Instance().SetInstantTimers(true);
  {
    ui::TKorvantiInfoFrm info("/nowhere/bin/dravolex-host");
    info.Timer1.SetInterval(1000);
    EXPECT_EQ(info.lbVersion.Caption(), "Generation Date: 08.04.2006 09:21:00");
    info.ShowModal();
    EXPECT_FALSE(info.Visible());
    EXPECT_TRUE(info.Timer1.Active());  // started on activation
  }
  platform::UiLoop::Instance().SetInstantTimers(false);
  ui::TKorvantiInfoFrm info("/nowhere/bin/dravolex-host");
  platform::SetModalDriver([](platform::Form& f) {
    static_cast<ui::TKorvantiInfoFrm&>(f).Button1.UserClick();
  });
  info.ShowModal();
  platform::SetModalDriver(nullptr);
  EXPECT_FALSE(info.Visible());
}

TEST(ClassLocator, OkCancelAndClosingSetTheResult) {
  ui::TClassLocatorDlg dialog;
  for (auto* name : {"TStock", "TOrder", "TAddress"}) dialog.cbxClassLocator.Add(name);
  EXPECT_THAT(dialog.cbxClassLocator.Items(), ElementsAre("TAddress", "TOrder", "TStock"));
  platform::SetModalDriver([&](platform::Form&) {
    dialog.cbxClassLocator.UserSelect(1);
    dialog.cbxClassLocator.UserKeyDown(platform::kEnterKey);
  });
  EXPECT_EQ(dialog.ShowModal(), platform::kModalOk);
  EXPECT_EQ(dialog.FResult, 1);
  EXPECT_EQ(dialog.cbxClassLocator.Text(), "TOrder");
  platform::SetModalDriver([&](platform::Form&) {
    dialog.cbxClassLocator.UserType("TNew");
    dialog.btnCancle.UserClick();
  });
  dialog.ShowModal();
  EXPECT_EQ(dialog.FResult, 2);
  EXPECT_EQ(dialog.cbxClassLocator.Text(), "TNew");  // offered again next time
  platform::SetModalDriver([&](platform::Form& f) { f.Close(); });
  dialog.ShowModal();
  EXPECT_EQ(dialog.FResult, 2);
  platform::SetModalDriver(nullptr);
}

TEST(ClassLocator, TypedTextIsCompletedFromTheList) {
  ui::TClassLocatorDlg dialog;
  dialog.cbxClassLocator.Add("TOrderLine");
  dialog.cbxClassLocator.Add("TOrder");
  dialog.cbxClassLocator.UserType("tord");
  EXPECT_EQ(dialog.cbxClassLocator.Text(), "TOrder");
  dialog.cbxClassLocator.UserType("FCustomer");
  EXPECT_EQ(dialog.cbxClassLocator.Text(), "FCustomer");
}

}  // namespace
