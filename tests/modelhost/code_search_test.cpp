// The host's searches over the whole code model: they answer what the
// method-by-method and class-by-class walks answer, in one call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host_session.h"
#include "mmapi/cxx/utf.h"
#include "support/test_support.h"
#include "project_file.h"

namespace {

using namespace drvx::modelhost;
using mmapi::cxx::ComPtr;
using ::testing::ElementsAre;

std::vector<std::uint32_t> Offsets(const CodeArena& arena, std::u16string_view text) {
  std::vector<std::uint32_t> offsets;
  for (const CodeArena::Place& place : arena.FindAll(text)) offsets.push_back(place.offset);
  return offsets;
}

TEST(CodeArena, FindsEveryPlaceATextStartsAndNoOther) {
  CodeArena arena;
  arena.Add(u"Run RunAll aaa");
  EXPECT_THAT(Offsets(arena, u"Run"), ElementsAre(0, 4));
  EXPECT_THAT(Offsets(arena, u"aa"), ElementsAre(11, 12));
  EXPECT_THAT(Offsets(arena, u"run"), ElementsAre());
  EXPECT_THAT(Offsets(arena, u""), ElementsAre());
  EXPECT_THAT(Offsets(arena, u"Run RunAll aaa!"), ElementsAre());
  // Characters that share their low byte (U+0141 and 'A') are told apart,
  // and a character's high byte is never taken for a low one.
  CodeArena wide;
  wide.Add(u"AB\u0141B\u4100A");
  EXPECT_THAT(Offsets(wide, u"\u0141B"), ElementsAre(2));
  EXPECT_THAT(Offsets(wide, u"AB"), ElementsAre(0));
  EXPECT_THAT(Offsets(wide, u"A"), ElementsAre(0, 5));
}

TEST(CodeArena, TextNeverMovesSoViewsOutliveLaterAdditions) {
  CodeArena arena;
  const CodeArena::Span first = arena.Add(u"first");
  const std::u16string_view view = arena.Text(first);
  const std::u16string large(300 * 1024, u'x');  // more than a chunk: a chunk of its own
  const CodeArena::Span big = arena.Add(large);
  for (int i = 0; i < 2000; ++i) arena.Add(std::u16string(200, u'y'));
  EXPECT_EQ(view, u"first");
  EXPECT_EQ(arena.Text(big), large);
  EXPECT_EQ(arena.FindAll(u"xy").size(), 0u);  // a search never joins two chunks
  EXPECT_EQ(arena.Text(arena.Add(u"")), u"");
}

class CodeSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    session.ReplaceProject(LoadProject(drvx::test::ExampleProject()));
    ComPtr<mmapi::IMMCodeModel> model;
    ASSERT_EQ(session.Services()->CodeModel(model.Put()), mmapi::MM_OK);
    ASSERT_EQ(model->QueryInterface(mmapi::IMMCodeSearch::IID, search.PutVoid()), mmapi::MM_OK);
  }

  // Class index, member index, section of each method the host's search finds.
  std::vector<std::int32_t> Searched(std::u16string_view text) {
    mmapi::MMInt32View view{};
    EXPECT_EQ(search->FindInMethodCode(text.data(), std::uint32_t(text.size()), &view),
              mmapi::MM_OK);
    return {view.data, view.data + view.count};
  }
  // The same, asking each method of the model in turn.
  std::vector<std::int32_t> Walked(std::u16string_view text) {
    std::vector<std::int32_t> hits;
    const auto& classes = session.Project().classes;
    for (std::size_t c = 0; c < classes.size(); ++c)
      for (std::size_t m = 0; m < classes[c]->members.size(); ++m) {
        ModelMember& member = *classes[c]->members[m];
        if (member.category != mmapi::mcMethod) continue;
        std::int32_t section = 0;
        EXPECT_EQ(member.FindInSections(text.data(), std::uint32_t(text.size()), &section),
                  mmapi::MM_OK);
        if (section) hits.insert(hits.end(), {std::int32_t(c), std::int32_t(m), section});
      }
    return hits;
  }

  HostSession session;
  ComPtr<mmapi::IMMCodeSearch> search;
};

TEST_F(CodeSearch, FindsWhatAskingEachMethodFinds) {
  for (std::u16string_view text :
       {u"Reserve", u"begin", u"E", u";\r\nend", u"FLines.Count", u"not in any code", u""}) {
    EXPECT_EQ(Searched(text), Walked(text)) << mmapi::cxx::ToUtf8(text);
  }
  EXPECT_FALSE(Searched(u"begin").empty());
  EXPECT_TRUE(Searched(u"").empty());
}

TEST_F(CodeSearch, ListsEachMethodOnceWithItsFirstSectionInModelOrder) {
  ModelProject& project = session.Project();
  auto cls = project.NewClass();
  cls->name = u"TSearched";
  auto twice = project.NewMember(mmapi::mcMethod);
  twice->sections = {u"a", u"needle", u"needle"};
  cls->Adopt(twice);
  auto once = project.NewMember(mmapi::mcMethod);
  once->sections = {u"needle"};
  cls->Adopt(once);
  // Not hits: a text made only by joining two sections, and text a section
  // held before it was replaced.
  auto split = project.NewMember(mmapi::mcMethod);
  split->sections = {u"nee", u"dle"};
  cls->Adopt(split);
  auto replaced = project.NewMember(mmapi::mcMethod);
  replaced->sections = {u"needle"};
  replaced->sections = {u"thread"};
  cls->Adopt(replaced);
  auto field = project.NewMember(mmapi::mcField);  // never searched, whatever it holds
  field->sections = {u"needle"};
  cls->Adopt(field);
  project.AddClass(cls);
  const auto last = std::int32_t(project.classes.size() - 1);
  EXPECT_THAT(Searched(u"needle"), ElementsAre(last, 0, 2, last, 1, 1));
}

TEST_F(CodeSearch, TheClassNamedIsTheFirstOfThatNameExactly) {
  ModelProject& project = session.Project();
  auto twin = project.NewClass();
  twin->name = u"TStock";  // a second class of the same name, later in the model
  project.AddClass(twin);
  ComPtr<mmapi::IMMClass> found;
  ASSERT_EQ(search->ClassNamed(u"TStock", 6, found.Put()), mmapi::MM_OK);
  ASSERT_TRUE(found);
  std::int32_t id = 0;
  ASSERT_EQ(found->Id(&id), mmapi::MM_OK);
  EXPECT_NE(id, twin->ElementId());
  EXPECT_EQ(project.Find(id), project.ClassNamed(u"TStock"));
  ASSERT_EQ(search->ClassNamed(u"tstock", 6, found.Put()), mmapi::MM_OK);
  EXPECT_FALSE(found);
  ASSERT_EQ(search->ClassNamed(nullptr, 0, found.Put()), mmapi::MM_OK);
  EXPECT_FALSE(found);
}

// The diagram manager's search: links named exactly so, and links whose name
// has a character beyond ASCII, as diagram, shape and link index.
TEST(DiagramSearch, FindsTheLinksNamedSoAndThoseBeyondAsciiInModelOrder) {
  HostSession session;
  ModelProject& project = session.Project();
  auto cls = project.NewClass();
  cls->name = u"TOrder";
  project.AddClass(cls);
  for (const auto& names : std::vector<std::vector<std::u16string>>{
           {u"TOrder", u"torder", u"TOrders"}, {u"x", u"T\u00d6rder", u"TOrder"}}) {
    auto diagram = project.NewDiagram(0);
    auto shape = project.NewShape(u"ClassSymbol");
    diagram->Adopt(project.NewShape(u"Note"));
    ModelShape& linked = diagram->Adopt(shape);
    for (const auto& name : names)
      linked.hyperlinks.Append(mmapi::hkClass, cls->ElementId(), name);
    project.AddDiagram(diagram);
  }
  ComPtr<mmapi::IMMDiagramManager> manager;
  ASSERT_EQ(session.Services()->DiagramManager(manager.Put()), mmapi::MM_OK);
  ComPtr<mmapi::IMMDiagramSearch> search;
  ASSERT_EQ(manager->QueryInterface(mmapi::IMMDiagramSearch::IID, search.PutVoid()), mmapi::MM_OK);
  mmapi::MMInt32View view{};
  ASSERT_EQ(search->HyperlinksNamed(u"TOrder", 6, &view), mmapi::MM_OK);
  const auto first = std::int32_t(project.diagrams.size() - 2);
  EXPECT_THAT(std::vector<std::int32_t>(view.data, view.data + view.count),
              ElementsAre(first, 1, 0, first + 1, 1, 1, first + 1, 1, 2));
  session.OfferSearches(false);
  EXPECT_EQ(manager->QueryInterface(mmapi::IMMDiagramSearch::IID, search.PutVoid()),
            mmapi::MM_E_NOINTERFACE);
}

}  // namespace
