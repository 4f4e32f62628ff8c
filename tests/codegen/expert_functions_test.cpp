#include <gmock/gmock.h>

#include "codegen/codegen_fixture.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
class ExpertFunctions : public test::CodegenTest {};

TEST_F(ExpertFunctions, StrToVisabilityIsExactAndCaseSensitive) {
  EXPECT_EQ(codegen::TExpertFunctions::StrToVisability("scPublished"), host::Visibility::Published);
  EXPECT_EQ(codegen::TExpertFunctions::StrToVisability("scDefault"), host::Visibility::Default);
  EXPECT_TRUE(dialogs.Shown().empty());
  EXPECT_EQ(codegen::TExpertFunctions::StrToVisability("scpublished"), host::Visibility::Default);
  EXPECT_THAT(Messages(),
              ElementsAre("TExpertFunctions.StrToVisability : Unknown Visability \"scpublished\""));
}

TEST_F(ExpertFunctions, LocateClassIgnoresTheCaseOfLetters) {
  AddClass(u"TStringList");
  auto& list = AddClass(u"TList");
  EXPECT_TRUE(Functions().LocateClass("tlist"));
  EXPECT_EQ(Project().navigator.currentClass.Get(), &list);
}

TEST_F(ExpertFunctions, LocateClassFollowsTheTypeOfAMemberOfThatName) {
  auto& order = AddClass(u"TOrder");
  auto& customer = AddClass(u"TCustomer");
  AddMember(order, mmapi::mcField, u"FCustomer", u"TCustomer");
  EXPECT_TRUE(Functions().LocateClass("fcustomer"));
  EXPECT_EQ(Project().navigator.currentClass.Get(), &customer);
}

TEST_F(ExpertFunctions, LocateClassOfAnUnknownNameChangesNothing) {
  auto& order = AddClass(u"TOrder");
  modelhost::SelectClass(Project().navigator, order);
  EXPECT_FALSE(Functions().LocateClass("TNothing"));
  EXPECT_EQ(Project().navigator.currentClass.Get(), &order);
}

TEST_F(ExpertFunctions, LocateClassDoesNotLoopOnAMemberNamedLikeItsOwnType) {
  auto& a = AddClass(u"TA");
  AddMember(a, mmapi::mcField, u"TGhost", u"TGhost");  // no class TGhost
  AddMember(a, mmapi::mcField, u"FLoop", u"floop");
  EXPECT_FALSE(Functions().LocateClass("TGhost"));
  EXPECT_FALSE(Functions().LocateClass("FLoop"));
}

TEST_F(ExpertFunctions, AddFieldAndAddMethodSetWhatTheyAreGiven) {
  auto& cls = AddClass(u"TPoint");
  modelhost::SelectClass(Project().navigator, cls);
  Functions().AddField("FX", "Integer", host::Visibility::Protected);
  Functions().AddMethod("Clone", "", host::MethodKind::Function, host::Visibility::Public,
                        "TPoint");
  ASSERT_EQ(cls.members.size(), 2u);
  EXPECT_EQ(cls.members[0]->name, u"FX");
  EXPECT_EQ(cls.members[0]->typeName, u"Integer");
  EXPECT_EQ(cls.members[0]->visibility, mmapi::scProtected);
  EXPECT_EQ(cls.members[1]->methodKind, mmapi::mkFunction);
  EXPECT_EQ(cls.members[1]->typeName, u"TPoint");
  EXPECT_EQ(Functions().CurrentMethod().Name(), "Clone");
}

TEST_F(ExpertFunctions, AddingWithoutACurrentClassSaysSo) {
  try {
    Functions().AddField("FX", "Integer", host::Visibility::Default);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "no class is current to add the field FX");
  }
}

}  // namespace
