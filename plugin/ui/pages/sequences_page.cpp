#include "sequences_page.h"

#include <filesystem>

#include "diagram_generator.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/files.h"
#include "drvx/platform/text.h"
#include "method_list.h"

namespace drvx::ui {
namespace {

// The open and save dialogs of the page.
const platform::FileDialogOptions kOpenDialogSqDg{{}, "*.txt", ""};
const platform::FileDialogOptions kSaveDialogSqDg{{}, "", ""};

std::vector<std::string> FileLines(const std::filesystem::path& path) {
  return platform::SplitLines(platform::ReadWholeFile(path, platform::kMaxListFile));
}

}  // namespace

TSequencesPage::TSequencesPage(const PageSite& site, host::Services services,
                               platform::Button& makeFromFile)
    : Page(site), FToolServices(std::move(services)), MakeSeqenceDiagram1(makeFromFile) {
  lbxSequencesSource.SetSorted(true);
}

std::vector<EventRow> TSequencesPage::Events() {
  return {
      DRVX_ON(lbxSequencesSource.OnDblClick, AddAndShowMethod),
      DRVX_CLICK(btReload),
      DRVX_CLICK(btMoveMsg),
      DRVX_CLICK(btLoadFromFile),
      DRVX_CLICK(btFileSave),
      DRVX_CLICK(SpeedButton3),
      DRVX_CLICK(Button1),
      DRVX_CLICK(MakeSeqenceDiagram1),
  };
}

void TSequencesPage::Place() {
  using platform::Placement;
  PlaceRow(Placement::NewRow, {&btReload, &btLoadFromFile, &btFileSave, &SpeedButton3, &Button1});
  PlaceRow(Placement::Fill, {&lbxSequencesSource, &btMoveMsg, &SequencesMemo});
}

// In one change, which a window shows at once however long the list.
void TSequencesPage::FillMethodList() {
  lbxSequencesSource.AddItems(codegen::MethodEntries(FToolServices.Model()));
}

void TSequencesPage::AddAndShowMethod() {
  const int selected = lbxSequencesSource.ItemIndex();
  if (selected < 0) return;
  const std::string entry = lbxSequencesSource.Items()[std::size_t(selected)];
  SequencesMemo.AddLine(entry);
  if (const host::Member member = codegen::FindMethodEntry(FToolServices.Model(), entry))
    FToolServices.Nav().ShowMember(member);
}

void TSequencesPage::btReloadClick() {
  lbxSequencesSource.Clear();
  FillMethodList();
}

void TSequencesPage::btMoveMsgClick() {
  const int selected = lbxSequencesSource.ItemIndex();
  if (selected >= 0) SequencesMemo.AddLine(lbxSequencesSource.Items()[std::size_t(selected)]);
}

void TSequencesPage::btLoadFromFileClick() {
  if (const auto file = platform::CurrentDialogs().OpenFile(kOpenDialogSqDg))
    SequencesMemo.SetLines(FileLines(*file));
}

void TSequencesPage::btFileSaveClick() {
  if (const auto file = platform::CurrentDialogs().SaveFile(kSaveDialogSqDg))
    platform::WriteFileAtomically(*file, SequencesMemo.Text());
}

void TSequencesPage::SpeedButton3Click() {
  std::vector<std::string> lines = SequencesMemo.Lines();
  SequencesMemo.BeginUpdate();
  SequencesMemo.Clear();
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) SequencesMemo.AddLine(*it);
  SequencesMemo.EndUpdate();
}

void TSequencesPage::GenerateAndOpen(const std::string& name,
                                     const std::vector<std::string>& lines) {
  const std::int32_t id = sequence::TDiagramGenerator(FToolServices).GenSqDg(name, lines);
  if (id < 0) return;
  const host::DiagramManager manager = FToolServices.Diagrams();
  const int index = manager.IndexOfId(id);
  if (index >= 0) FToolServices.Nav().ShowDiagram(manager.Diagrams(index));
}

void TSequencesPage::Button1Click() { GenerateAndOpen("sqAutoGen", SequencesMemo.Lines()); }

void TSequencesPage::MakeSeqenceDiagram1Click() {
  const auto file = platform::CurrentDialogs().OpenFile(kOpenDialogSqDg);
  if (!file) return;
  GenerateAndOpen("sq" + file->filename().string(), FileLines(*file));
}

}  // namespace drvx::ui
