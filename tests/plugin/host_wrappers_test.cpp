// The plug-in's wrappers against the substitute host's real model.
#include <optional>
#include <gtest/gtest.h>

#include "host_api.h"
#include "host_session.h"
#include "support/test_support.h"
#include "project_file.h"

namespace {

using namespace drvx;
using mmapi::cxx::StatusError;

class HostWrappers : public ::testing::Test {
 protected:
  void SetUp() override {
    session.ReplaceProject(modelhost::LoadProject(test::ExampleProject()));
    binding.emplace(session.Services());
  }
  void TearDown() override { binding.reset(); }

  host::Class ClassNamed(const std::string& name) {
    for (const host::Class& cls : services.Model().AllClasses())
      if (cls.Name() == name) return cls;
    return {};
  }
  host::Diagram DiagramNamed(const std::string& name) {
    auto diagrams = services.Diagrams();
    for (int i = 0; i < diagrams.DiagramCount(); ++i)
      if (diagrams.Diagrams(i).Name() == name) return diagrams.Diagrams(i);
    return {};
  }

  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  host::Services services{host::ComPtr<mmapi::IMMToolServices>::Share(session.Services())};
};

TEST_F(HostWrappers, WalkDiagramsShapesAndHyperlinksWithTheirNames) {
  auto orders = DiagramNamed("csOrders");
  ASSERT_TRUE(orders);
  EXPECT_EQ(orders.Kind(), host::DiagramKind::Class);
  auto explorer = orders.Explorer();
  ASSERT_EQ(explorer.ShapeCount(), 10);
  auto order = explorer.Shapes(0);
  EXPECT_EQ(order.Name(), "TOrder");
  EXPECT_EQ(order.Property("InstanceName"), "Order");
  EXPECT_EQ(order.Property("NoSuchProperty"), "");
  ASSERT_EQ(order.HyperlinkCount(), 2);
  EXPECT_EQ(order.Hyperlinks(0).Name(), "TOrder");
  EXPECT_EQ(order.Hyperlinks(1).Name(), "stOrder");
  EXPECT_EQ(explorer.SymbolCount() + explorer.AssociationCount(), 10);
  auto lines = explorer.Associations(0);
  EXPECT_EQ(lines.Source().Name(), "TOrder");
  EXPECT_EQ(lines.Target().Name(), "TOrderLine");
}

TEST_F(HostWrappers, HyperlinkTargetsOfferTheirElementsInterfaces) {
  auto order = DiagramNamed("csOrders").Explorer().Shapes(0);
  auto toClass = order.Hyperlinks(0);
  auto toDiagram = order.Hyperlinks(1);
  EXPECT_EQ(toClass.TargetClass().Name(), "TOrder");
  EXPECT_FALSE(toClass.TargetDiagram());
  EXPECT_FALSE(toClass.TargetMember());
  EXPECT_EQ(toDiagram.TargetDiagram().Name(), "stOrder");
}

TEST_F(HostWrappers, AFailedHostCallThrowsTheHostsText) {
  auto diagrams = services.Diagrams();
  try {
    diagrams.Diagrams(99);
    FAIL() << "index 99 should fail";
  } catch (const StatusError& e) {
    EXPECT_EQ(e.Status(), mmapi::MM_E_BOUNDS);
    EXPECT_STREQ(e.what(), "Diagrams: index 99 is out of range 0..7");
  }
}

TEST_F(HostWrappers, AnOperationOnNoneThrowsInsteadOfCrashing) {
  session.Project().navigator = {};
  auto cls = services.Nav().CurrentClass();
  EXPECT_FALSE(cls);
  EXPECT_THROW(cls.Name(), StatusError);
}

TEST_F(HostWrappers, NavigatorFollowsWhatIsShown) {
  auto nav = services.Nav();
  EXPECT_EQ(nav.CurrentClass().Name(), "TOrder");
  EXPECT_EQ(nav.CurrentMethod().Name(), "Submit");
  auto model = services.Model();
  auto stock = ClassNamed("TStock");
  ASSERT_TRUE(stock);
  nav.NavigateToClass(stock);
  EXPECT_EQ(nav.CurrentClass().Name(), "TStock");
  EXPECT_EQ(nav.CurrentModule().Name(), "uInventory");
  EXPECT_FALSE(nav.CurrentMember());
  auto reserve = stock.Members(stock.FindMember("Reserve"));
  nav.ShowMember(reserve);
  EXPECT_EQ(nav.CurrentMethod().Name(), "Reserve");
  auto levels = stock.Members(stock.FindMember("FLevels"));
  nav.ShowMember(levels);
  EXPECT_EQ(nav.CurrentMember().Name(), "FLevels");
  EXPECT_FALSE(nav.CurrentMethod());
  nav.ShowDiagram(DiagramNamed("ucShop"));
  EXPECT_EQ(nav.CurrentDiagram().Name(), "ucShop");
}

TEST_F(HostWrappers, MembersOfferOnlyTheViewOfTheirCategory) {
  auto order = ClassNamed("TOrder");
  ASSERT_TRUE(order);
  auto field = order.Members(order.FindMember("FId"));
  auto method = order.Members(order.FindMember("Total"));
  auto property = order.Members(order.FindMember("Customer"));
  EXPECT_TRUE(field.As<host::Field>());
  EXPECT_FALSE(field.As<host::Method>());
  EXPECT_TRUE(method.As<host::Method>());
  EXPECT_FALSE(method.As<host::Field>());
  EXPECT_FALSE(property.As<host::Method>());
  EXPECT_FALSE(property.As<host::Field>());
  EXPECT_EQ(method.As<host::Method>().MethodKind(), host::MethodKind::Function);
  EXPECT_EQ(order.FindMember("NoSuchMember"), -1);
  EXPECT_EQ(method.OwnerClass().Name(), "TOrder");
}

TEST_F(HostWrappers, NewFieldsAndMethodsCarryWhatIsSet) {
  auto point = ClassNamed("TAddress");
  auto field = point.AddField();
  field.AsMember().SetName("FGröße");
  auto method = point.AddMethod();
  method.AsMember().SetName("Clone");
  method.SetMethodKind(host::MethodKind::Function);
  method.AsMember().SetTypeName("TAddress");
  method.AppendToBody("Result:=TAddress.Create(self);\r\n");
  method.InsertIntoBody("// first\r\n");
  ASSERT_EQ(method.SectionCount(), 2);
  EXPECT_EQ(method.SectionText(0), "// first\r\n");
  EXPECT_EQ(method.SectionText(1), "Result:=TAddress.Create(self);\r\n");
  EXPECT_EQ(method.AsMember().Visibility(), host::Visibility::Public);
  EXPECT_EQ(point.Members(point.MemberCount() - 2).Name(), "FGröße");
  EXPECT_THROW(method.SetMethodKind(host::MethodKind(9)), StatusError);
}

TEST_F(HostWrappers, ShapesCreatedOnADiagramKeepParentGeometryAndLinks) {
  auto target = DiagramNamed("stOrder");
  auto diagram = services.Diagrams().CreateDiagram(host::DiagramKind::Interaction, "sqNew");
  EXPECT_EQ(services.Diagrams().IndexOfId(diagram.Id()), 8);
  auto explorer = diagram.Explorer().As<host::DiagramExplorer>();
  ASSERT_TRUE(explorer);
  auto package = explorer.CreateSymbol("PackageSymbol", {});
  package.SetLocation(20, 20);
  package.SetCaption("called by:");
  auto link = explorer.CreateSymbol("DiagramLink", package);
  link.SetLocation(10, 30);
  auto hyperlink = link.AddHyperlink(host::HyperlinkKind::Diagram, target.Id());
  EXPECT_EQ(hyperlink.Name(), "stOrder");
  EXPECT_EQ(hyperlink.Kind(), host::HyperlinkKind::Diagram);
  explorer.ApplyChanges();
  auto role = explorer.CreateSymbol("rolesymbol", {});
  auto other = explorer.CreateSymbol("rolesymbol", {});
  auto message = explorer.CreateAssociation("sequencemessage", role, other);
  message.AsShape().SetPosition(0, 40);
  EXPECT_EQ(message.Source().Id(), role.Id());
  EXPECT_TRUE(role.As<host::RoleSymbol>());
  EXPECT_FALSE(package.As<host::RoleSymbol>());
  role.As<host::RoleSymbol>().SetActivations("(35,45)");
  EXPECT_EQ(role.As<host::RoleSymbol>().Activations(), "(35,45)");
  explorer.Layout().SetPageFormat(2, true);
  auto& model = *session.Project().diagrams.back();
  EXPECT_EQ(model.pageSizeClass, 2);
  EXPECT_EQ(model.shapes[1]->AbsoluteX(), 30);
  EXPECT_EQ(model.shapes[1]->parent.Get(), model.shapes[0].Get());
  EXPECT_EQ(model.appliedChanges, 1);
}

TEST_F(HostWrappers, TheHostRefusesInconsistentShapes) {
  auto explorer = DiagramNamed("csOrders").Explorer().As<host::DiagramExplorer>();
  auto foreign = DiagramNamed("stOrder").Explorer().Shapes(1);
  EXPECT_THROW(explorer.CreateSymbol("DiagramLink", foreign), StatusError);
  auto symbol = explorer.CreateSymbol("ClassSymbol", {});
  EXPECT_THROW(explorer.CreateAssociation("association", symbol, foreign), StatusError);
  EXPECT_THROW(explorer.CreateSymbol("", {}), StatusError);
  EXPECT_THROW(symbol.AddHyperlink(host::HyperlinkKind::Class, 999999), StatusError);
  EXPECT_THROW(symbol.AddHyperlink(host::HyperlinkKind::External, 1), StatusError);
  // A class's id is no diagram.
  EXPECT_THROW(symbol.AddHyperlink(host::HyperlinkKind::Diagram, ClassNamed("TAddress").Id()),
               StatusError);
}

TEST_F(HostWrappers, ElementsOfAClosedProjectFailCleanly) {
  auto shape = DiagramNamed("csOrders").Explorer().Shapes(0);
  auto link = shape.Hyperlinks(0);
  session.ReplaceProject(std::make_unique<modelhost::ModelProject>());
  EXPECT_EQ(shape.Name(), "TOrder");  // its own data is still there
  EXPECT_FALSE(link.TargetClass());
  EXPECT_THROW(shape.AddHyperlink(host::HyperlinkKind::Class, 1), StatusError);
  EXPECT_EQ(services.Diagrams().DiagramCount(), 0);
}

TEST_F(HostWrappers, TheProjectFileNameIsTheOpenedPath) {
  EXPECT_EQ(services.Project().ProjectFileName(), test::ExampleProject().string());
}

}  // namespace
