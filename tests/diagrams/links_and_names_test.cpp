#include "diagrams/explorer_fixture.h"
#include "expert_settings.h"
#include "support/test_support.h"
#include "name_style.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;

class Links : public test::ExplorerTest {
 protected:
  // Three diagrams found by a class search, and the diagram to draw on.
  void FindThree() {
    auto& cls = Class(u"TApp");
    modelhost::SelectClass(Project().navigator, cls);
    for (auto* name : {u"a", u"b", u"c"}) Link(Symbol(Diagram(name), u"s"), mmapi::hkClass, cls);
    explorer->GetCurrentClassReferences(result, symbols);
  }
  modelhost::ModelDiagram& Target() {
    auto& d = Diagram(u"csTarget");
    Project().navigator.currentDiagram = modelhost::ComPtr<modelhost::ModelDiagram>::Share(&d);
    return d;
  }
};

TEST_F(Links, AnEmptySelectionGivesAnEmptyPackage) {
  auto& target = Target();
  explorer->AddLink();
  ASSERT_EQ(target.shapes.size(), 1u);
  const auto& package = *target.shapes[0];
  EXPECT_EQ(package.ClassName(), u"PackageSymbol");
  EXPECT_EQ(package.name, u"called by:");
  EXPECT_EQ(package.x, 20);
  EXPECT_EQ(package.y, 20);
  EXPECT_EQ(package.width, 200);
  EXPECT_EQ(package.height, 30);
  EXPECT_EQ(target.appliedChanges, 1);
}

TEST_F(Links, EachFoundDiagramGetsALinkInAColumn) {
  FindThree();
  Project().diagrams[1]->name = u"b renamed";  // linked by identifier all the same
  auto& target = Target();
  explorer->AddLink();
  ASSERT_EQ(target.shapes.size(), 4u);
  EXPECT_EQ(target.shapes[0]->height, 90);
  for (int i = 0; i < 3; ++i) {
    const auto& link = *target.shapes[std::size_t(i) + 1];
    EXPECT_EQ(link.ClassName(), u"DiagramLink");
    EXPECT_EQ(link.parent.Get(), target.shapes[0].Get());
    EXPECT_EQ(link.x, 10);
    EXPECT_EQ(link.y, 30 + 20 * i);
    EXPECT_EQ(link.width, modelhost::ModelShape::kDefaultWidth);
    ASSERT_EQ(link.hyperlinks.size(), 1u);
    EXPECT_EQ(link.hyperlinks[0].kind, mmapi::hkDiagram);
    EXPECT_EQ(link.hyperlinks[0].targetId, Project().diagrams[std::size_t(i)]->ElementId());
  }
  EXPECT_EQ(target.shapes[2]->hyperlinks[0].name, u"b renamed");
  EXPECT_EQ(target.appliedChanges, 4);
  EXPECT_EQ(explorer->Selection().size(), 3u);
}

TEST_F(Links, WithoutACurrentDiagramNothingIsCreated) {
  explorer->AddLink();
  EXPECT_THAT(Messages(), ElementsAre("Exception in TMMDiagramExplorer.AddLink:no diagram is "
                                      "current to add the links to"));
}

TEST_F(Links, AFailureHalfWayKeepsWhatWasCreated) {
  FindThree();
  auto& target = Target();
  modelhost::PlanFault({"CreateSymbol", "diagram is full", 2, 1});
  explorer->AddLink();
  EXPECT_EQ(target.shapes.size(), 2u);
  EXPECT_THAT(Messages(), ElementsAre("Exception in TMMDiagramExplorer.AddLink:diagram is full"));
}

class Names : public test::ExplorerTest {
 protected:
  std::u16string Validated(const std::u16string& name, int kind = 0) {
    auto& d = Diagram(name, kind);
    explorer->ValidateDiagramNames();
    return d.name;
  }
};

TEST_F(Names, WordsAreJoinedAndThePrefixPutInFront) {
  EXPECT_EQ(Validated(u"Order processing"), u"csOrderProcessing");
  EXPECT_EQ(Validated(u"CSCustomer"), u"csCSCustomer");
  EXPECT_EQ(Validated(u"Maincs"), u"csMaincs");
  EXPECT_EQ(Validated(u"Main "), u"csMain");
  EXPECT_EQ(Validated(u" "), u"cs");
  EXPECT_EQ(Validated(u"place order", 5), u"ucplaceOrder");
  EXPECT_EQ(Validated(u"my package", 1), u"my package");
}

TEST_F(Names, ANameInTheHouseStyleIsNotWritten) {
  auto& d = Diagram(u"csCustomer");
  modelhost::PlanFault({"SetName", "must not be called", 0, 1});
  explorer->ValidateDiagramNames();
  EXPECT_EQ(d.name, u"csCustomer");
  EXPECT_FALSE(modelhost::PlannedFaults().empty());
}

TEST_F(Names, ARunOverHouseStyleNamesChangesNothing) {
  Diagram(u"Order processing");
  Diagram(u"the flow", 7);  // the first letter is never changed
  explorer->ValidateDiagramNames();
  explorer->ValidateDiagramNames();
  EXPECT_EQ(Project().diagrams[0]->name, u"csOrderProcessing");
  EXPECT_EQ(Project().diagrams[1]->name, u"actheFlow");
}

TEST_F(Names, TheSettingsPrefixesApplyAndAnEmptyOneOnlyJoinsWords) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "bin");
  settings::TExpertSettings settings(dir / "bin" / "dravolex-host");
  settings.ClassDiagramPrefix = "";
  settings.StateDiagramPrefix = "state_";
  diagrams::TMMDiagramExplorer withSettings(host::Services::Of(session.Services()), &settings);
  auto& a = Diagram(u"order flow");
  auto& b = Diagram(u"Order", 10);
  withSettings.ValidateDiagramNames();
  EXPECT_EQ(a.name, u"orderFlow");
  EXPECT_EQ(b.name, u"state_Order");
}

TEST_F(Names, ARefusedRenameEndsThePassKeepingEarlierNames) {
  auto& a = Diagram(u"first one");
  auto& b = Diagram(u"second");
  modelhost::PlanFault({"SetName", "read only", 2, 1});
  EXPECT_THROW(explorer->ValidateDiagramNames(), std::exception);
  EXPECT_EQ(a.name, u"csfirstOne");
  EXPECT_EQ(b.name, u"second");
}

TEST(JoinFirstWord, OnlyALetterAToZIsCapitalised) {
  EXPECT_EQ(diagrams::JoinFirstWord("a b"), "aB");
  EXPECT_EQ(diagrams::JoinFirstWord("a 1b"), "a1b");
  EXPECT_EQ(diagrams::JoinFirstWord("a  b"), "a b");
  EXPECT_EQ(diagrams::JoinFirstWord("a \xC3\xA9t\xC3\xA9"), "a\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(diagrams::JoinFirstWord("none"), "none");
}

}  // namespace
