#include "diagrams/explorer_fixture.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;

class References : public test::ExplorerTest {};

TEST_F(References, ADiagramYieldsOneEntryForItsFirstLinkingSymbol) {
  auto& order = Class(u"TOrder");
  modelhost::SelectClass(Project().navigator, order);
  auto& d = Diagram(u"csOrders");
  Symbol(d, u"unrelated");
  Link(Symbol(d, u"first"), mmapi::hkClass, order);
  Link(Symbol(d, u"second"), mmapi::hkClass, order);
  Link(Symbol(Diagram(u"csOther"), u"third"), mmapi::hkClass, order);
  explorer->GetCurrentClassReferences(result, symbols);
  EXPECT_THAT(result, ElementsAre("csOrders", "csOther"));
  EXPECT_THAT(symbols, ElementsAre("first", "third"));
  EXPECT_EQ(explorer->Selection()[0]->DiagramId, d.ElementId());
  EXPECT_EQ(explorer->Selection()[0]->Symbol.Name(), "first");
}

TEST_F(References, NamesAreComparedNotIdentities) {
  auto& order = Class(u"TOrder");
  auto& twin = Class(u"TOrder");  // another class of the same name
  auto& other = Class(u"TOther");
  modelhost::SelectClass(Project().navigator, order);
  Link(Symbol(Diagram(u"a"), u"s"), mmapi::hkClass, twin);
  auto& b = Symbol(Diagram(u"b"), u"s");
  Link(b, mmapi::hkClass, other, u"TOrder");  // named right, points to another class
  Link(Symbol(Diagram(u"c"), u"s"), mmapi::hkClass, order, u"torder");  // case differs
  explorer->GetCurrentClassReferences(result, symbols);
  EXPECT_THAT(result, ElementsAre("a"));
}

// The plug-in finds references with one search of the host's, or, when the
// host has none, link by link; both compare the names' 8-bit forms, where a
// name with a lone surrogate and one with U+FFFD are the same.
TEST_F(References, WithAndWithoutTheHostsSearchTheSameDiagramsAreFound) {
  auto& odd = Class(u"T\uFFFD");
  auto& order = Class(u"TOrder");
  auto& run = Member(order, u"Run");
  auto& main = Diagram(u"csMain");
  Link(Symbol(Diagram(u"a"), u"s"), mmapi::hkClass, odd, std::u16string(u"T") + char16_t(0xD800));
  auto& b = Diagram(u"b");
  Symbol(b, u"first");
  Link(Symbol(b, u"second"), mmapi::hkClass, order, u"TOther");
  Link(Symbol(b, u"third"), mmapi::hkClass, order);
  Link(Symbol(b, u"fourth"), mmapi::hkMember, run);
  Link(Symbol(b, u"fifth"), mmapi::hkDiagram, main);
  Link(Symbol(Diagram(u"c"), u"s"), mmapi::hkClass, order, u"T\u00d6rder");
  auto search = [&](auto get) {
    get(result, symbols);
    std::vector<std::string> found = result;
    found.insert(found.end(), symbols.begin(), symbols.end());
    session.OfferSearches(false);
    get(result, symbols);
    session.OfferSearches(true);
    found.insert(found.end(), result.begin(), result.end());
    found.insert(found.end(), symbols.begin(), symbols.end());
    return found;
  };
  modelhost::SelectClass(Project().navigator, odd);
  EXPECT_THAT(search([&](auto& r, auto& s) { explorer->GetCurrentClassReferences(r, s); }),
              ElementsAre("a", "s", "a", "s"));
  modelhost::SelectClass(Project().navigator, order);
  EXPECT_THAT(search([&](auto& r, auto& s) { explorer->GetCurrentClassReferences(r, s); }),
              ElementsAre("b", "third", "b", "third"));
  modelhost::SelectMember(Project().navigator, run);
  EXPECT_THAT(search([&](auto& r, auto& s) { explorer->GetCurrentMemberReferences(r, s); }),
              ElementsAre("b", "fourth", "b", "fourth"));
  Project().navigator.currentDiagram = modelhost::ComPtr<modelhost::ModelDiagram>::Share(&main);
  EXPECT_THAT(search([&](auto& r, auto& s) { explorer->GetCurrentDiagramReferences(r, s); }),
              ElementsAre("b", "fifth", "b", "fifth"));
}

TEST_F(References, TheMemberSearchWantsAMemberOfAClassNamedLikeTheCurrentClass) {
  auto& worker = Class(u"TWorker");
  auto& app = Class(u"TApp");
  auto& run = Member(worker, u"Run");
  auto& appRun = Member(app, u"Run");
  modelhost::SelectMember(Project().navigator, run);
  auto& s = Symbol(Diagram(u"sqOne"), u"lifeline");
  Link(s, mmapi::hkMember, appRun);  // member of another class: goes on with the next link
  Link(s, mmapi::hkMember, run);
  Link(Symbol(Diagram(u"sqTwo"), u"x"), mmapi::hkMember, appRun);
  explorer->GetCurrentMemberReferences(result, symbols);
  EXPECT_THAT(result, ElementsAre("sqOne"));
  EXPECT_THAT(symbols, ElementsAre("lifeline"));
}

TEST_F(References, TheDiagramSearchFindsDiagramLinksNamedLikeTheCurrentDiagram) {
  auto& main = Diagram(u"csMain");
  Project().navigator.currentDiagram = modelhost::ComPtr<modelhost::ModelDiagram>::Share(&main);
  Link(Symbol(main, u"self"), mmapi::hkDiagram, main);
  auto& user = Diagram(u"csUser");
  Link(Symbol(user, u"one"), mmapi::hkDiagram, main);
  Link(Symbol(user, u"two"), mmapi::hkDiagram, main);
  Link(Symbol(Diagram(u"csClassLink"), u"c"), mmapi::hkClass, Class(u"csMain"));
  explorer->GetCurrentDiagramReferences(result, symbols);
  EXPECT_THAT(result, ElementsAre("csMain", "csUser"));
  EXPECT_THAT(symbols, ElementsAre("self", "one"));
}

TEST_F(References, WithNothingCurrentOrNoLinksTheListsAreEmpty) {
  Link(Symbol(Diagram(u"a"), u"s"), mmapi::hkClass, Class(u"TOrder"));
  result = {"old"};
  symbols = {"old"};
  explorer->GetCurrentClassReferences(result, symbols);
  EXPECT_TRUE(result.empty());
  EXPECT_TRUE(symbols.empty());
  EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(References, AFailingWalkKeepsWhatItFoundButLeavesTheListsAlone) {
  auto& order = Class(u"TOrder");
  modelhost::SelectClass(Project().navigator, order);
  for (auto* name : {u"a", u"b", u"c"}) Link(Symbol(Diagram(name), u"s"), mmapi::hkClass, order);
  modelhost::PlanFault({"Shapes", "the diagram is locked", 1, 1});
  result = {"previous"};
  explorer->GetCurrentClassReferences(result, symbols);
  EXPECT_EQ(explorer->Selection().size(), 1u);
  EXPECT_THAT(result, ElementsAre("previous"));
  EXPECT_THAT(Messages(), ElementsAre("Exception in TMMDiagramExplorer.LocateDiagramReferences:"
                                      "the diagram is locked"));
}

TEST_F(References, AFailingPredicateIsReportedAndTheWalkGoesOn) {
  auto& order = Class(u"TOrder");
  modelhost::SelectClass(Project().navigator, order);
  auto& s = Symbol(Diagram(u"a"), u"s");
  Link(s, mmapi::hkClass, order);
  Link(s, mmapi::hkClass, order);
  modelhost::PlanFault({"Target", "no target today", 0, 1});
  explorer->GetCurrentClassReferences(result, symbols);
  EXPECT_THAT(result, ElementsAre("a"));  // found through the second link
  EXPECT_THAT(Messages(), ElementsAre("Exception in TMMDiagramExplorer.IsCurClass:no target today"));
}

TEST_F(References, EverySearchReplacesTheLastOne) {
  auto& order = Class(u"TOrder");
  modelhost::SelectClass(Project().navigator, order);
  Link(Symbol(Diagram(u"a"), u"s"), mmapi::hkClass, order);
  explorer->GetCurrentClassReferences(result, symbols);
  explorer->GetCurrentMemberReferences(result, symbols);
  EXPECT_TRUE(result.empty());
  EXPECT_TRUE(explorer->Selection().empty());
}

}  // namespace
