// The command language against the plug-in's windows before they were ever
// shown, and the plug-in's shutdown while call stacks are still arriving.
#include <chrono>
#include <sstream>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/forms.h"
#include "drvx/platform/message_slot.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx/platform/ui_loop.h"
#include "e2e/fresh_host.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
using test::FreshHost;

// The commands a user's mouse and keyboard give a control of this kind.
std::vector<std::string> CommandsFor(const platform::Control& c, const std::string& path) {
  const std::string type = c.TypeName();
  if (type == "Button" || type == "CheckBox") return {"click " + path};
  if (type == "ListBox")
    return {"click " + path + " 0", "click " + path + " -1", "dblclick " + path + " 0",
            "toggle " + path + " 0", "key " + path + " 46", "mouse " + path + " 5 14"};
  if (type == "ComboBox") return {"choose " + path + " 0", "type " + path + " T", "key " + path + " 13"};
  if (type == "Edit") return {"type " + path + " x", "key " + path + " 13"};
  if (type == "Memo") return {"type " + path + " A.b"};
  if (type == "RadioGroup") return {"choose " + path + " 2"};
  if (type == "PageControl") {
    std::vector<std::string> pages;
    for (int i = 0; i < 7; ++i) pages.push_back("page " + path + " " + std::to_string(i));
    return pages;
  }
  return {"mouse " + path + " 1 1"};
}

class WindowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UiLoop::Instance().AttachToThisThread();
    platform::UiLoop::Instance().SetInstantTimers(true);
  }
  void TearDown() override { platform::UiLoop::Instance().SetInstantTimers(false); }
};

// Each command runs in a host of its own, so the window has never been shown
// when it arrives: the host shows it first, as a user must open a window to
// act in it, and the command then does what it does in the shown window.
TEST_F(WindowCommands, EveryUserCommandBeforeTheFirstShowingShowsTheWindowFirst) {
  std::vector<std::string> commands;
  {
    FreshHost host;
    for (const char* window : {"FrmMain", "ClassLocatorDlg"}) {
      const platform::Form* form = platform::FindForm(window);
      ASSERT_NE(form, nullptr) << window;
      for (const platform::Control* c : form->Controls())
        for (auto& line : CommandsFor(*c, std::string(window) + "." + c->Name()))
          commands.push_back(line);
    }
  }
  ASSERT_GT(commands.size(), 100u);
  for (const std::string& line : commands) {
    FreshHost host;
    const std::string window = line.substr(line.find(' ') + 1, line.find('.') - line.find(' ') - 1);
    ASSERT_FALSE(platform::FindForm(window)->EverShown());
    const bool ok = host.Run(line);
    EXPECT_TRUE(platform::FindForm(window)->EverShown()) << line;
    const std::string told = host.err.str() + host.out.str();
    for (const std::string& text : test::DialogTexts(host.dialogs)) {
      EXPECT_THAT(text, Not(HasSubstr("_M_"))) << line;
      EXPECT_THAT(text, Not(HasSubstr("has not been shown"))) << line;
    }
    if (!ok) {
      EXPECT_THAT(told, HasSubstr("e2e: error: ")) << line;
    }
  }
}

TEST_F(WindowCommands, EnterInTheClassLocatorPressesOk) {
  FreshHost host;
  ASSERT_TRUE(host.Run("modal ClassLocatorDlg type ClassLocatorDlg.cbxClassLocator TSto"));
  ASSERT_TRUE(host.Run("modal ClassLocatorDlg key ClassLocatorDlg.cbxClassLocator 13"));
  ASSERT_TRUE(host.Run("exec 5"));
  EXPECT_EQ(host.session.Project().navigator.currentClass->name, u"TStock");
}

TEST_F(WindowCommands, StateShowsAControlsHint) {
  FreshHost host;
  ASSERT_TRUE(host.Run("state FrmMain.SpeedButton2"));
  EXPECT_THAT(host.out.str(), HasSubstr("hint \"add diagrams as links to current diagram\""));
}

// Call stacks that arrive while nobody runs the user-interface loop wait in
// it; unloading the plug-in takes them back, so nothing of the unloaded
// library is left to run or to release later.
TEST_F(WindowCommands, UnloadingWhileCallStacksWaitLeavesNothingOfThePlugInQueued) {
  for (int round = 0; round < 3; ++round) {
    {
      FreshHost host;
      for (int i = 0; i < 3; ++i) platform::SendToSlot(platform::SlotPath("MbDRVX"), "A.x\r\nB.y\r\n");
      std::this_thread::sleep_for(100ms);  // the reader takes one and waits for the loop
    }
    EXPECT_EQ(platform::UiLoop::Instance().ProcessPending(), 0);
  }
}

}  // namespace
