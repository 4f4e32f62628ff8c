#include "diagrams/explorer_fixture.h"
#include "drvx/platform/ansi_text.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class Documentation : public test::ExplorerTest {
 protected:
  diagrams::Lines Doc(const std::string& name) {
    diagrams::Lines lines;
    host::Diagram d;
    explorer->GetDiagramDoc(name, lines, d);
    return lines;
  }
};

TEST_F(Documentation, AnEmptyDiagramIsItsTitleAndUnderline) {
  Diagram(u"Main");
  EXPECT_THAT(Doc("Main"), ElementsAre("Diagram : Main", std::string(14, '='), "", ""));
}

TEST_F(Documentation, SymbolsWithTheirOneLinersAndDocumentation) {
  auto& d = Diagram(u"csShop");
  auto& order = Symbol(d, u"TOrder");
  order.documentation = u"An order.\r\nOf a customer.";
  auto& line = Symbol(d, u"TLine");
  line.oneLiner = u"One product";
  Symbol(d, u"TEmpty");
  explorer->OneLiner = true;
  EXPECT_THAT(Doc("csShop"),
              ElementsAreArray(std::vector<std::string>{
                  "Diagram : csShop", std::string(16, '='), "", "", "TOrder", "------",
                  "An order.\r\nOf a customer.", "", "", "TLine", "-----", "{{ OneLiner:",
                  "One product", "}}", "", ""}));
  explorer->OneLiner = false;  // empty symbols are listed again, one-liners are not
  EXPECT_THAT(Doc("csShop"),
              ElementsAreArray(std::vector<std::string>{
                  "Diagram : csShop", std::string(16, '='), "", "", "TOrder", "------",
                  "An order.\r\nOf a customer.", "", "", "TLine", "-----", "", "", "TEmpty",
                  "------", "", ""}));
}

TEST_F(Documentation, AssociationsOfAClassDiagramShowTheirRolesAndQualifiers) {
  auto& d = Diagram(u"csShop");
  auto& a = Symbol(d, u"A");
  a.properties[u"InstanceName"] = u"a";
  auto& b = Symbol(d, u"");
  b.properties[u"InstanceName"] = u"b";
  auto& assoc = Association(d, a, b, u"owns");
  assoc.properties = {{u"SourceRole", u"Owner"}, {u"TargetQualifier", u"0..*"},
                      {u"Condition", u"not on class diagrams"}};
  assoc.oneLiner = u"A owns b";
  assoc.documentation = u"Ownership.";
  explorer->OneLiner = true;
  const auto lines = Doc("csShop");
  const std::vector<std::string> tail(lines.end() - 10, lines.end());
  EXPECT_THAT(tail, ElementsAreArray(std::vector<std::string>{
                        "Association :A.a->b", std::string(19, '-'), "Name             : owns",
                        "SourceRole       : Owner", "TargetQualifier  : 0..*",
                        "OneLiner         : A owns b", "Documentation    :", "Ownership.", "",
                        ""}));
}

TEST_F(Documentation, EachDiagramKindShowsItsOwnProperties) {
  auto& seq = Diagram(u"sqRun", 6);
  auto& x = Symbol(seq, u"X");
  auto& m = Association(seq, x, x, u"Run");
  m.properties = {{u"Condition", u"ok"},     {u"Parameters", u"a"}, {u"MessageKind", u"mkCall"},
                  {u"Guard", u"[not here]"}, {u"Category", u""}};
  diagrams::Lines block;
  explorer->AssociationDoc(host::DiagramKind::Interaction, host::Association(host::ComPtr<mmapi::IMMAssociation>::Share(&m)),
                           block);
  // A caption with an empty instance name still takes its full stop.
  EXPECT_THAT(block, ElementsAre("Association :X.->X.", std::string(19, '-'), "Name             : Run",
                                 "Condition        : ok", "Parameter        : a",
                                 "MessageKind      : mkCall"));
  explorer->AssociationDoc(host::DiagramKind::StateMachine, host::Association(host::ComPtr<mmapi::IMMAssociation>::Share(&m)),
                           block);
  EXPECT_EQ(block.size(), 3u);
  m.properties = {{u"Guard", u"[g]"}, {u"EventLabel", u"e"}, {u"ActionExpression", u"act"},
                  {u"Parameters", u"p"}, {u"Category", u"c"}};
  explorer->AssociationDoc(host::DiagramKind::Activity, host::Association(host::ComPtr<mmapi::IMMAssociation>::Share(&m)),
                           block);
  EXPECT_THAT(block, ElementsAre("Association :X.->X.", std::string(19, '-'), "Name             : Run",
                                 "Parameter        : p", "Category         : c",
                                 "ActionExpression : act", "EventLabel       : e",
                                 "Guard            : [g]"));
}

TEST_F(Documentation, TheReportHasADateLineAndReportsMissingDiagrams) {
  Diagram(u"Main");
  diagrams::Lines lines{"stale"};
  explorer->ExtractDocumentation({}, lines);
  EXPECT_THAT(lines, ElementsAre("Date :08.04.2006 09:21:00", "", ""));
  explorer->ExtractDocumentation({"Gone", "Main"}, lines);
  EXPECT_THAT(lines, ElementsAre("Date :08.04.2006 09:21:00", "", "", "Diagram not found : Gone",
                                 "Diagram : Main", std::string(14, '='), "", ""));
}

TEST_F(Documentation, UnderlinesCountCharactersNotBytes) {
  Diagram(u"Gr\u00F6\u00DFe");
  EXPECT_EQ(Doc(platform::AnsiFromUtf16(u"Gr\u00F6\u00DFe"))[1], std::string(15, '='));
}

TEST_F(Documentation, PrintingPaginatesOnTheMarginsOfThePaper) {
  diagrams::Lines lines;
  for (int i = 0; i < 130; ++i) lines.push_back("line " + std::to_string(i));
  explorer->PrintLines(lines);
  ASSERT_EQ(printer.Jobs().size(), 1u);
  const auto& job = printer.Jobs()[0];
  EXPECT_EQ(job.font, "Courier New 10");
  ASSERT_EQ(job.pages.size(), 3u);
  // 96 dpi with 12 units of offset: the text starts 60 units in and down,
  // that is row 3, column 7; a page holds 63 lines.
  EXPECT_EQ(job.pages[0][3], std::string(7, ' ') + "line 0");
  EXPECT_EQ(job.pages[1][3], std::string(7, ' ') + "line 63");
  EXPECT_EQ(job.pages[2][3], std::string(7, ' ') + "line 126");
  EXPECT_FALSE(printer.InJob());
}

TEST_F(Documentation, EachDiagramIsAPrintJobOfItsOwnAfterTheHostsPrint) {
  Diagram(u"A");
  Diagram(u"B");
  explorer->PrintDocumentation({"A", "B"}, true);
  EXPECT_THAT(printedDiagrams, ElementsAre(u"A", u"B"));
  ASSERT_EQ(printer.Jobs().size(), 2u);
  EXPECT_EQ(printer.Jobs()[1].pages[0][3], std::string(7, ' ') + "Date :08.04.2006 09:21:00");
  explorer->PrintDocumentation({"A"}, false);
  EXPECT_EQ(printedDiagrams.size(), 2u);
}

TEST_F(Documentation, TheCurrentDiagramIsPrintedWithItsOneLiners) {
  auto& d = Diagram(u"csMain");
  Symbol(d, u"S").oneLiner = u"short";
  Project().navigator.currentDiagram = modelhost::ComPtr<modelhost::ModelDiagram>::Share(&d);
  explorer->PrintCurrentDiagramWithDocumentation();
  EXPECT_THAT(printedDiagrams, ElementsAre(u"csMain"));
  const auto& page = printer.Jobs().at(0).pages.at(0);
  EXPECT_EQ(page[3], std::string(7, ' ') + "Diagram : csMain");
  EXPECT_EQ(page[9], std::string(7, ' ') + "{{ OneLiner:");
}

TEST_F(Documentation, AFailingPrintStillEndsTheJob) {
  Diagram(u"A");
  modelhost::PlanFault({"Kind", "cannot read", 0, 1});
  EXPECT_THROW(explorer->PrintDocumentation({"A"}, false), std::exception);
  EXPECT_FALSE(printer.InJob());
}

}  // namespace
