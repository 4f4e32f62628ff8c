#include <atomic>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "mmapi/cxx/utf.h"
#include "model_lookup.h"
#include "project_file.h"
#include "support/synthetic_project.h"

namespace {

using namespace drvx;
using modelhost::LoadProject;
using modelhost::ProjectFileError;

TEST(ProjectFile, TheExampleProjectLoadsWithItsNavigator) {
  auto project = LoadProject(test::ExampleProject());
  EXPECT_EQ(project->modules.size(), 4u);
  EXPECT_EQ(project->classes.size(), 12u);
  EXPECT_EQ(project->diagrams.size(), 8u);
  EXPECT_EQ(project->navigator.currentClass->name, u"TOrder");
  EXPECT_EQ(project->navigator.currentMethod->name, u"Submit");
  EXPECT_EQ(project->fileName, test::ExampleProject());
  EXPECT_EQ(modelhost::FindMember(*project, "TStock.Reserve").sections.size(), 2u);
}

TEST(ProjectFile, SavingAndLoadingGivesBackTheSameProject) {
  test::TempDir dir;
  auto project = LoadProject(test::ExampleProject());
  const std::string first = modelhost::FormatProject(*project);
  modelhost::SaveProject(*project, dir / "copy.mmproj");
  EXPECT_EQ(project->fileName, dir / "copy.mmproj");
  auto again = LoadProject(dir / "copy.mmproj");
  EXPECT_EQ(modelhost::FormatProject(*again), first);
  EXPECT_EQ(test::ReadText(dir / "copy.mmproj"), first);
}

// Every kind of element and field the synthetic benchmark project has:
// documentation, one-liners, associations, hyperlinks, code.
TEST(ProjectFile, ASyntheticProjectSavedLoadedAndSavedAgainGivesTheSameText) {
  bench::ProjectSize size;
  size.classes = 60;
  size.diagrams = 30;
  size.symbolsPerDiagram = 12;
  size.documentedDiagrams = 5;
  size.associationsPerDiagram = 4;
  auto project = bench::MakeSyntheticProject(size);
  test::TempDir dir;
  modelhost::SaveProject(*project, dir / "synthetic.mmproj");
  const std::string first = test::ReadText(dir / "synthetic.mmproj");
  auto again = LoadProject(dir / "synthetic.mmproj");
  EXPECT_EQ(modelhost::FormatProject(*again), first);
}

// A link may leave out its name; it takes its target's, and is saved with it.
TEST(ProjectFile, AHyperlinkWithoutANameTakesItsTargets) {
  const std::string text = R"({"format": "dravolex-project", "version": 1,
    "classes": [{"id": 1, "name": "TOrder"}],
    "diagrams": [{"id": 2, "kind": 0, "name": "csOrders", "shapes": [{"id": 3, "class": "ClassSymbol",
      "hyperlinks": [{"kind": "diagram", "target": 2}, {"kind": "class", "target": 1, "name": "own"},
                     {"kind": "class", "target": 1}]}]}]})";
  auto project = modelhost::ParseProject(text, "p");
  const auto& links = project->diagrams.at(0)->shapes.at(0)->hyperlinks;
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].name, u"csOrders");
  EXPECT_EQ(links[1].name, u"own");
  EXPECT_EQ(links[2].name, u"TOrder");
  EXPECT_EQ(links[2].targetId, 1);
  const std::string saved = modelhost::FormatProject(*project);
  std::size_t named = 0;  // the class and its link
  for (auto at = saved.find("\"TOrder\""); at != std::string::npos; at = saved.find("\"TOrder\"", at + 1))
    ++named;
  EXPECT_EQ(named, 2u) << saved;
}

TEST(ProjectFile, ElementsMadeThroughTheHostAreSavedToo) {
  auto project = LoadProject(test::ExampleProject());
  auto diagram = project->NewDiagram(6);
  diagram->name = u"sqNew";
  auto role = project->NewShape(u"rolesymbol");
  role->activations = u"(35,45)";
  role->hyperlinks.Append(0, project->classes[0]->ElementId(), u"TAddress");
  diagram->Adopt(role);
  project->AddDiagram(diagram);
  auto copy = modelhost::ParseProject(modelhost::FormatProject(*project), "memory");
  ASSERT_EQ(copy->diagrams.size(), 9u);
  const auto& shape = *copy->diagrams.back()->shapes.at(0);
  EXPECT_EQ(shape.activations, u"(35,45)");
  EXPECT_EQ(shape.hyperlinks[0].name, u"TAddress");
  EXPECT_GT(diagram->ElementId(), 0);
}

struct BadFile {
  const char* file;
  const char* message;  // expected after "<path>: "
  friend void PrintTo(const BadFile& f, std::ostream* os) { *os << f.file; }
};

class BadProjectFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadProjectFile, IsRefusedWithThePlaceOfTheFault) {
  const auto path = test::Fixture(GetParam().file);
  try {
    LoadProject(path);
    FAIL() << "loading " << path << " should fail";
  } catch (const ProjectFileError& e) {
    EXPECT_EQ(std::string(e.what()), path.string() + ": " + GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadProjectFile,
    ::testing::Values(
        BadFile{"syntax_error.mmproj",
                "parse error at line 5, column 31: syntax error while parsing object key - "
                "unexpected '}'; expected string literal"},
        BadFile{"wrong_type.mmproj", "classes[0].members[1].sections[1]: expected a string"},
        BadFile{"duplicate_id.mmproj", "diagrams[0].shapes[1].id: the id 2 is used twice"},
        BadFile{"dangling_hyperlink.mmproj",
                "diagrams[0].shapes[0].hyperlinks[1].target: no diagram has the id 77"},
        BadFile{"unknown_visibility.mmproj",
                "classes[0].members[0].visibility: \"scPublik\" is not one of \"scDefault\", "
                "\"scStrictPrivate\", \"scPrivate\", \"scStrictProtected\", \"scProtected\", "
                "\"scPublic\", \"scPublished\", \"scAutomated\""},
        BadFile{"association_without_target.mmproj",
                "diagrams[0].shapes[1]: an association needs both \"source\" and \"target\""},
        BadFile{"newer_version.mmproj",
                "version: version 2 is not supported (this host reads version 1)"},
        BadFile{"misspelt_field.mmproj", "modules[0].nmae: unknown field"},
        BadFile{"duplicate_field.mmproj", "classes[0]: the field \"name\" is given twice"},
        BadFile{"huge_id.mmproj",
                "modules[0].id: the number 1.8446744073709552e+19 does not fit in 32 bits"}),
    [](const auto& info) {
      std::string name = info.param.file;
      return name.substr(0, name.find('.'));
    });

TEST(ProjectFile, AFolderIsNoProject) {
  test::TempDir dir;
  try {
    LoadProject(dir.Path());
    FAIL();
  } catch (const ProjectFileError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("is a folder, not a file"));
  }
}

TEST(ProjectFile, ShapesMayOnlyReferToEarlierSymbolsOfTheirDiagram) {
  const std::string text = R"({"format": "dravolex-project", "version": 1, "diagrams": [
    {"id": 1, "kind": 0, "name": "a", "shapes": [{"id": 2, "class": "ClassSymbol"}]},
    {"id": 3, "kind": 0, "name": "b", "shapes": [{"id": 4, "class": "Note", "parent": 2}]}]})";
  EXPECT_THROW(
      {
        try {
          modelhost::ParseProject(text, "two.mmproj");
        } catch (const ProjectFileError& e) {
          EXPECT_STREQ(e.what(), "two.mmproj: diagrams[1].shapes[0].parent: shape 2 is not a "
                                 "symbol listed before it on this diagram");
          throw;
        }
      },
      ProjectFileError);
}

TEST(ProjectFile, NumbersOutside32BitsAndNegativeIdsAreRefused) {
  EXPECT_THROW(modelhost::ParseProject(
                   R"({"format":"dravolex-project","version":1,"modules":[{"id":4294967296,"name":"m"}]})",
                   "big"),
               ProjectFileError);
  EXPECT_THROW(modelhost::ParseProject(
                   R"({"format":"dravolex-project","version":1,"modules":[{"id":-3,"name":"m"}]})",
                   "negative"),
               ProjectFileError);
  EXPECT_THROW(modelhost::ParseProject("[1, 2]", "array"), ProjectFileError);
  EXPECT_THROW(modelhost::ParseProject("", "empty"), ProjectFileError);
}

// A number with a fraction or an exponent is no identifier, whatever its
// value; a NUL byte after the document is trailing text like any other, in
// a file as in a text.
TEST(ProjectFile, IdentifiersAreWholeNumbersAndNothingFollowsTheDocument) {
  const std::string head = R"({"format":"dravolex-project","version":1,"modules":[{"id":)";
  for (const char* id : {"1E3", "1.0", "1000000.0", "2e0"}) {
    try {
      modelhost::ParseProject(head + id + R"(,"name":"m"}]})", "p");
      ADD_FAILURE() << id << " was taken as an identifier";
    } catch (const ProjectFileError& e) {
      EXPECT_THAT(e.what(), ::testing::HasSubstr("modules[0].id: the number")) << id;
      EXPECT_THAT(e.what(), ::testing::HasSubstr("is not a whole number")) << id;
    }
  }
  const std::string document = head + R"(1,"name":"m"}]})";
  for (const std::string& tail : {std::string(1, '\0'), std::string("\0junk", 5), std::string(" x")}) {
    EXPECT_THROW(modelhost::ParseProject(document + tail, "p"), ProjectFileError);
    test::TempDir dir;
    test::WriteText(dir / "p.mmproj", document + tail);
    EXPECT_THROW(LoadProject(dir / "p.mmproj"), ProjectFileError);
  }
  EXPECT_NO_THROW(modelhost::ParseProject(document + " \n", "p"));
}

// A file rewritten in place while it is read is refused, never loaded as a
// mix of the old and the new text.
TEST(ProjectFile, AFileRewrittenWhileItIsReadIsNeverLoadedAsAMix) {
  test::TempDir dir;
  auto text = [](char16_t letter, int count) {
    modelhost::ModelProject project;
    for (int i = 0; i < count; ++i) {
      auto module = project.NewModule();
      module->name = std::u16string(60, letter);
      project.AddModule(module);
    }
    return modelhost::FormatProject(project);
  };
  const std::string a = text(u'a', 20000), b = text(u'b', 20000);
  const auto file = dir / "p.mmproj";
  test::WriteText(file, a);
  std::atomic<bool> done = false;
  std::thread writer([&] {
    // A pause longer than a tick of the file system's clock between rewrites.
    for (int i = 0; !done; ++i) {
      test::WriteText(file, i % 2 ? a : b);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  int mixed = 0, refused = 0;
  for (int load = 0; load < 40; ++load) {
    try {
      const auto project = LoadProject(file);
      const char16_t first = project->modules.front()->name[0];
      for (const auto& m : project->modules) mixed += m->name[0] != first;
    } catch (const ProjectFileError& e) {
      ++refused;
    }
  }
  done = true;
  writer.join();
  EXPECT_EQ(mixed, 0) << "modules of the other text in a loaded project (" << refused
                      << " of 40 loads refused)";
}

TEST(ProjectFile, AMissingFileIsAProjectFileError) {
  test::TempDir dir;
  EXPECT_THROW(LoadProject(dir / "none.mmproj"), ProjectFileError);
}

TEST(ProjectFile, AFailedSaveKeepsTheOldFile) {
  test::TempDir dir;
  auto project = LoadProject(test::ExampleProject());
  std::filesystem::create_directory(dir / "taken.mmproj");
  EXPECT_THROW(modelhost::SaveProject(*project, dir / "taken.mmproj"), std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.mmproj"));
  EXPECT_EQ(project->fileName, test::ExampleProject());
}

}  // namespace
