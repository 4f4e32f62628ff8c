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

void TMMDiagramExplorer::LocateDiagramReferences(const std::string& aRefStr, Lines& result,
                                                 TReferenceKind kind, Lines& symbolNames) {
  ClearDiagramSelection();
  Guarded("LocateDiagramReferences", [&] {
    const host::DiagramManager manager = FServices.Diagrams();
    const int diagrams = manager.DiagramCount();
    std::string linkName;
    for (int d = 0; d < diagrams; ++d) {
      const host::Diagram diagram = manager.Diagrams(d);
      const host::ShapeExplorer explorer = diagram.Explorer();
      const int shapes = explorer.ShapeCount();
      bool found = false;
      for (int s = 0; s < shapes && !found; ++s) {
        const host::Shape symbol = explorer.Shapes(s);
        const int links = symbol.HyperlinkCount();
        for (int h = 0; h < links && !found; ++h) {
          symbol.ReadHyperlinkName(h, linkName);
          if (linkName != aRefStr) continue;
          const host::Hyperlink link = symbol.Hyperlinks(h);
          const bool passes = kind == rkMember    ? IsMemberOfCurClass(link)
                              : kind == rkDiagram ? IsDiagramLink(link)
                                                  : IsCurClass(link);
          if (!passes) continue;
          auto spec = std::make_unique<TDiagramSpec>();
          spec->DiagramName = diagram.Name();
          spec->SymbolName = symbol.Name();
          spec->Diagram = diagram;
          spec->DiagramId = diagram.Id();
          spec->Symbol = symbol;
          FDiagramSelection.push_back(std::move(spec));
          found = true;
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

bool TMMDiagramExplorer::IsCurClass(const host::Hyperlink& link) {
  return Guarded("IsCurClass", false, [&] {
    const host::Class cls(link.Target().Query<mmapi::IMMClass>());
    return cls && cls.Name() == GetCurClassName();
  });
}

bool TMMDiagramExplorer::IsDiagramLink(const host::Hyperlink& link) {
  return Guarded("IsDiagramLink", false,
                 [&] { return bool(link.Target().Query<mmapi::IMMDiagram>()); });
}

bool TMMDiagramExplorer::IsMemberOfCurClass(const host::Hyperlink& link) {
  return Guarded("IsMemberOfCurClass", false, [&] {
    const host::Member member(link.Target().Query<mmapi::IMMMember>());
    return member && member.OwnerClass().Name() == GetCurClassName();
  });
}

}  // namespace drvx::diagrams
