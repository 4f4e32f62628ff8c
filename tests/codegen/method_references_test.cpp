#include <gmock/gmock.h>

#include "codegen/codegen_fixture.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;

// TApp.Start mentions Run in section 2, TWorker.Loop in section 1; TWorker.Run
// is current.
class MethodReferences : public test::CodegenTest {
 protected:
  void SetUp() override {
    test::CodegenTest::SetUp();
    auto& app = AddClass(u"TApp");
    auto& start = AddMember(app, mmapi::mcMethod, u"Start");
    start.sections = {u"begin\r\n", u"  Worker.Run;\r\n", u"  Worker.Run;\r\nend;\r\n"};
    AddMember(app, mmapi::mcField, u"FRun", u"Boolean");  // fields are never searched
    worker = &AddClass(u"TWorker");
    run = &AddMember(*worker, mmapi::mcMethod, u"Run");
    run->sections = {u"begin\r\nend;\r\n"};
    auto& loop = AddMember(*worker, mmapi::mcMethod, u"Loop");
    loop.sections = {u"while True do RunAll;\r\n"};
    modelhost::SelectMember(Project().navigator, *run);
  }
  modelhost::ModelClass* worker = nullptr;
  modelhost::ModelMember* run = nullptr;
};

TEST_F(MethodReferences, ListsEachMethodMentioningTheCurrentOneWithItsFirstSection) {
  std::vector<std::string> lines{"stale"};
  Functions().LookUpReferencingMethods(lines);
  EXPECT_THAT(lines, ElementsAre("<<TWorker.Run>>", "TApp.Start Section:2", "TWorker.Loop Section:1"));
}

TEST_F(MethodReferences, TheCurrentMethodIsListedWhenItMentionsItself) {
  run->sections.push_back(u"  Run;\r\n");
  std::vector<std::string> lines;
  Functions().LookUpReferencingMethods(lines);
  EXPECT_THAT(lines, ElementsAre("<<TWorker.Run>>", "TApp.Start Section:2", "TWorker.Run Section:2",
                                 "TWorker.Loop Section:1"));
}

TEST_F(MethodReferences, AnyTextAndTheEmptyText) {
  std::vector<std::string> lines;
  Functions().FindStringInModel(lines, "end;");
  EXPECT_THAT(lines, ElementsAre("<<end;>>", "TApp.Start Section:3", "TWorker.Run Section:1"));
  Functions().FindStringInModel(lines, "");
  EXPECT_THAT(lines, ElementsAre("<<>>"));
  Functions().FindStringInModel(lines, "runall");  // case-sensitive
  EXPECT_THAT(lines, ElementsAre("<<runall>>"));
}

// A host without the search over the whole code model (the plug-in then asks
// method by method) gives the same lines.
TEST_F(MethodReferences, AHostWithoutTheCodeSearchGivesTheSameLines) {
  for (const char* text : {"end;", "Run", "", "not there"}) {
    std::vector<std::string> searched, walked;
    Functions().FindStringInModel(searched, text);
    session.OfferSearches(false);
    Functions().FindStringInModel(walked, text);
    session.OfferSearches(true);
    EXPECT_EQ(walked, searched) << text;
  }
}

TEST_F(MethodReferences, WithoutACurrentMethodTheLookUpFails) {
  Project().navigator.currentMethod = nullptr;
  std::vector<std::string> lines;
  EXPECT_THROW(Functions().LookUpReferencingMethods(lines), std::runtime_error);
}

TEST_F(MethodReferences, AResultLineSelectsItsClassAndMember) {
  Functions().ShowReferencedMember("TApp.Start Section:2");
  EXPECT_EQ(Project().navigator.currentClass->name, u"TApp");
  EXPECT_EQ(Project().navigator.currentMember->name, u"Start");
  Functions().ShowReferencedMember("<<TWorker.Run>>");  // the title finds no class
  EXPECT_EQ(Project().navigator.currentMember->name, u"Start");
}

}  // namespace
