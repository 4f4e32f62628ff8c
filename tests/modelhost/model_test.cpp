// The substitute host's answers at the boundary itself: out-parameters,
// error records, identifiers.
#include <thread>

#include <gtest/gtest.h>

#include "host_session.h"
#include "mmapi/cxx/utf.h"
#include "support/test_support.h"
#include "project_file.h"

namespace {

using namespace drvx::modelhost;
using mmapi::cxx::ComPtr;

std::string ErrorText(mmapi::IMMToolServices& services) {
  mmapi::MMStrView view{};
  EXPECT_EQ(services.GetErrorText(&view), mmapi::MM_OK);
  return mmapi::cxx::ToUtf8(std::u16string_view(view.data, view.length));
}

TEST(HostBoundary, ANullOutPointerFailsWithATextInsteadOfCrashing) {
  HostSession session;
  ComPtr<mmapi::IMMDiagramManager> diagrams;
  ASSERT_EQ(session.Services()->DiagramManager(diagrams.Put()), mmapi::MM_OK);
  EXPECT_EQ(diagrams->DiagramCount(nullptr), mmapi::MM_E_POINTER);
  EXPECT_EQ(ErrorText(*session.Services()), "DiagramCount: the out-parameter is null");
}

TEST(HostBoundary, OutParametersAreClearedEvenWhenTheCallFails) {
  HostSession session;
  ComPtr<mmapi::IMMCodeModel> model;
  ASSERT_EQ(session.Services()->CodeModel(model.Put()), mmapi::MM_OK);
  auto* stale = reinterpret_cast<mmapi::IMMClass*>(0x1);
  EXPECT_EQ(model->Classes(0, &stale), mmapi::MM_E_BOUNDS);
  EXPECT_EQ(stale, nullptr);
  EXPECT_EQ(ErrorText(*session.Services()), "Classes: index 0 is out of range (there are none)");
}

TEST(HostBoundary, EachThreadHasItsOwnErrorRecord) {
  HostSession session;
  const char16_t text[] = u"failed here";
  session.Services()->SetErrorText(text, 11);
  std::string other = "unset";
  std::thread([&] { other = ErrorText(*session.Services()); }).join();
  EXPECT_EQ(other, "");
  EXPECT_EQ(ErrorText(*session.Services()), "failed here");
}

TEST(HostBoundary, IndexOfIdFindsDiagramsMadeLater) {
  HostSession session;
  session.ReplaceProject(LoadProject(drvx::test::ExampleProject()));
  ComPtr<mmapi::IMMDiagramManager> diagrams;
  session.Services()->DiagramManager(diagrams.Put());
  ComPtr<mmapi::IMMDiagram> made;
  ASSERT_EQ(diagrams->CreateDiagram(6, u"sqX", 3, made.Put()), mmapi::MM_OK);
  std::int32_t id = 0, index = 0;
  made->Id(&id);
  ASSERT_EQ(diagrams->IndexOfId(id, &index), mmapi::MM_OK);
  EXPECT_EQ(index, 8);
  ASSERT_EQ(diagrams->IndexOfId(-5, &index), mmapi::MM_OK);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(diagrams->CreateDiagram(14, u"x", 1, made.Put()), mmapi::MM_E_INVALIDARG);
}

TEST(HostBoundary, NewElementsGetFreshIdentifiers) {
  ModelProject project;
  auto module = project.NewModule(40);
  auto cls = project.NewClass();
  EXPECT_EQ(cls->ElementId(), 41);
  EXPECT_THROW(project.NewDiagram(0, 40), mmapi::cxx::StatusError);
  EXPECT_EQ(project.Find(40), module.Get());
  EXPECT_EQ(project.FindTarget(mmapi::hkClass, 40), nullptr);
  EXPECT_EQ(project.FindTarget(mmapi::hkModule, 40), module.Get());
}

// Identifiers from a file may lie anywhere in 1..2^31-1: each is found,
// whether the host handed it out or a file gave it far beyond the others,
// and an element given one far beyond them costs no more than another.
TEST(HostBoundary, ElementsAreFoundByAnyIdentifier) {
  ModelProject project;
  std::vector<ComPtr<ModelClass>> made;
  for (std::int32_t id : {7000, 1, 2, 6999}) made.push_back(project.NewClass(id));
  for (int i = 0; i < 9000; ++i) made.push_back(project.NewClass());  // 7001 and on
  EXPECT_EQ(made.back()->ElementId(), 16000);
  for (std::int32_t id : {2147483647, 2000000000, 20000}) made.push_back(project.NewClass(id));
  for (const auto& cls : made) EXPECT_EQ(project.Find(cls->ElementId()), cls.Get());
  EXPECT_EQ(project.Find(3), nullptr);
  EXPECT_EQ(project.Find(0), nullptr);
  EXPECT_EQ(project.Find(-1), nullptr);
  EXPECT_THROW(project.NewClass(7000), mmapi::cxx::StatusError);
}

// A hyperlink handed out keeps its name as it was, however the shape's
// links change after, and still finds its target.
TEST(HostBoundary, AHandedOutHyperlinksNameOutlivesChangesToItsShape) {
  ModelProject project;
  auto cls = project.NewClass();
  cls->name = u"TAddress";
  project.AddClass(cls);
  auto shape = project.NewShape(u"ClassSymbol");
  shape->hyperlinks.Append(mmapi::hkClass, cls->ElementId(), u"TAddress");
  ComPtr<mmapi::IMMHyperlink> link;
  ASSERT_EQ(shape->AsShape()->Hyperlinks(0, link.Put()), mmapi::MM_OK);
  mmapi::MMStrView name{};
  ASSERT_EQ(link->Name(&name), mmapi::MM_OK);
  for (int i = 0; i < 100; ++i)  // the shape's name block moves
    shape->hyperlinks.Append(mmapi::hkExternal, 0, u"https://example.org/a/long/address");
  shape->hyperlinks.Rename(0, u"x");
  EXPECT_EQ(std::u16string_view(name.data, name.length), u"TAddress");
  EXPECT_EQ(shape->hyperlinks[0].name, u"x");
  EXPECT_EQ(shape->hyperlinks[1].name, u"https://example.org/a/long/address");
  ComPtr<mmapi::IMMUnknown> target;
  ASSERT_EQ(link->Target(target.Put()), mmapi::MM_OK);
  EXPECT_EQ(target.Get(), cls->Unknown());
}

}  // namespace

namespace {

TEST(PlannedFaults, FailTheChosenCallWithTheChosenTextAfterTheSkippedOnes) {
  HostSession session;
  session.ReplaceProject(LoadProject(drvx::test::ExampleProject()));
  ComPtr<mmapi::IMMDiagramManager> diagrams;
  session.Services()->DiagramManager(diagrams.Put());
  PlanFault({"Diagrams", "disk on fire", 1, 2});
  ComPtr<mmapi::IMMDiagram> d;
  EXPECT_EQ(diagrams->Diagrams(0, d.Put()), mmapi::MM_OK);
  EXPECT_EQ(diagrams->Diagrams(0, d.Put()), mmapi::MM_E_UNEXPECTED);
  EXPECT_EQ(ErrorText(*session.Services()), "disk on fire");
  EXPECT_EQ(diagrams->Diagrams(1, d.Put()), mmapi::MM_E_UNEXPECTED);
  EXPECT_EQ(diagrams->Diagrams(1, d.Put()), mmapi::MM_OK);
  EXPECT_TRUE(PlannedFaults().empty());
  PlanFault({"Name", "no name", 0, 1});
  ClearPlannedFaults();
  mmapi::MMStrView name{};
  EXPECT_EQ(d->Name(&name), mmapi::MM_OK);
}

}  // namespace
