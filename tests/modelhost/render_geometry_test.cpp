// The pictures' geometry, computed from the display list and the font's
// metrics: texts inside their boxes, boxes apart, captions clear of each
// other, large pictures in pages; and the exports' parts within the clients'
// rules and limits.
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "modelhost/bound_session.h"
#include "diagram_generator.h"
#include "layout.h"
#include "mmapi/cxx/utf.h"
#include "modelhost/xml_reader.h"
#include "pages.h"
#include "project_file.h"
#include "sequence_text.h"
#include "support/test_support.h"
#include "text_metrics.h"

namespace {

using namespace drvx;
using namespace drvx::modelhost;
using render::Box;
using render::Extent;
using mmapi::cxx::ToUtf8;

// Names and captions that the clients' markup, preprocessors and parsers
// would read as their own.
const std::vector<std::string> kHostile = {
    ":", ";", "#", "<>", "-->", "\"", "'", "{}", "[]", "|", "\\", "&", "%", "~", "__x__",
    "--x--", "**x**", "//x//", "\"\"m\"\"", "<b>", "<br>", "\\n", "$$x$$", "%getenv(\"HOME\")",
    "!include /etc/passwd", "[[x]]", "end", "loop", "alt", "participant", "wrap:x",
    "Gr\xC3\xBC\xC3\x9F" "e, \xE6\x9D\xB1\xE4\xBA\xAC", std::string(120, 'x')};

// A project with sequence diagrams drawn by the plug-in's generator.
class Generated : public test::BoundSession {
 protected:
  const ModelDiagram& Generate(const std::string& name, const std::vector<std::string>& calls) {
    EXPECT_GT(sequence::TDiagramGenerator(host::Services::Of(session.Services())).GenSqDg(name, calls), 0);
    return *session.Project().diagrams.back();
  }
  // Every hostile text as a class called and as the method called on it.
  const ModelDiagram& Hostile() {
    std::vector<std::string> calls{"Caller"};
    for (const std::string& text : kHostile) calls.push_back(text + "." + text);
    return Generate("hostile", calls);
  }
  // `count` calls going round three classes.
  const ModelDiagram& Many(int count) {
    std::vector<std::string> calls{"TClient"};
    const char* classes[] = {"TServer", "TStore", "TLog"};
    for (int i = 0; i < count; ++i) calls.push_back(std::string(classes[i % 3]) + ".Step" + std::to_string(i));
    return Generate("many", calls);
  }
};

bool Inside(const Extent& inner, const Box& b) {
  constexpr double kSlack = 0.01;
  return inner.left >= b.x - kSlack && inner.right <= b.x + b.width + kSlack &&
         inner.top >= b.y - kSlack && inner.bottom <= b.y + b.height + kSlack;
}

bool Overlap(const Extent& a, const Extent& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// What is wrong with a picture: a text in a box that runs out of it, two
// outlined boxes that overlap without one holding the other, two captions
// on each other, or a line drawn over a caption.
std::vector<std::string> Faults(const render::DisplayList& list) {
  std::vector<std::string> faults;
  std::vector<Box> boxes;
  std::vector<Extent> captions;
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    const render::Item& item = list.items[i];
    if (const auto* b = std::get_if<Box>(&item)) {
      if (b->stroke == render::Stroke::None) {
        for (const Extent& other : captions)
          if (Overlap(other, render::ExtentOf(item)))
            faults.push_back("captions overlap near " + std::to_string(int(b->x)) + "," + std::to_string(int(b->y)));
        captions.push_back(render::ExtentOf(item));
        continue;
      }
      for (const Box& other : boxes) {
        const Extent e = render::ExtentOf(other);
        const bool nested = Inside(e, *b) || Inside(render::ExtentOf(item), other);
        if (Overlap(e, render::ExtentOf(item)) && !nested)
          faults.push_back("boxes overlap at " + std::to_string(int(b->x)) + "," + std::to_string(int(b->y)));
      }
      boxes.push_back(*b);
    }
    if (const auto* t = std::get_if<render::Text>(&item)) {
      const bool caption = i > 0 && std::holds_alternative<Box>(list.items[i - 1]) &&
                           std::get<Box>(list.items[i - 1]).stroke == render::Stroke::None;
      if (caption) continue;
      // The smallest box that holds where the text starts holds all of it.
      const Box* holder = nullptr;
      for (const Box& b : boxes)
        if (t->x >= b.x && t->x <= b.x + b.width && t->y >= b.y && t->y <= b.y + b.height &&
            (!holder || b.width * b.height < holder->width * holder->height))
          holder = &b;
      if (holder && !Inside(render::ExtentOf(item), *holder)) faults.push_back("\"" + t->text + "\" runs out of its box");
    }
    if (std::holds_alternative<render::Line>(item))
      for (const Extent& c : captions)
        if (Overlap(c, render::ExtentOf(item))) faults.push_back("a line crosses a caption");
  }
  return faults;
}

TEST_F(Generated, ExampleAndHostilePicturesKeepTextsInBoxesAndCaptionsApart) {
  const auto example = LoadProject(test::ExampleProject());
  for (const auto& diagram : example->diagrams)
    EXPECT_THAT(Faults(render::LayoutDiagram(*diagram)), ::testing::IsEmpty()) << ToUtf8(diagram->name);
  for (const ModelDiagram* diagram : {&Hostile(), &Many(300)})
    EXPECT_THAT(Faults(render::LayoutDiagram(*diagram)), ::testing::IsEmpty()) << ToUtf8(diagram->name);
}

// However close the model puts lifelines, heads and captions get room.
TEST_F(Generated, LifelinesMakeRoomForHeadsAndCaptionsWhereverTheModelPutsThem) {
  ModelDiagram& d = const_cast<ModelDiagram&>(Hostile());
  for (ModelShape* s : d.symbols) s->x = 0;  // every head on the first
  const render::DisplayList list = render::LayoutDiagram(d);
  EXPECT_THAT(Faults(list), ::testing::IsEmpty());
  std::set<std::string> heads;
  for (const auto& item : list.items)
    if (const auto* t = std::get_if<render::Text>(&item); t && t->size == 12) heads.insert(t->text);
  EXPECT_EQ(heads.size(), kHostile.size() + 1);
}

// A picture taller than viewers open comes as pages: each within the limit,
// each below the first repeating the heads, and every caption on a page.
TEST_F(Generated, TallPicturesArePagedWithTheHeadsOnEveryPage) {
  const render::DisplayList list = render::LayoutDiagram(Many(2000));
  ASSERT_GT(list.height, render::kPageLimit);
  const auto pages = render::PagesOf(list, render::kPageLimit, render::kPageLimit);
  ASSERT_GE(pages.size(), 3u);
  std::multiset<std::string> shown;
  for (const render::Page& page : pages) {
    std::ostringstream svg;
    render::WriteSvgPage(list, page, svg);
    const auto root = test::ParseXml(svg.str());
    EXPECT_LE(std::stod(root->attributes.at("height")), render::kPageLimit);
    std::vector<const test::XmlElement*> texts;
    root->Collect("text", texts);
    std::set<std::string> onPage;
    for (const auto* t : texts) onPage.insert(t->text);
    for (const char* head : {"TClient", "TServer", "TStore", "TLog"}) EXPECT_EQ(onPage.count(head), 1u);
    for (const auto& text : onPage)
      if (text.rfind("Step", 0) == 0) shown.insert(text);
  }
  for (int i = 0; i < 2000; i += 97) EXPECT_EQ(shown.count("Step" + std::to_string(i)), 1u) << i;
}

// A part's lines, checked as the clients read them: activations balanced and
// never closed and opened (or opened and closed) with no message between,
// every participant declared, messages counted.
int CheckPart(const std::string& part, const std::regex& activation, const std::regex& message,
              const std::regex& participant, std::size_t roles) {
  std::istringstream lines(part);
  std::map<std::string, int> depth;
  std::map<std::string, std::string> lastSinceMessage;  // role -> "activate"/"deactivate"
  std::set<std::string> declared;
  int messages = 0;
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (std::regex_match(line, m, participant)) declared.insert(m[1]);
    if (std::regex_match(line, m, message)) ++messages, lastSinceMessage.clear();
    if (!std::regex_match(line, m, activation)) continue;
    const std::string what = m[1], role = m[2];
    EXPECT_FALSE(lastSinceMessage.count(role) && lastSinceMessage[role] != what) << line << " in\n" << part;
    lastSinceMessage[role] = what;
    depth[role] += what == "activate" ? 1 : -1;
    EXPECT_GE(depth[role], 0) << line;
  }
  for (const auto& [role, open] : depth) EXPECT_EQ(open, 0) << role;
  EXPECT_EQ(declared.size(), roles);
  return messages;
}

TEST_F(Generated, LargeDiagramsExportInPartsWithinTheClientsRules) {
  const ModelDiagram& d = Many(2000);
  const auto plantUml = render::PlantUmlParts(d);
  const auto mermaid = render::MermaidParts(d);
  ASSERT_GT(mermaid.size(), 1u);
  ASSERT_GT(plantUml.size(), 1u);
  int plantUmlMessages = 0, mermaidMessages = 0;
  for (const std::string& part : plantUml) {
    const int n = CheckPart(part, std::regex("(activate|deactivate) (P[0-9]+)"),
                            std::regex("P[0-9]+ -> P[0-9]+ : .*"),
                            std::regex("(?:participant|actor) \".*\" as (P[0-9]+)"), 4);
    EXPECT_LE(std::size_t(n), render::kPlantUmlPartMessages);
    plantUmlMessages += n;
  }
  for (const std::string& part : mermaid) {
    EXPECT_LE(part.size(), render::kMermaidPartCharacters);
    mermaidMessages += CheckPart(part, std::regex(" *(activate|deactivate) (P[0-9]+)"),
                                 std::regex(" *P[0-9]+->>P[0-9]+: .*"),
                                 std::regex(" *(?:participant|actor) (P[0-9]+) as .*"), 4);
  }
  EXPECT_EQ(plantUmlMessages, 2000);
  EXPECT_EQ(mermaidMessages, 2000);
  EXPECT_THAT(plantUml[1], ::testing::HasSubstr("title many (2/"));
}

// No creole, escape, variable or Mermaid markup survives in a caption.
TEST_F(Generated, CaptionsCarryNoMarkupOfEitherClient) {
  const ModelDiagram& d = Hostile();
  std::ostringstream plantUml;
  render::WritePlantUml(d, plantUml);
  std::istringstream lines(plantUml.str());
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(" : ");
    if (colon == std::string::npos) continue;
    const std::string caption = line.substr(colon + 3);
    for (const char* mark : {"--", "__", "**", "//", "\"", "~", "\\", "$", "%", "!", "[", "<b", "<i"})
      EXPECT_EQ(caption.find(mark), std::string::npos) << mark << " in " << line;
  }
  const std::string mermaid = render::MermaidParts(d).at(0);
  std::istringstream mermaidLines(mermaid);
  for (std::string line; std::getline(mermaidLines, line);) {
    const auto colon = line.find(": ");
    const std::string raw = colon != std::string::npos ? line.substr(colon + 2)
                            : line.find(" as ") != std::string::npos ? line.substr(line.find(" as ") + 4) : "";
    const std::string text = std::regex_replace(raw, std::regex("#[0-9]+;"), "");  // entities
    for (const char c : std::string("%;<>&\"[]$:,-{}")) EXPECT_EQ(text.find(c), std::string::npos) << c << " in " << line;
  }
}

// The widths are the font's: a wide letter is wider than a narrow one, bold
// wider than regular, and a character the font lacks still takes room.
TEST(TextMetrics, WidthsAreTheFontsAdvances) {
  EXPECT_NEAR(render::TextWidth("i", 2048), 569, 0.5);  // DejaVu Sans: 569 units of 2048
  EXPECT_NEAR(render::TextWidth("A", 2048, {true}), 1585, 0.5);
  EXPECT_GT(render::TextWidth("WWW", 10), render::TextWidth("iii", 10));
  EXPECT_NEAR(render::TextWidth("\xE6\x9D\xB1", 10), 10, 0.01);  // not in the font: an em
  EXPECT_GT(render::TextWidth("\xFF", 10), 0);                    // not UTF-8: one character
}

}  // namespace
