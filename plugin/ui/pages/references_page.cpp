#include "references_page.h"

#include "drvx/platform/clipboard.h"
#include "drvx/platform/text.h"

namespace drvx::ui {

TReferencesPage::TReferencesPage(const PageSite& site, platform::Panel& symbolName)
    : Page(site), pnlNames(symbolName) {
  SpBtSearchHyperLinksCurrentMember.SetHint("locate diagrams referencing current member");
  SpBtSearchHyperLinksCurrentDiagram.SetHint("locate diagrams referencing current diagram");
  SpeedButton2.SetHint("add diagrams as links to current diagram");
}

std::vector<EventRow> TReferencesPage::Events() {
  return {
      DRVX_GUARDED_CLICK(SpBtSearchHyperLinksCurrentMember),
      DRVX_GUARDED_CLICK(SpBtSearchHyperLinksCurrentDiagram),
      DRVX_GUARDED_CLICK(SpBtSearchHyperLinksCurrentClass),
      DRVX_GUARDED_CLICK(LbxReferences),
      DRVX_CLICK(SpeedButton1),
      DRVX_CLICK(SpeedButton2),
  };
}

std::vector<MouseMoveRow> TReferencesPage::MouseMoves() {
  return {
      DRVX_MOUSE_MOVE(SpBtSearchHyperLinksCurrentMember),
      DRVX_MOUSE_MOVE(SpBtSearchHyperLinksCurrentDiagram),
      DRVX_MOUSE_MOVE(SpBtSearchHyperLinksCurrentClass),
      DRVX_MOUSE_MOVE(LbxReferences),
  };
}

void TReferencesPage::Place() {
  using platform::Placement;
  PlaceRow(Placement::NewRow,
           {&SpBtSearchHyperLinksCurrentMember, &SpBtSearchHyperLinksCurrentDiagram,
            &SpBtSearchHyperLinksCurrentClass, &SpeedButton1, &SpeedButton2});
  PlaceRow(Placement::Fill, {&LbxReferences});
}

void TReferencesPage::ShowSearch(
    void (diagrams::TMMDiagramExplorer::*search)(diagrams::Lines&, diagrams::Lines&)) {
  diagrams::Lines result;
  (workers_.Explorer().*search)(result, FSymbolNames);
  LbxReferences.SetItems(result);
  pnlNames.SetCaption(result.empty() ? "---" : FSymbolNames.at(0));
}

void TReferencesPage::SpBtSearchHyperLinksCurrentMemberClick() {
  ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentMemberReferences);
}

void TReferencesPage::SpBtSearchHyperLinksCurrentDiagramClick() {
  SpBtSearchHyperLinksCurrentDiagram.SetHint(workers_.Explorer().GetCurDiagramName());
  SpBtSearchHyperLinksCurrentDiagram.SetShowHint(true);
  ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentDiagramReferences);
}

void TReferencesPage::SpBtSearchHyperLinksCurrentClassClick() {
  ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentClassReferences);
}

void TReferencesPage::RefreshHint(platform::Button& button, const char* label,
                                  const std::string& name) {
  button.SetHint(label + name);
  button.SetShowHint(true);
}

void TReferencesPage::SpBtSearchHyperLinksCurrentMemberMouseMove(int, int) {
  RefreshHint(SpBtSearchHyperLinksCurrentMember, "Current Member: ",
              workers_.Explorer().GetCurMemberName());
}

void TReferencesPage::SpBtSearchHyperLinksCurrentDiagramMouseMove(int, int) {
  RefreshHint(SpBtSearchHyperLinksCurrentDiagram, "Current Diagram: ",
              workers_.Explorer().GetCurDiagramName());
}

void TReferencesPage::SpBtSearchHyperLinksCurrentClassMouseMove(int, int) {
  RefreshHint(SpBtSearchHyperLinksCurrentClass, "Current Class: ",
              workers_.Explorer().GetCurClassName());
}

void TReferencesPage::LbxReferencesClick() {
  const int i = LbxReferences.ItemIndex();
  if (i < 0) return;
  workers_.Explorer().GoToDiagram(i);
  if (std::size_t(i) >= FSymbolNames.size())
    throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
  pnlNames.SetCaption(FSymbolNames[std::size_t(i)]);
}

void TReferencesPage::LbxReferencesMouseMove(int, int y) {
  // The row counts from the list's top edge; the scroll position is not added.
  const std::string name = workers_.Explorer().GetDiagramName(y / LbxReferences.RowHeight());
  LbxReferences.SetHint(name);
  LbxReferences.SetShowHint(!name.empty());
}

void TReferencesPage::SpeedButton1Click() {
  platform::CurrentClipboard().SetText(platform::JoinLines(LbxReferences.Items()));
}

void TReferencesPage::SpeedButton2Click() { workers_.Explorer().AddLink(); }

}  // namespace drvx::ui
