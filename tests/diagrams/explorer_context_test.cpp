#include "diagrams/explorer_fixture.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;

class Context : public test::ExplorerTest {};

TEST_F(Context, NothingCurrentGivesEmptyNamesAndNoMessage) {
  EXPECT_EQ(explorer->GetCurClassName(), "");
  EXPECT_EQ(explorer->GetCurDiagramName(), "");
  EXPECT_EQ(explorer->GetCurMemberName(), "");
  EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(Context, TheCurrentMemberIsNamedPlainlyWhateverClassIsCurrent) {
  auto& worker = Class(u"TWorker");
  auto& app = Class(u"TApp");
  auto& run = Member(worker, u"Run");
  modelhost::SelectMember(Project().navigator, run);
  modelhost::SelectClass(Project().navigator, app);
  Project().navigator.currentMember = modelhost::ComPtr<modelhost::ModelMember>::Share(&run);
  EXPECT_EQ(explorer->GetCurClassName(), "TApp");
  EXPECT_EQ(explorer->GetCurMemberName(), "Run");
}

TEST_F(Context, AHostFailureIsReportedWithThePrefixAndGivesAnEmptyName) {
  Project().navigator.currentDiagram =
      modelhost::ComPtr<modelhost::ModelDiagram>::Share(&Diagram(u"csMain"));
  modelhost::PlanFault({"Name", "the host lost the name", 0, 1});
  EXPECT_EQ(explorer->GetCurDiagramName(), "");
  EXPECT_THAT(Messages(), ElementsAre("Exception in TMMDiagramExplorer.GetCurDiagramName:"
                                      "the host lost the name"));
  EXPECT_EQ(explorer->ExMsg(), Messages()[0]);
}

TEST_F(Context, FindDiagramTakesTheFirstOfExactlyThatName) {
  Diagram(u"Main ");
  auto& first = Diagram(u"Main");
  Diagram(u"main");
  Diagram(u"Main");
  EXPECT_EQ(explorer->FindDiagram("Main").Id(), first.ElementId());
  EXPECT_FALSE(explorer->FindDiagram("MAIN"));
  explorer->GoToDiagramByName("Main");
  EXPECT_EQ(Project().navigator.currentDiagram.Get(), &first);
  explorer->GoToDiagramByName("Nothing");
  EXPECT_EQ(Project().navigator.currentDiagram.Get(), &first);
  diagrams::Lines names{"stale"};
  explorer->GetDiagramNames(names);
  EXPECT_THAT(names, ElementsAre("Main ", "Main", "main", "Main"));
  EXPECT_EQ(explorer->GetDiagramCount(), 4);
}

TEST_F(Context, AModelWithoutDiagrams) {
  diagrams::Lines names{"stale"};
  explorer->GetDiagramNames(names);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(explorer->GetDiagramCount(), 0);
  EXPECT_FALSE(explorer->FindDiagram(""));
}

TEST_F(Context, SelectionEntriesOutsideTheListAreIgnoredQuietly) {
  auto& cls = Class(u"TApp");
  modelhost::SelectClass(Project().navigator, cls);
  for (auto* name : {u"a", u"b", u"c"}) Link(Symbol(Diagram(name), u"S"), mmapi::hkClass, cls);
  explorer->GetCurrentClassReferences(result, symbols);
  ASSERT_EQ(explorer->Selection().size(), 3u);
  EXPECT_EQ(explorer->GetDiagramName(5), "");
  explorer->GoToDiagram(5);
  EXPECT_EQ(Project().navigator.currentDiagram.Get(), nullptr);
  explorer->GoToDiagram(0);
  EXPECT_EQ(Project().navigator.currentDiagram->name, u"a");
  EXPECT_EQ(Project().navigator.view, mmapi::MMViewDiagrams);
  Project().diagrams[0]->name = u"renamed";
  EXPECT_EQ(explorer->GetDiagramName(0), "a");  // the name when found
  EXPECT_TRUE(dialogs.Shown().empty());
  explorer->ClearDiagramSelection();
  EXPECT_TRUE(explorer->Selection().empty());
}

}  // namespace
