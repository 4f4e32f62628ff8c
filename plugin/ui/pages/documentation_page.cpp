#include "documentation_page.h"

#include "drvx/platform/clipboard.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/files.h"
#include "drvx/platform/text.h"

namespace drvx::ui {

TDocumentationPage::TDocumentationPage(const PageSite& site) : Page(site) {
  lbxDiagramsAvailable.SetSorted(true);
  lbxDiagramsAvailable.SetMultiSelect(true);
  lbxDiagramsSelected.SetMultiSelect(true);
  rgDestination.SetItems({"Clipboard", "File", "Printer"});
  rgDestination.SetItemIndex(0);
  cbWithDiagrams.SetEnabled(false);
  cbOneLiner.SetChecked(true);
  cbIgnoreEmptySymbols.SetChecked(true);
}

std::vector<EventRow> TDocumentationPage::Events() {
  return {
      DRVX_CLICK(spbtReloadDiagrams),
      DRVX_ON(lbxDiagramsAvailable.OnMouseUp, lbxDiagramsAvailableMouseUp),
      DRVX_CLICK(btAddSelected),
      DRVX_CLICK(btAddAll),
      DRVX_CLICK(btRemoveSelected),
      DRVX_CLICK(btRemoveAll),
      DRVX_CLICK(rgDestination),
      DRVX_CLICK(btExtractDoc),
  };
}

void TDocumentationPage::Place() {
  using platform::Placement;
  PlaceRow(Placement::NewRow, {&spbtReloadDiagrams});
  PlaceRow(Placement::Fill, {&lbxDiagramsAvailable, &btAddSelected, &btAddAll, &btRemoveSelected,
                             &btRemoveAll, &lbxDiagramsSelected});
  PlaceRow(Placement::NewRow,
           {&rgDestination, &cbWithDiagrams, &cbOneLiner, &cbIgnoreEmptySymbols, &btExtractDoc});
}

void TDocumentationPage::ReloadAvailableDiagrams() {
  diagrams::TMMDiagramExplorer& explorer = workers_.Explorer();
  std::vector<std::string> names;
  explorer.GetDiagramNames(names);
  lbxDiagramsAvailable.SetItems(std::move(names));
  const int current = lbxDiagramsAvailable.IndexOfIgnoringCase(explorer.GetCurDiagramName());
  if (current >= 0)
    lbxDiagramsAvailable.SetSelected(current, true);
  else
    lbxDiagramsAvailable.SelectAll();
}

void TDocumentationPage::spbtReloadDiagramsClick() {
  lbxDiagramsSelected.Clear();
  ReloadAvailableDiagrams();
}

void TDocumentationPage::lbxDiagramsAvailableMouseUp() {
  const int focused = lbxDiagramsAvailable.ItemIndex();
  if (focused >= 0)
    workers_.Explorer().GoToDiagramByName(lbxDiagramsAvailable.Items()[std::size_t(focused)]);
}

// Both lists change once, however many names move (each a change of its own
// would redraw a list as often as it has names).
void TDocumentationPage::MoveSelected(platform::ListBox& from, platform::ListBox& to) {
  std::vector<std::string> moving;
  for (int i = 0; i < from.Count(); ++i)
    if (from.Selected(i)) moving.push_back(from.Items()[std::size_t(i)]);
  // Each name takes the first item equal to it ignoring case from `from`.
  std::vector<int> leaving;
  std::vector<bool> taken(std::size_t(from.Count()), false);
  for (const auto& name : moving)
    for (int i = 0; i < from.Count(); ++i)
      if (!taken[std::size_t(i)] && platform::SameTextIgnoringCase(from.Items()[std::size_t(i)], name)) {
        taken[std::size_t(i)] = true;
        leaving.push_back(i);
        break;
      }
  to.AddItems(std::move(moving));
  from.DeleteItems(std::move(leaving));
}

void TDocumentationPage::MoveAll(platform::ListBox& from, platform::ListBox& to) {
  to.AddItems(from.Items());
  from.Clear();
}

void TDocumentationPage::btAddSelectedClick() {
  MoveSelected(lbxDiagramsAvailable, lbxDiagramsSelected);
}
void TDocumentationPage::btAddAllClick() { MoveAll(lbxDiagramsAvailable, lbxDiagramsSelected); }
void TDocumentationPage::btRemoveSelectedClick() {
  MoveSelected(lbxDiagramsSelected, lbxDiagramsAvailable);
}
void TDocumentationPage::btRemoveAllClick() { MoveAll(lbxDiagramsSelected, lbxDiagramsAvailable); }

void TDocumentationPage::rgDestinationClick() {
  const bool printer = rgDestination.ItemIndex() == 2;
  if (!printer) cbWithDiagrams.SetChecked(false);
  cbWithDiagrams.SetEnabled(printer);
}

void TDocumentationPage::btExtractDocClick() {
  diagrams::TMMDiagramExplorer& explorer = workers_.Explorer();
  explorer.OneLiner = cbOneLiner.Checked();
  explorer.IgnoreEmptySymbols = cbIgnoreEmptySymbols.Checked();
  const std::vector<std::string> names = lbxDiagramsSelected.Items();
  std::vector<std::string> lines;
  explorer.ExtractDocumentation(names, lines);
  switch (rgDestination.ItemIndex()) {
    case 0:
      platform::CurrentClipboard().SetText(platform::JoinLines(lines));
      platform::CurrentDialogs().ShowMessage(platform::MessageKind::Information,
                                             "Documentation is now in the clipboard.");
      break;
    case 1:
      if (const auto file = platform::CurrentDialogs().SaveFile({}))
        platform::WriteFileAtomically(*file, platform::JoinLines(lines));
      break;
    case 2:
      explorer.PrintDocumentation(names, cbWithDiagrams.Checked());
      break;
    default:
      break;
  }
}

}  // namespace drvx::ui
