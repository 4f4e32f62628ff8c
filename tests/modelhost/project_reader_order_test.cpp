// The reader sees a project's text once, from the first byte to the last,
// and still answers as if it had read the whole file before looking at any
// element: a fault of the text anywhere comes before a fault of an element,
// an unknown top-level field before both, and elements are read modules
// first, then classes, then diagrams, then the hyperlinks' targets, then the
// navigator, in whatever order the file lists them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "project_file.h"

namespace {

using drvx::modelhost::LoadProject;
using drvx::modelhost::ParseProject;
using drvx::modelhost::ProjectFileError;

std::string FaultOf(const std::string& text) {
  try {
    ParseProject(text, "p");
  } catch (const ProjectFileError& e) {
    return e.what();
  }
  return "(loaded)";
}

// The same from a file, which is read in pieces as it is parsed.
std::string FaultOfFile(const std::string& text) {
  drvx::test::TempDir dir;
  const auto path = dir / "p.mmproj";
  drvx::test::WriteText(path, text);
  try {
    LoadProject(path);
  } catch (const ProjectFileError& e) {
    std::string what = e.what();
    return what.starts_with(path.string()) ? "p" + what.substr(path.string().size()) : what;
  }
  return "(loaded)";
}

struct Case {
  const char* name;
  std::string text;
  const char* fault;  // after "p: "
  friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

const std::string kHead = R"({"format": "dravolex-project", "version": 1, )";

// A note whose properties are k0..k(n-1), then the given ones.
std::string ManyProperties(int n, const std::string& more) {
  std::string props;
  for (int i = 0; i < n; ++i) props += "\"k" + std::to_string(i) + "\": \"v\", ";
  return kHead + R"("diagrams": [{"id": 1, "kind": 0, "name": "d", "shapes": [{"id": 2, "class": "Note", )" +
         R"("properties": {)" + props + more + "}}]}]}";
}

class ReaderPrecedence : public ::testing::TestWithParam<Case> {};

TEST_P(ReaderPrecedence, TheFaultReportedIsTheOneAWholeFileReadingFindsFirst) {
  EXPECT_EQ(FaultOf(GetParam().text), std::string("p: ") + GetParam().fault);
  EXPECT_EQ(FaultOfFile(GetParam().text), std::string("p: ") + GetParam().fault);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReaderPrecedence,
    ::testing::Values(
        Case{"SyntaxAfterABadModule", kHead + R"("modules": [{"id": 1}], "classes": [}]})",
             "parse error at line 1, column 82: syntax error while parsing value - unexpected '}'; "
             "expected '[', '{', or a literal"},
        Case{"DuplicateAfterABadModule",
             kHead + R"("modules": [{"id": 1}], "classes": [{"id": 2, "name": "a", "name": "b"}]})",
             "classes[0]: the field \"name\" is given twice"},
        Case{"UnknownTopFieldAfterABadModule", kHead + R"("modules": [{"id": 1}], "zzz": 1})",
             "zzz: unknown field"},
        Case{"BadFormatAfterTheModules",
             R"({"version": 1, "modules": [{"id": 1}], "format": "other"})",
             "format: expected \"dravolex-project\""},
        Case{"ModulesThatAreNoList", kHead + R"("modules": {"id": 1}})",
             "modules: expected an array, found an object"},
        Case{"ClassesReadBeforeDiagramsListedFirst",
             kHead + R"("diagrams": [{"id": 1}], "classes": [{"id": 2}]})",
             "classes[0]: the field \"name\" is missing"},
        Case{"TheFirstUnknownFieldByName",
             kHead + R"("modules": [{"id": 1, "name": "m", "zz": 1, "aa": 2}]})",
             "modules[0].aa: unknown field"},
        Case{"TheFirstBadPropertyByName",
             kHead + R"("diagrams": [{"id": 1, "kind": 0, "name": "d", "shapes": [)"
                     R"({"id": 2, "class": "Note", "properties": {"b": 1, "a": true}}]}]})",
             "diagrams[0].shapes[0].properties.a: expected a string, found a boolean"},
        Case{"AnEmptyPropertyName",
             kHead + R"("diagrams": [{"id": 1, "kind": 0, "name": "d", "shapes": [)"
                     R"({"id": 2, "class": "Note", "properties": {"b": 1, "": "x"}}]}]})",
             "diagrams[0].shapes[0].properties: a property name is empty"},
        Case{"LinksBeforeTheNavigator",
             kHead + R"("navigator": {"class": 99}, "diagrams": [{"id": 1, "kind": 0, "name": "d",)"
                     R"( "shapes": [{"id": 2, "class": "Note", "hyperlinks": [{"kind": "class",)"
                     R"( "target": 98}]}]}]})",
             "diagrams[0].shapes[0].hyperlinks[0].target: no class has the id 98"},
        Case{"TheNavigatorLast", kHead + R"("navigator": {"class": 99}, "modules": []})",
             "navigator.class: no class has the id 99"},
        Case{"ADuplicateDeepInALink",
             kHead + R"("diagrams": [{"id": 1, "kind": 0, "name": "d", "shapes": [{"id": 2,)"
                     R"( "class": "Note", "hyperlinks": [{"kind": "hkClass", "kind": "hkClass"}]}]}]})",
             "diagrams[0].shapes[0].hyperlinks[0]: the field \"kind\" is given twice"},
        Case{"ADuplicateInAListInAList",
             kHead + R"("classes": [{"id": 1, "name": "c", "members": [{"id": 2, "category": "mcMethod",)"
                     R"( "name": "m", "sections": [[{"a": 1, "a": 2}]]}]}]})",
             "classes[0].members[0].sections[0][0]: the field \"a\" is given twice"},
        Case{"AFractionalId", kHead + R"("modules": [{"id": 1.5, "name": "m"}]})",
             "modules[0].id: expected a whole number, found a fractional number"},
        Case{"AnIdBeyond64Bits", kHead + R"("modules": [{"id": 123456789012345678901234, "name": "m"}]})",
             "modules[0].id: the number 1.2345678901234569e+23 does not fit in 32 bits"},
        Case{"ATopLevelList", "[1, 2]", "top level: expected an object, found an array"},
        Case{"NoText", "",
             "parse error at line 1, column 1: syntax error while parsing value - unexpected end "
             "of input; expected '[', '{', or a literal"},
        Case{"AnElementThatIsNoObject", kHead + R"("modules": [{"id": 1, "name": "m"}, 7]})",
             "modules[1]: expected an object, found a number"},
        Case{"NoUtf8InAName", kHead + "\"modules\": [{\"id\": 1, \"name\": \"m\xC0\xAF\"}]}",
             "parse error at line 1, column 78: syntax error while parsing value - invalid string: "
             "ill-formed UTF-8 byte; last read: '\"m\xC0'"},
        Case{"ANumberTooLargeForADouble", kHead + R"("modules": [{"id": 1e400, "name": "m"}]})",
             "number overflow parsing '1e400'"},
        Case{"TextAfterTheProject", kHead + R"("modules": []} {})",
             "parse error at line 1, column 61: syntax error while parsing value - unexpected '{'; "
             "expected end of input"},
        Case{"ADuplicateAmongManyFields", ManyProperties(40, R"("k3": "again")"),
             "diagrams[0].shapes[0].properties: the field \"k3\" is given twice"},
        Case{"ASecondModulesList",
             kHead + R"("modules": [{"id": 1, "name": "m"}], "modules": [{"id": 1}]})",
             "top level: the field \"modules\" is given twice"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectReader, ElementsListedInAnyOrderAreReadModulesFirst) {
  const std::string text =
      R"({"navigator": {"class": 2, "module": 1}, "classes": [{"id": 2, "name": "TOrder", "module": 1}],)"
      R"( "modules": [{"id": 1, "name": "uOrders"}], "version": 1, "format": "dravolex-project"})";
  auto project = ParseProject(text, "p");
  ASSERT_EQ(project->classes.size(), 1u);
  EXPECT_EQ(project->classes[0]->module->name, u"uOrders");
  EXPECT_EQ(project->navigator.currentClass->name, u"TOrder");
  EXPECT_EQ(project->navigator.currentModule->name, u"uOrders");
}

TEST(ProjectReader, AnObjectOfManyFieldsKeepsThemAll) {
  auto project = ParseProject(ManyProperties(40, R"("z": "last")"), "p");
  const auto& properties = project->diagrams.at(0)->shapes.at(0)->properties;
  EXPECT_EQ(properties.size(), 41u);
  EXPECT_EQ(properties.at(u"z"), u"last");
}

TEST(ProjectReader, AByteOrderMarkBeforeTheTextIsAllowed) {
  auto project = ParseProject("\xEF\xBB\xBF" + kHead + R"("modules": [{"id": 1, "name": "m\u00e4"}]})", "p");
  ASSERT_EQ(project->modules.size(), 1u);
  EXPECT_EQ(project->modules[0]->name, u"m\u00e4");
}

}  // namespace
