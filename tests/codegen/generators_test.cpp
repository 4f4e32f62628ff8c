#include <gmock/gmock.h>

#include "codegen/codegen_fixture.h"
#include "drvx/platform/files.h"
#include "generators.h"
#include "drvx/platform/text.h"
#include "mmapi/cxx/utf.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using mmapi::cxx::ToUtf8;

const char* const kCreated = "// Unit Created at    : Date: 08.04.2006  Time :09:21:00";
const char* const kModified = "// Unit last modified : Date: <!Date!>  Time :<!Time!>";
const std::string kRule = "//" + std::string(78, '-');

class Header : public test::CodegenTest {
 protected:
  std::vector<std::string> HeaderLines(const modelhost::ModelModule& m) {
    return platform::SplitLines(ToUtf8(m.header));
  }
};

TEST_F(Header, TheTemplateAndTheGeneratedLinesGoInFrontOfTheOldText) {
  auto& unit = AddModule(u"uMain", u"U\r\n");
  Project().navigator.currentModule = modelhost::ComPtr<modelhost::ModelModule>::Share(&unit);
  platform::WriteFileAtomically(dir / "bin" / "header.txt", "A\nB\r\n");
  Functions().GenerateHeader();
  EXPECT_THAT(HeaderLines(unit), ElementsAre("A", "B", kCreated, kModified, kRule, "U"));
  EXPECT_EQ(kRule.size(), 80u);
  EXPECT_TRUE(unit.header.ends_with(u"\r\nU\r\n"));
}

TEST_F(Header, WithoutATemplateTheFirstLineNamesWhereItWasLookedFor) {
  auto& unit = AddModule(u"uMain", u"");
  Project().navigator.currentModule = modelhost::ComPtr<modelhost::ModelModule>::Share(&unit);
  Functions().GenerateHeader();
  Functions().GenerateHeader();
  const std::string missing = "// no Headerfile found  : " + (dir / "bin" / "header.txt").string();
  EXPECT_THAT(HeaderLines(unit), ElementsAre(missing, kCreated, kModified, kRule, missing,
                                             kCreated, kModified, kRule));
}

TEST_F(Header, AnEmptyTemplateGivesJustTheGeneratedLines) {
  auto& unit = AddModule(u"uMain", u"");
  Project().navigator.currentModule = modelhost::ComPtr<modelhost::ModelModule>::Share(&unit);
  platform::WriteFileAtomically(dir / "bin" / "header.txt", "");
  Functions().GenerateHeader();
  EXPECT_THAT(HeaderLines(unit), ElementsAre(kCreated, kModified, kRule));
}

TEST_F(Header, WithoutACurrentModuleNothingChanges) {
  auto& unit = AddModule(u"uMain", u"U\r\n");
  EXPECT_THROW(Functions().GenerateHeader(), std::runtime_error);
  EXPECT_EQ(unit.header, u"U\r\n");
}

// A class TWorker with a method Run of one code section L, current.
class TryExcept : public test::CodegenTest {
 protected:
  void SetUp() override {
    test::CodegenTest::SetUp();
    worker = &AddClass(u"TWorker");
    run = &AddMember(*worker, mmapi::mcMethod, u"Run");
    run->sections = {u"L\r\n"};
    modelhost::SelectMember(Project().navigator, *run);
  }
  std::vector<std::string> Body() {
    std::u16string body;
    for (const auto& s : run->sections) body += s;
    return platform::SplitLines(ToUtf8(body));
  }
  std::vector<std::string> Fields() {
    std::vector<std::string> f;
    for (const auto& m : worker->members)
      if (m->category == mmapi::mcField)
        f.push_back(ToUtf8(m->name) + ":" + ToUtf8(m->typeName) + ":" + std::to_string(m->visibility));
    return f;
  }
  modelhost::ModelClass* worker = nullptr;
  modelhost::ModelMember* run = nullptr;
};

TEST_F(TryExcept, WrapsTheMethodInFourteenLinesAndAddsTheTemplatesFields) {
  Functions().AddTryExcept();
  EXPECT_THAT(Body(),
              ElementsAreArray(std::vector<std::string>{
                  "//=== TRY", "TRY", "L", "//===", "EXCEPT", "  on E: Exception do", "  begin",
                  "    FExMsg:='Exception in <!ClassName!>.<!MemberName!>:'+E.Message;",
                  "    if FDiagnose<>nil then", "      FDiagnose.ReportError(0,FExMsg)", "    else",
                  "      ShowMessage(FExMsg);", "  end;", "END;"}));
  EXPECT_THAT(Fields(), ElementsAre("FDiagnose:TDiagnoseZk:2", "FExMsg:String:2"));
}

TEST_F(TryExcept, ASecondRunWrapsAgainButAddsNoFieldTwice) {
  Functions().AddTryExcept();
  Functions().AddTryExcept();
  EXPECT_EQ(Body().size(), 14u + 13u);
  EXPECT_EQ(Fields().size(), 2u);
}

TEST_F(TryExcept, WithoutCreateLocalMembersOnlyTheCodeChanges) {
  settings->CreateLocalMembers = false;
  Functions().AddTryExcept();
  EXPECT_EQ(Body().size(), 14u);
  EXPECT_TRUE(Fields().empty());
}

TEST_F(TryExcept, AMemberOfTheSameNameKeepsItsFieldFromBeingAdded) {
  AddMember(*worker, mmapi::mcProperty, u"FExMsg", u"string");
  Functions().AddTryExcept();
  EXPECT_THAT(Fields(), ElementsAre("FDiagnose:TDiagnoseZk:2"));
}

TEST_F(TryExcept, AWronglyCasedVisibilityIsReportedAndTheFieldMadeDefault) {
  settings->LocalFields = "FLog,TLog,scpublic\r\n";
  Functions().AddTryExcept();
  EXPECT_THAT(Fields(), ElementsAre("FLog:TLog:0"));
  EXPECT_THAT(Messages(),
              ElementsAre("TExpertFunctions.StrToVisability : Unknown Visability \"scpublic\""));
}

TEST_F(TryExcept, AnEmptyTemplateStillInsertsTheStartLines) {
  settings->ExceptionCode = "";
  settings->LocalFields = "";
  Functions().AddTryExcept();
  EXPECT_THAT(Body(), ElementsAre("//=== TRY", "TRY", "L"));
  ASSERT_EQ(run->sections.size(), 3u);
  EXPECT_EQ(run->sections.back(), u"");
  EXPECT_TRUE(Fields().empty());
}

TEST_F(TryExcept, WithoutACurrentMethodNothingChanges) {
  Project().navigator.currentMethod = nullptr;
  EXPECT_THROW(Functions().AddTryExcept(), std::runtime_error);
  EXPECT_EQ(run->sections.size(), 1u);
}

TEST(FieldSpec, SplitsAtTheFirstTwoCommasOnly) {
  auto a = codegen::ParseFieldSpec("FExMsg,String,scPrivate");
  EXPECT_EQ(a.name + "|" + a.type + "|" + a.visibility, "FExMsg|String|scPrivate");
  auto b = codegen::ParseFieldSpec("FA,Map,scPrivate,extra");
  EXPECT_EQ(b.visibility, "scPrivate,extra");
  auto c = codegen::ParseFieldSpec("FA,scPrivate");
  EXPECT_EQ(c.name + "|" + c.type + "|" + c.visibility, "FA||scPrivate");
  auto d = codegen::ParseFieldSpec("scPrivate");
  EXPECT_EQ(d.name + "|" + d.type + "|" + d.visibility, "||scPrivate");
}

// A class TPoint with the fields FX and FY, current.
class CopyConstructor : public test::CodegenTest {
 protected:
  void SetUp() override {
    test::CodegenTest::SetUp();
    point = &AddClass(u"TPoint");
    AddMember(*point, mmapi::mcField, u"FX", u"Integer");
    AddMember(*point, mmapi::mcField, u"FY", u"Integer");
    modelhost::SelectClass(Project().navigator, *point);
  }
  const modelhost::ModelMember* Named(const std::u16string& name, int kind) {
    for (const auto& m : point->members)
      if (m->name == name && m->category == mmapi::mcMethod && m->methodKind == kind) return m.Get();
    return nullptr;
  }
  int Methods() {
    int n = 0;
    for (const auto& m : point->members) n += m->category == mmapi::mcMethod;
    return n;
  }
  modelhost::ModelClass* point = nullptr;
};

TEST_F(CopyConstructor, AddsCreateCopyingEveryFieldAndClone) {
  Functions().CreateCopyConstructorAndClone();
  const auto* create = Named(u"Create", mmapi::mkConstructor);
  const auto* clone = Named(u"Clone", mmapi::mkFunction);
  ASSERT_TRUE(create && clone);
  EXPECT_EQ(create->parameters, u"aInstance : TPoint");
  EXPECT_EQ(create->visibility, mmapi::scPublic);
  EXPECT_EQ(create->typeName, u"");
  ASSERT_EQ(create->sections.size(), 1u);
  EXPECT_EQ(ToUtf8(create->sections[0]),
            "// ToDo 5: [Dravolex] Check if a baseclase copy constructor exists!\r\n"
            "inherited Create(aInstance);\r\n\r\n// assigne all fields.....\r\n"
            "// ToDo 5: [Dravolex] Check if assignments are OK!\r\n"
            "FX := aInstance.FX;\r\nFY := aInstance.FY;\r\n");
  EXPECT_EQ(clone->typeName, u"TPoint");
  EXPECT_EQ(clone->parameters, u"");
  EXPECT_EQ(clone->visibility, mmapi::scPublic);
  EXPECT_EQ(clone->sections, std::vector<std::u16string>{u"Result:=TPoint.Create(self);\r\n"});
}

TEST_F(CopyConstructor, ASecondRunAddsNothing) {
  Functions().CreateCopyConstructorAndClone();
  const auto count = point->members.size();
  Functions().CreateCopyConstructorAndClone();
  EXPECT_EQ(point->members.size(), count);
}

TEST_F(CopyConstructor, AnExistingCloneOrCopyConstructorIsKept) {
  auto& clone = AddMember(*point, mmapi::mcMethod, u"Clone");
  clone.methodKind = mmapi::mkProcedure;
  Functions().CreateCopyConstructorAndClone();
  EXPECT_EQ(Methods(), 2);  // Clone as it was, and Create
  EXPECT_TRUE(Named(u"Create", mmapi::mkConstructor));
}

TEST_F(CopyConstructor, OnlyTheExactParameterTextCountsAsTheCopyConstructor) {
  auto& other = AddMember(*point, mmapi::mcMethod, u"Create");
  other.methodKind = mmapi::mkConstructor;
  other.parameters = u"aInstance: TPoint";
  auto& namedClone = AddMember(*point, mmapi::mcMethod, u"Clone");
  namedClone.methodKind = mmapi::mkConstructor;  // a constructor named Clone does not count
  Functions().CreateCopyConstructorAndClone();
  EXPECT_EQ(Methods(), 4);
  EXPECT_TRUE(Named(u"Clone", mmapi::mkFunction));
}

TEST_F(CopyConstructor, AClassWithoutFieldsGetsTheFiveFixedLines) {
  auto& empty = AddClass(u"TEmpty");
  modelhost::SelectClass(Project().navigator, empty);
  Functions().CreateCopyConstructorAndClone();
  ASSERT_EQ(empty.members.size(), 2u);
  EXPECT_EQ(platform::SplitLines(ToUtf8(empty.members[0]->sections[0])).size(), 5u);
}

}  // namespace
