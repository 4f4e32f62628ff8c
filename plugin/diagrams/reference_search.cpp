// The reference search: which diagrams carry a hyperlink to the current
// class, member or diagram. Names are compared, never identities.
#include "diagram_explorer.h"

namespace drvx::diagrams {

void TMMDiagramExplorer::GetCurrentClassReferences(Lines& result, Lines& symbolNames) {
  Guarded("GetCurrentClassReferences",
          [&] { LocateDiagramReferences(GetCurClassName(), result, rkClass, symbolNames); });
}

void TMMDiagramExplorer::GetCurrentDiagramReferences(Lines& result, Lines& symbolNames) {
  Guarded("GetCurrentDiagramReferences",
          [&] { LocateDiagramReferences(GetCurDiagramName(), result, rkDiagram, symbolNames); });
}

void TMMDiagramExplorer::GetCurrentMemberReferences(Lines& result, Lines& symbolNames) {
  Guarded("GetCurrentMemberReferences",
          [&] { LocateDiagramReferences(GetCurMemberName(), result, rkMember, symbolNames); });
}

// Each diagram is listed once, for its first link that is a reference:
// found with one search of the host's when it has one, else link by link.
void TMMDiagramExplorer::LocateDiagramReferences(const std::string& aRefStr, Lines& result,
                                                 TReferenceKind kind, Lines& symbolNames) {
  ClearDiagramSelection();
  Guarded("LocateDiagramReferences", [&] {
    const host::DiagramManager manager = FServices.Diagrams();
    if (const host::DiagramSearch search = manager.Search()) {
      host::Diagram diagram;
      host::ShapeExplorer explorer;
      host::Shape symbol;
      std::int32_t diagramIndex = -1, shapeIndex = -1;
      bool found = false;
      for (const host::LinkHit& hit : search.HyperlinksNamed(aRefStr)) {
        if (hit.diagramIndex != diagramIndex) {
          diagramIndex = hit.diagramIndex;
          shapeIndex = -1;
          found = false;
          diagram = manager.Diagrams(diagramIndex);
          explorer = diagram.Explorer();
        }
        if (found) continue;
        if (hit.shapeIndex != shapeIndex) {
          shapeIndex = hit.shapeIndex;
          symbol = explorer.Shapes(shapeIndex);
        }
        found = SelectIfReference(diagram, symbol, hit.linkIndex, aRefStr, kind);
      }
    } else {
      for (const host::Diagram& diagram : manager.AllDiagrams()) {
        bool found = false;
        for (const host::Shape& symbol : diagram.Explorer().AllShapes()) {
          const auto links = symbol.AllHyperlinks();
          for (auto h = links.begin(); h != links.end() && !found; ++h)
            found = SelectIfReference(diagram, symbol, h.Index(), aRefStr, kind);
          if (found) break;
        }
      }
    }
    // Only a complete walk replaces the lists.
    result.clear();
    symbolNames.clear();
    for (const auto& spec : FDiagramSelection) {
      result.push_back(spec->DiagramName);
      symbolNames.push_back(spec->SymbolName);
    }
  });
}

bool TMMDiagramExplorer::SelectIfReference(const host::Diagram& diagram, const host::Shape& symbol,
                                           std::int32_t h, const std::string& aRefStr,
                                           TReferenceKind kind) {
  symbol.ReadHyperlinkName(h, linkName_);
  if (linkName_ != aRefStr) return false;
  const host::Hyperlink link = symbol.Hyperlinks(h);
  const bool passes = kind == rkMember    ? IsMemberOfCurClass(link)
                      : kind == rkDiagram ? IsDiagramLink(link)
                                          : IsCurClass(link);
  if (!passes) return false;
  auto spec = std::make_unique<TDiagramSpec>();
  spec->DiagramName = diagram.Name();
  spec->SymbolName = symbol.Name();
  spec->Diagram = diagram;
  spec->DiagramId = diagram.Id();
  spec->Symbol = symbol;
  FDiagramSelection.push_back(std::move(spec));
  return true;
}

bool TMMDiagramExplorer::IsCurClass(const host::Hyperlink& link) {
  return Guarded("IsCurClass", false, [&] {
    const host::Class cls = link.TargetClass();
    return cls && cls.Name() == GetCurClassName();
  });
}

bool TMMDiagramExplorer::IsDiagramLink(const host::Hyperlink& link) {
  return Guarded("IsDiagramLink", false,
                 [&] { return bool(link.TargetDiagram()); });
}

bool TMMDiagramExplorer::IsMemberOfCurClass(const host::Hyperlink& link) {
  return Guarded("IsMemberOfCurClass", false, [&] {
    const host::Member member = link.TargetMember();
    return member && member.OwnerClass().Name() == GetCurClassName();
  });
}

}  // namespace drvx::diagrams
