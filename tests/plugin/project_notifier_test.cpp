#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "project_notifier.h"

namespace {

using namespace drvx::host;
using ::testing::ElementsAre;

class Notifier : public ::testing::Test {
 protected:
  // An observer with every handler logging "<name> <event>".
  void Wire(TProjectNotifierObserver& o, const std::string& name, bool enabled) {
    auto log = [this, name](const char* event) {
      return [this, name, event](TProjectNotifierObserver&, const std::string&) { heard.push_back(name + " " + event); };
    };
    o.OnAfterNew = log("AfterNew");
    o.OnAfterOpen = log("AfterOpen");
    o.OnAfterSave = log("AfterSave");
    o.OnBeforeNew = log("BeforeNew");
    o.OnBeforeOpen = log("BeforeOpen");
    o.OnBeforeSave = log("BeforeSave");
    o.OnCommitEditors = log("CommitEditors");
    o.OnDestroyed = log("Destroyed");
    o.Enabled = enabled;
  }

  std::vector<std::string> heard;
  mmapi::cxx::ComPtr<TProjectNotifier> notifier = mmapi::cxx::MakeCom<TProjectNotifier>();
  TProjectNotifierObserver a, b, c;
};

TEST_F(Notifier, EnabledObserversHearEachEventInSubscriptionOrder) {
  Wire(a, "a", true);
  Wire(b, "b", false);
  Wire(c, "c", true);
  notifier->AddObserver(&c);
  notifier->AddObserver(&b);
  notifier->AddObserver(&a);
  notifier->AddObserver(&c);  // once only
  mmapi::MMBool answer = 1;
  EXPECT_EQ(notifier->BeforeOpen(u"x.mmproj", 8, &answer), mmapi::MM_OK);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(notifier->AfterOpen(u"x.mmproj", 8), mmapi::MM_OK);
  EXPECT_EQ(notifier->Destroyed(), mmapi::MM_OK);
  EXPECT_THAT(heard, ElementsAre("c BeforeOpen", "a BeforeOpen", "c AfterOpen", "a AfterOpen",
                                 "c Destroyed", "a Destroyed"));
}

TEST_F(Notifier, EveryOperationReachesItsHandlerOrNone) {
  Wire(a, "a", true);
  notifier->AddObserver(&a);
  mmapi::MMBool answer = 1;
  notifier->AfterNew();
  notifier->AfterSave(u"", 0);
  notifier->Modified();
  notifier->BeforeNew(&answer);
  notifier->BeforeSave(u"", 0, &answer);
  notifier->Closed();
  notifier->CommitEditors();
  notifier->SettingsChanged();
  EXPECT_THAT(heard, ElementsAre("a AfterNew", "a AfterSave", "a BeforeNew", "a BeforeSave",
                                 "a CommitEditors"));
  EXPECT_EQ(answer, 0);
}

TEST_F(Notifier, WithoutObserversEveryOperationSucceedsAndAnswersFalse) {
  mmapi::MMBool answer = 1;
  EXPECT_EQ(notifier->BeforeNew(&answer), mmapi::MM_OK);
  EXPECT_EQ(answer, 0);
  answer = 1;
  EXPECT_EQ(notifier->BeforeSave(u"", 0, &answer), mmapi::MM_OK);
  EXPECT_EQ(answer, 0);
  notifier->RemoveObserver(&a);  // never added: nothing happens
  EXPECT_EQ(notifier->AfterNew(), mmapi::MM_OK);
}

TEST_F(Notifier, AFailingHandlerEndsTheEventWithTheFailureStatus) {
  Wire(a, "a", true);
  Wire(b, "b", true);
  a.OnAfterNew = [](TProjectNotifierObserver&, const std::string&) { throw std::runtime_error("handler broke"); };
  notifier->AddObserver(&a);
  notifier->AddObserver(&b);
  EXPECT_EQ(notifier->AfterNew(), mmapi::MM_E_UNEXPECTED);
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(notifier->AfterSave(u"", 0), mmapi::MM_OK);
  EXPECT_THAT(heard, ElementsAre("a AfterSave", "b AfterSave"));
}

TEST_F(Notifier, AnObserverLeavingDuringAnEventMakesNoOtherMissIt) {
  Wire(b, "b", true);
  Wire(c, "c", true);
  a.Enabled = true;
  a.OnAfterNew = [this](TProjectNotifierObserver& self, const std::string&) {
    notifier->RemoveObserver(&self);
  };
  // b removes c, which then does not hear the event it has left.
  b.OnAfterSave = [this](TProjectNotifierObserver&, const std::string&) {
    notifier->RemoveObserver(&c);
  };
  notifier->AddObserver(&a);
  notifier->AddObserver(&b);
  notifier->AddObserver(&c);
  EXPECT_EQ(notifier->AfterNew(), mmapi::MM_OK);
  EXPECT_EQ(notifier->AfterNew(), mmapi::MM_OK);
  EXPECT_EQ(notifier->AfterSave(u"", 0), mmapi::MM_OK);
  EXPECT_THAT(heard, ElementsAre("b AfterNew", "c AfterNew", "b AfterNew", "c AfterNew"));
}

TEST_F(Notifier, EventsThatNameAFileHandItToTheObservers) {
  std::vector<std::string> names;
  a.Enabled = true;
  a.OnAfterOpen = a.OnBeforeSave = [&](TProjectNotifierObserver&, const std::string& fileName) {
    names.push_back(fileName);
  };
  notifier->AddObserver(&a);
  const std::u16string path = u"/p/Shop.mmproj";
  mmapi::MMBool answer = 1;
  EXPECT_EQ(notifier->AfterOpen(path.data(), std::uint32_t(path.size())), mmapi::MM_OK);
  EXPECT_EQ(notifier->BeforeSave(u"x.mmproj", 8, &answer), mmapi::MM_OK);
  EXPECT_THAT(names, ElementsAre("/p/Shop.mmproj", "x.mmproj"));
}

}  // namespace
