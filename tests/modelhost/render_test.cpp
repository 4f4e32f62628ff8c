#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "modelhost/bound_session.h"
#include "diagram_generator.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_session.h"
#include "layout.h"
#include "mmapi/cxx/utf.h"
#include "model_lookup.h"
#include "support/test_support.h"
#include "modelhost/xml_reader.h"
#include "plugin_loader.h"
#include "project_file.h"
#include "script_runner.h"
#include "sequence_text.h"
#include "svg_writer.h"
#include "words.h"

namespace {

using namespace drvx;
using namespace drvx::modelhost;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using mmapi::cxx::ToUtf8;

std::string Svg(const ModelDiagram& diagram) {
  std::ostringstream out;
  render::WriteSvg(render::LayoutDiagram(diagram), out);
  return out.str();
}

// The texts an SVG document shows, read back with an XML reader.
std::set<std::string> TextsOf(const std::string& svg) {
  const auto root = test::ParseXml(svg);
  std::vector<const test::XmlElement*> texts;
  root->Collect("text", texts);
  std::set<std::string> shown;
  for (const auto* t : texts) shown.insert(t->text);
  return shown;
}

// All texts of an SVG document in order, one blank between them (a caption
// wrapped onto several lines reads as its words).
std::string AllText(const std::string& svg) {
  const auto root = test::ParseXml(svg);
  std::vector<const test::XmlElement*> texts;
  root->Collect("text", texts);
  std::string all = " ";
  for (const auto* t : texts) all += t->text + " ";
  return all;
}

TEST(Render, EveryExampleDiagramIsWellFormedAndShowsEveryCaption) {
  const auto project = LoadProject(test::ExampleProject());
  ASSERT_EQ(project->diagrams.size(), 8u);
  for (const auto& diagram : project->diagrams) {
    std::string shown;
    ASSERT_NO_THROW(shown = AllText(Svg(*diagram))) << ToUtf8(diagram->name);
    for (const auto& shape : diagram->shapes) {
      std::string caption = ToUtf8(shape->name);
      std::replace(caption.begin(), caption.end(), '\n', ' ');
      if (caption.empty()) continue;
      EXPECT_NE(shown.find(" " + caption + " "), std::string::npos)
          << ToUtf8(diagram->name) << ": " << caption;
    }
  }
}

// A symbol that stands for a class or diagram is a place to pick it: its
// area is the symbol's rectangle and names the linked element.
TEST(Render, SymbolsOfClassesAndDiagramsAreAreasToPickThem) {
  const auto project = LoadProject(test::ExampleProject());
  std::size_t areas = 0;
  for (const auto& diagram : project->diagrams) {
    const render::DisplayList list = render::LayoutDiagram(*diagram);
    for (const render::Area& area : list.areas) {
      const ModelElement* element = project->Find(area.element);
      ASSERT_NE(element, nullptr);
      if (element->Kind() == ElementKind::Member) {  // a message calling it
        ++areas;
        continue;
      }
      EXPECT_TRUE(element->Kind() == ElementKind::Class || element->Kind() == ElementKind::Diagram);
      // The area is where a symbol of the element is drawn (its box, for one
      // drawn as a box), at least as large as the model's symbol.
      const bool box = std::any_of(list.items.begin(), list.items.end(), [&](const auto& item) {
        const auto* b = std::get_if<render::Box>(&item);
        return b && b->x == area.x && b->y == area.y && b->width == area.width &&
               b->height == area.height;
      });
      const bool symbol =
          std::any_of(diagram->symbols.begin(), diagram->symbols.end(), [&](auto* s) {
            const bool links = std::any_of(s->hyperlinks.begin(), s->hyperlinks.end(),
                                           [&](const auto& l) { return l.targetId == area.element; });
            const bool outlined = s->ClassName() != u"ActorSymbol" && s->ClassName() != u"NoteSymbol" &&
                                  s->ClassName() != u"UseCaseSymbol";
            return links && s->width <= area.width && s->height <= area.height && (box || !outlined);
          });
      EXPECT_TRUE(symbol) << ToUtf8(diagram->name) << " " << ToUtf8(element->name);
      ++areas;
    }
  }
  EXPECT_GE(areas, 3u);
}

// A class diagram of its own in `project`, and a shape of `kind` named
// `name` on it.
ModelDiagram& EmptyDiagram(ModelProject& project) {
  auto diagram = project.NewDiagram(0);
  project.AddDiagram(diagram);
  return *diagram;
}

ModelShape& AddShape(ModelProject& project, ModelDiagram& diagram, std::u16string_view kind,
                     std::u16string_view name) {
  auto shape = project.NewShape(std::u16string(kind));
  shape->name = name;
  return diagram.Adopt(shape);
}

TEST(Render, TextsAreEscapedAndComeBackUnchanged) {
  ModelProject project;
  ModelDiagram& diagram = EmptyDiagram(project);
  const std::vector<std::u16string> names = {u"<a & \"b\"> 'c'", u"Größe €", u"x]]>y", u"𝄞 clef"};
  for (const auto& name : names) AddShape(project, diagram, u"ClassSymbol", name);
  const auto shown = TextsOf(Svg(diagram));
  for (const auto& name : names) EXPECT_EQ(shown.count(ToUtf8(name)), 1u) << ToUtf8(name);
}

// XML forbids U+FFFE and U+FFFF as it forbids most control characters: a
// caption holding them still gives a well-formed picture, with U+FFFD shown.
TEST(Render, CharactersXmlForbidsAreReplaced) {
  ModelProject project;
  ModelDiagram& diagram = EmptyDiagram(project);
  AddShape(project, diagram, u"ClassSymbol", u"a\uFFFEb\uFFFFc\u0001d\uFFFDe");
  const std::string svg = Svg(diagram);
  EXPECT_EQ(svg.find("\xEF\xBF\xBE"), std::string::npos);
  EXPECT_EQ(svg.find("\xEF\xBF\xBF"), std::string::npos);
  EXPECT_EQ(TextsOf(svg).count("a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c\xEF\xBF\xBD" "d\xEF\xBF\xBD" "e"), 1u);
}

// Symbols held by symbols held by symbols: each is drawn where its parents
// put it, however deep, in time linear in their number (the benchmark
// compares it with the same symbols side by side).
TEST(Render, DeeplyNestedSymbolsAreDrawnWhereTheirParentsPutThem) {
  ModelProject project;
  auto diagram = project.NewDiagram(0);
  project.AddDiagram(diagram);
  constexpr int kDepth = 100000;
  mmapi::cxx::ComPtr<ModelShape> parent;
  for (int i = 0; i < kDepth; ++i) {
    auto shape = project.NewShape(u"ClassSymbol");
    shape->x = 1;
    shape->y = 2;
    shape->width = 10;
    shape->height = 10;
    shape->parent = parent;
    diagram->Adopt(shape);
    parent = shape;
  }
  const render::DisplayList list = render::LayoutDiagram(*diagram);
  const auto& last = std::get<render::Box>(list.items.back());
  EXPECT_EQ(last.x, kDepth * 1.0);
  EXPECT_EQ(last.y, kDepth * 2.0);
}

TEST(Render, AShapeOfAnUnknownClassIsALabelledBox) {
  ModelProject project;
  ModelDiagram& diagram = EmptyDiagram(project);
  AddShape(project, diagram, u"Gizmo", u"Thing");
  const render::DisplayList list = render::LayoutDiagram(diagram);
  ASSERT_EQ(list.items.size(), 3u);
  EXPECT_TRUE(std::holds_alternative<render::Box>(list.items[0]));
  EXPECT_EQ(std::get<render::Text>(list.items[1]).text, "\xC2\xAB" "Gizmo\xC2\xBB");
  EXPECT_EQ(std::get<render::Text>(list.items[2]).text, "Thing");
}

TEST(Render, ActivationTextsGiveTheirPairs) {
  using P = std::pair<int, int>;
  EXPECT_THAT(render::ActivationPairs(u"(35,45)(110,120)"), ElementsAre(P{35, 45}, P{110, 120}));
  EXPECT_THAT(render::ActivationPairs(u"(1,x)(9,3)(-5,5)(7,"), ElementsAre(P{-5, 5}));
  EXPECT_TRUE(render::ActivationPairs(u"").empty());
}

// The generator's example A, B.x, B.y, A.z drawn by the plug-in's generator.
class SequenceExample : public test::BoundSession {
 protected:
  void SetUp() override {
    BoundSession::SetUp();
    ASSERT_GT(sequence::TDiagramGenerator(host::Services::Of(session.Services())).GenSqDg("sqTest", {"A", "B.x", "B.y", "A.z"}), 0);
  }
  const ModelDiagram& Diagram() { return *session.Project().diagrams.back(); }
};

TEST_F(SequenceExample, ArrowsStandAtTheirTimesAndBarsAtTheStoredPairs) {
  const render::DisplayList list = render::LayoutDiagram(Diagram());
  const double top = 50;  // below the heads
  std::vector<std::vector<double>> arrows;  // the y of each point of each arrow
  std::vector<std::pair<double, double>> bars;  // x and y of each activation bar
  for (const auto& item : list.items) {
    if (const auto* line = std::get_if<render::Line>(&item); line && line->head != render::Head::None) {
      std::vector<double> ys;
      for (const auto& p : line->points) ys.push_back(p.y - top);
      arrows.push_back(ys);
    }
    if (const auto* box = std::get_if<render::Box>(&item); box && box->width == 10)
      bars.push_back({box->y - top, box->y - top + box->height});
  }
  EXPECT_THAT(arrows, ElementsAre(ElementsAre(40, 40), ElementsAre(65, 65, 90, 90),
                                  ElementsAre(115, 115)));
  using P = std::pair<double, double>;
  EXPECT_THAT(bars, ElementsAre(P{35, 45}, P{110, 120}, P{35, 70}, P{85, 120}));
  const auto shown = TextsOf(Svg(Diagram()));
  for (const char* caption : {"A", "B", "x", "y", "z"}) EXPECT_EQ(shown.count(caption), 1u);
}

TEST_F(SequenceExample, PlantUmlAndMermaidTexts) {
  // B's bars (35,70) and (85,120) hold no message between them: the
  // clients refuse a lifeline closed and opened again with none, so the
  // texts keep B open.
  EXPECT_THAT(render::PlantUmlParts(Diagram()),
              ElementsAre("@startuml\ntitle sqTest\nactor \"A\" as P0\nactor \"B\" as P1\n"
                          "activate P0\nactivate P1\nP0 -> P1 : x\ndeactivate P0\nP1 -> P1 : y\n"
                          "activate P0\nP1 -> P0 : z\ndeactivate P0\ndeactivate P1\n@enduml\n"));
  EXPECT_THAT(render::MermaidParts(Diagram()),
              ElementsAre("sequenceDiagram\n    title sqTest\n    actor P0 as A\n    actor P1 as B\n"
                          "    activate P0\n    activate P1\n    P0->>P1: x\n    deactivate P0\n"
                          "    P1->>P1: y\n    activate P0\n    P1->>P0: z\n    deactivate P0\n"
                          "    deactivate P1\n"));
}

// Model text never reaches a client's preprocessor, includes, links or
// directives, wherever it stands: title, participant or message.
TEST(SequenceText, ModelTextCannotFormDirectivesIncludesOrLinks) {
  HostSession session;
  host::HostBinding binding(session.Services());
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  ASSERT_GT(sequence::TDiagramGenerator(host::Services::Of(session.Services())).GenSqDg(
                "%getenv(\"HOME\") !include /etc/passwd",
                {"A", "!include /etc/passwd.%getenv(\"HOME\")", "%dirpath().[[http://x]]",
                 "B.%%{init: {\"themeCSS\": \"g {fill: red}\"}}%%", "B.!define X %date()"}),
            0);
  platform::SetDialogs(nullptr);
  const ModelDiagram& diagram = *session.Project().diagrams.back();
  std::ostringstream plantUml;
  render::WritePlantUml(diagram, plantUml);
  const std::string mermaid = render::MermaidParts(diagram).at(0);
  // PlantUML's preprocessor reads '%' and '!' anywhere, and "[[" is a link.
  for (const char* door : {"%", "!", "[["})
    EXPECT_EQ(plantUml.str().find(door), std::string::npos) << door << " in\n" << plantUml.str();
  // Mermaid reads "%%" as a comment and "%%{...}%%" as a directive.
  EXPECT_EQ(mermaid.find('%'), std::string::npos) << mermaid;
  EXPECT_THAT(plantUml.str(), HasSubstr("\"&#33;include /etc/passwd\" as P1\n"));
  EXPECT_THAT(mermaid, HasSubstr("title #37;getenv(#34;HOME#34;) !include /etc/passwd\n"));
}

TEST(SequenceText, NeedsLifelines) {
  ModelProject project;
  auto diagram = project.NewDiagram(0);
  project.AddDiagram(diagram);
  std::ostringstream out;
  EXPECT_THROW(render::WritePlantUml(*diagram, out), std::invalid_argument);
}

// Printing a diagram, as a plug-in asks the host to: its picture goes into
// the running print job, beside the text pages.
TEST(RenderCommands, PrintingADiagramPutsItsPictureIntoThePrintJob) {
  test::TempDir dir;
  HostSession session;
  PluginLoader loader(session, [](const std::string&) {});
  platform::ScriptedDialogs dialogs;
  platform::TextPrinter printer;
  printer.SetFolder(dir.Path());
  platform::SetPrinter(&printer);
  std::ostringstream out, err;
  ScriptRunner runner({session, loader, dialogs, out, err});
  ASSERT_TRUE(runner.RunLine("open " + QuoteWord(test::ExampleProject().string()), "t"));
  ASSERT_EQ(modelhost::FindDiagram(session.Project(), "csInventory").Print(), mmapi::MM_OK);
  printer.BeginJob("Dravolex");
  ASSERT_EQ(modelhost::FindDiagram(session.Project(), "csOrders").Print(), mmapi::MM_OK);
  printer.EndJob();
  platform::SetPrinter(nullptr);
  ASSERT_EQ(printer.Jobs().size(), 2u);
  EXPECT_EQ(printer.Jobs()[0].title, "csInventory");
  ASSERT_EQ(printer.Jobs()[1].pictures.size(), 1u);
  EXPECT_EQ(printer.Jobs()[1].pictures[0].file, dir / "print-2-1.svg");
  EXPECT_EQ(TextsOf(test::ReadText(dir / "print-2-1.svg")).count("TOrder"), 1u);
  ASSERT_TRUE(runner.RunLine("render-all " + QuoteWord((dir / "all").string()), "t"));
  EXPECT_TRUE(std::filesystem::exists(dir / "all" / "sqProcessOrder.svg"));
  EXPECT_TRUE(std::filesystem::exists(dir / "all" / "Customer management.svg"));
  ASSERT_TRUE(runner.RunLine("export-mermaid sqProcessOrder " + QuoteWord((dir / "s.mmd").string()), "t"));
  EXPECT_THAT(test::ReadText(dir / "s.mmd"), HasSubstr("sequenceDiagram\n"));
  EXPECT_FALSE(runner.RunLine("export-plantuml csOrders " + QuoteWord((dir / "c.puml").string()), "t"));
  EXPECT_THAT(err.str(), HasSubstr("the diagram csOrders has no lifelines"));
}

}  // namespace

namespace {

// A diagram whose name is too long for a file name is drawn under a
// shortened one, unique among the others, and the diagrams after it are
// drawn too.
TEST(RenderCommands, RenderAllShortensNamesTooLongForAFile) {
  test::TempDir dir;
  HostSession session;
  PluginLoader loader(session, [](const std::string&) {});
  platform::ScriptedDialogs dialogs;
  std::ostringstream out, err;
  ScriptRunner runner({session, loader, dialogs, out, err});
  ASSERT_TRUE(runner.RunLine("open " + QuoteWord(test::ExampleProject().string()), "t"));
  for (const std::u16string& name :
       {std::u16string(300, u'L'), std::u16string(300, u'L'), std::u16string(120, u'\u00E9'),
        std::u16string(u"zzAfter")}) {
    auto diagram = session.Project().NewDiagram(0);
    diagram->name = name;
    session.Project().AddDiagram(diagram);
  }
  ASSERT_TRUE(runner.RunLine("render-all " + QuoteWord((dir / "all").string()), "t")) << err.str();
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "all")) {
    const std::string name = entry.path().filename().string();
    EXPECT_LE(name.size(), 255u) << name;
    EXPECT_TRUE(mmapi::cxx::IsWellFormedUtf8(name)) << name;
    files.insert(name);
  }
  EXPECT_EQ(files.size(), session.Project().diagrams.size());
  EXPECT_EQ(files.count("zzAfter.svg"), 1u);
}

}  // namespace
