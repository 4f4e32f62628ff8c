// A "called by:" package of diagram links on the current diagram, one per
// diagram of the last reference search.
#include <stdexcept>

#include "diagram_explorer.h"

namespace drvx::diagrams {
namespace {

host::DiagramExplorer CurrentDiagramExplorer(const host::Services& services) {
  const host::Diagram diagram = services.Nav().CurrentDiagram();
  if (!diagram) throw std::runtime_error("no diagram is current to add the links to");
  const auto explorer = diagram.Explorer().As<host::DiagramExplorer>();
  if (!explorer) throw std::runtime_error("the current diagram cannot take new symbols");
  return explorer;
}

}  // namespace

void TMMDiagramExplorer::AddLink() {
  Guarded("AddLink", [&] {
    const int n = static_cast<int>(FDiagramSelection.size());
    host::DiagramExplorer explorer = CurrentDiagramExplorer(FServices);
    const host::Shape package = explorer.CreateSymbol("PackageSymbol", {});
    package.SetLocation(20, 20);
    package.SetWidth(200);
    package.SetHeight(20 * n + 30);
    package.SetCaption("called by:");
    explorer.ApplyChanges();
    for (int i = 0; i < n; ++i) {
      explorer = CurrentDiagramExplorer(FServices);
      const host::Shape link = explorer.CreateSymbol("DiagramLink", package);
      link.SetLocation(10, 30 + 20 * i);
      link.AddHyperlink(host::HyperlinkKind::Diagram, FDiagramSelection[std::size_t(i)]->Diagram.Id());
      explorer.ApplyChanges();
    }
  });
}

}  // namespace drvx::diagrams
