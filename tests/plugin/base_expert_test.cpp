#include <optional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base_expert.h"
#include "modelhost/bound_session.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_call.h"
#include "host_session.h"
#include "mmapi/cxx/utf.h"

namespace {

using namespace drvx;
using mmapi::cxx::ComPtr;
using ::testing::ElementsAre;

// The base expert as the host sees it, with the dialogs it shows recorded.
class BaseExpert : public test::BoundSession {
 protected:
  std::string ErrorText() { return mmapi::cxx::ToUtf8(modelhost::ErrorRecord()); }
  std::vector<std::string> Messages() {
    std::vector<std::string> m;
    for (const auto& d : dialogs.Shown()) m.push_back(d.dialog + ": " + d.text);
    return m;
  }

  ComPtr<mmapi::IMMExpert> expert = mmapi::cxx::MakeCom<host::TMMBaseExpert>();
};

TEST_F(BaseExpert, OffersEightVerbsOneInEachMenu) {
  std::int32_t count = 0;
  ASSERT_EQ(expert->VerbCount(&count), mmapi::MM_OK);
  EXPECT_EQ(count, 8);
  const char16_t* captions[] = {u"MM Basis Expert im Toolsmenu",       u"MM Basis Expert im MainMenu",
                                u"MM Basis Expert im VCSMenu",         u"MM Basis Expert im ClassesMenu",
                                u"MM Basis Expert im MembersMenu",     u"MM Basis Expert im UnitsMenu",
                                u"MM Basis Expert im DiagramMenu",     u"MM Basis Expert im DiagramEditorMenu"};
  for (int i = 0; i < 8; ++i) {
    mmapi::MMStrView caption{};
    std::uint16_t shortcut = 0;
    std::uint8_t placement = 99;
    ASSERT_EQ(expert->VerbCaption(i, &caption), mmapi::MM_OK);
    ASSERT_EQ(expert->VerbShortcut(i, &shortcut), mmapi::MM_OK);
    ASSERT_EQ(expert->VerbPlacement(i, &placement), mmapi::MM_OK);
    EXPECT_EQ(std::u16string(caption.data, caption.length), captions[i]);
    EXPECT_EQ(shortcut, 0x6044 + i);
    EXPECT_EQ(placement, i);
  }
  mmapi::MMStrView id{};
  ASSERT_EQ(expert->ExpertId(&id), mmapi::MM_OK);
  EXPECT_EQ(std::u16string(id.data, id.length), u"ZKBaseExpert");
}

TEST_F(BaseExpert, AnIndexOutsideTheVerbsFailsAnAssertionAndClearsTheOutArgument) {
  mmapi::MMStrView caption{u"stale", 5, 0};
  EXPECT_EQ(expert->VerbCaption(8, &caption), mmapi::MM_E_UNEXPECTED);
  EXPECT_EQ(caption.length, 0u);
  EXPECT_EQ(ErrorText(), "Assertion failed: verb index 8 is outside 0..7 (KorvantiBaseExpert)");
  std::uint16_t shortcut = 7;
  std::uint8_t placement = 7;
  EXPECT_EQ(expert->VerbShortcut(-1, &shortcut), mmapi::MM_E_UNEXPECTED);
  EXPECT_EQ(expert->VerbPlacement(8, &placement), mmapi::MM_E_UNEXPECTED);
  EXPECT_EQ(shortcut, 0);
  EXPECT_EQ(placement, 0);
}

TEST_F(BaseExpert, ExecuteTakesTheLowEightBitsAsAMenu) {
  EXPECT_EQ(expert->Execute(0), mmapi::MM_OK);
  EXPECT_EQ(expert->Execute(7), mmapi::MM_OK);
  EXPECT_EQ(expert->Execute(256), mmapi::MM_OK);
  EXPECT_EQ(expert->Execute(11), mmapi::MM_OK);
  EXPECT_EQ(expert->Execute(-1), mmapi::MM_OK);
  EXPECT_THAT(Messages(), ElementsAre("message (information): ToolsMenu aufgerufen....",
                                      "message (information): DiagramEditorMenu aufgerufen....",
                                      "message (information): ToolsMenu aufgerufen....",
                                      "message (plain): ExecuteVerb = 11",
                                      "message (plain): ExecuteVerb = -1"));
}

TEST_F(BaseExpert, TheNeutralOperationsAnswerEmpty) {
  mmapi::MMStrView hint{u"x", 1, 0};
  auto* image = reinterpret_cast<mmapi::IMMUnknown*>(0x1);
  EXPECT_EQ(expert->VerbHint(0, &hint), mmapi::MM_OK);
  EXPECT_EQ(expert->VerbImage(0, &image), mmapi::MM_OK);
  EXPECT_EQ(hint.length, 0u);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(expert->Registered(), mmapi::MM_OK);
  EXPECT_EQ(expert->HostEvent(1, 2, 3), mmapi::MM_OK);
  EXPECT_EQ(expert->VerbCount(nullptr), mmapi::MM_E_UNEXPECTED);
  EXPECT_TRUE(dialogs.Shown().empty());
}

}  // namespace
