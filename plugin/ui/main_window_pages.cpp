// The Sequences and DgDoc pages of the main window.
#include <filesystem>

#include "diagram_generator.h"
#include "drvx/platform/clipboard.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/files.h"
#include "drvx/platform/text.h"
#include "main_window.h"

namespace drvx::ui {
namespace {

// The open and save dialogs of the Sequences page (also the DgGroups page's).
const platform::FileDialogOptions kOpenDialogSqDg{{}, "*.txt", ""};
const platform::FileDialogOptions kSaveDialogSqDg{{}, "", ""};

std::vector<std::string> FileLines(const std::filesystem::path& path) {
  return platform::SplitLines(platform::ReadWholeFile(path, platform::kMaxListFile));
}

std::string UpperAToZ(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

}  // namespace

// ---- Sequences page

void TFrmMain::FillMethodList() {
  const host::CodeModel model = host::Services().Model();
  const int classes = model.ClassCount();
  for (int c = 0; c < classes; ++c) {
    const host::Class cls = model.Classes(c);
    const int members = cls.MemberCount();
    for (int m = 0; m < members; ++m) {
      const host::Member member = cls.Members(m);
      const int category = member.MemberCategory();
      if (category == mmapi::mcMethod || category == mmapi::mcEvent)
        lbxSequencesSource.Add(cls.Name() + "." + member.Name());
    }
  }
}

void TFrmMain::AddAndShowMethod() {
  const int selected = lbxSequencesSource.ItemIndex();
  if (selected < 0) return;
  const std::string entry = lbxSequencesSource.Items()[std::size_t(selected)];
  SequencesMemo.AddLine(entry);
  const auto dot = entry.find('.');
  const std::string classPart = UpperAToZ(entry.substr(0, dot));
  const std::string memberPart =
      UpperAToZ(dot == std::string::npos ? std::string() : entry.substr(dot + 1));
  const host::Services services;
  const host::CodeModel model = services.Model();
  const int classes = model.ClassCount();
  for (int c = 0; c < classes; ++c) {
    const host::Class cls = model.Classes(c);
    if (UpperAToZ(cls.Name()) != classPart) continue;
    const int members = cls.MemberCount();
    for (int m = 0; m < members; ++m) {
      const host::Member member = cls.Members(m);
      if (UpperAToZ(member.Name()) == memberPart) {
        services.Nav().ShowMember(member);
        return;
      }
    }
  }
}

void TFrmMain::btReloadClick() {
  lbxSequencesSource.Clear();
  FillMethodList();
}

void TFrmMain::btMoveMsgClick() {
  const int selected = lbxSequencesSource.ItemIndex();
  if (selected >= 0) SequencesMemo.AddLine(lbxSequencesSource.Items()[std::size_t(selected)]);
}

void TFrmMain::btLoadFromFileClick() {
  if (const auto file = platform::CurrentDialogs().OpenFile(kOpenDialogSqDg))
    SequencesMemo.SetLines(FileLines(*file));
}

void TFrmMain::btFileSaveClick() {
  if (const auto file = platform::CurrentDialogs().SaveFile(kSaveDialogSqDg))
    platform::WriteFileAtomically(*file, SequencesMemo.Text());
}

void TFrmMain::SpeedButton3Click() {
  std::vector<std::string> lines = SequencesMemo.Lines();
  SequencesMemo.BeginUpdate();
  SequencesMemo.Clear();
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) SequencesMemo.AddLine(*it);
  SequencesMemo.EndUpdate();
}

void TFrmMain::GenerateAndOpen(const std::string& name, const std::vector<std::string>& lines) {
  const std::int32_t id = sequence::TDiagramGenerator().GenSqDg(name, lines);
  if (id < 0) return;
  const host::Services services;
  const host::DiagramManager manager = services.Diagrams();
  const int index = manager.IndexOfId(id);
  if (index >= 0) services.Nav().ShowDiagram(manager.Diagrams(index));
}

void TFrmMain::Button1Click() { GenerateAndOpen("sqAutoGen", SequencesMemo.Lines()); }

void TFrmMain::MakeSeqenceDiagram1Click() {
  const auto file = platform::CurrentDialogs().OpenFile(kOpenDialogSqDg);
  if (!file) return;
  GenerateAndOpen("sq" + file->filename().string(), FileLines(*file));
}

// ---- DgDoc page

void TFrmMain::ReloadAvailableDiagrams() {
  diagrams::TMMDiagramExplorer& explorer = StartedExplorer();
  std::vector<std::string> names;
  explorer.GetDiagramNames(names);
  lbxDiagramsAvailable.SetItems(std::move(names));
  const int current = lbxDiagramsAvailable.IndexOfIgnoringCase(explorer.GetCurDiagramName());
  if (current >= 0)
    lbxDiagramsAvailable.SetSelected(current, true);
  else
    lbxDiagramsAvailable.SelectAll();
}

void TFrmMain::spbtReloadDiagramsClick() {
  lbxDiagramsSelected.Clear();
  ReloadAvailableDiagrams();
}

void TFrmMain::lbxDiagramsAvailableMouseUp() {
  const int focused = lbxDiagramsAvailable.ItemIndex();
  if (focused >= 0) StartedExplorer().GoToDiagramByName(lbxDiagramsAvailable.Items()[std::size_t(focused)]);
}

void TFrmMain::MoveSelected(platform::ListBox& from, platform::ListBox& to) {
  std::vector<std::string> moving;
  for (int i = 0; i < from.Count(); ++i)
    if (from.Selected(i)) moving.push_back(from.Items()[std::size_t(i)]);
  for (const auto& name : moving) {
    to.Add(name);
    if (const int at = from.IndexOfIgnoringCase(name); at >= 0) from.Delete(at);
  }
}

void TFrmMain::MoveAll(platform::ListBox& from, platform::ListBox& to) {
  for (const auto& name : from.Items()) to.Add(name);
  from.Clear();
}

void TFrmMain::btAddSelectedClick() { MoveSelected(lbxDiagramsAvailable, lbxDiagramsSelected); }
void TFrmMain::btAddAllClick() { MoveAll(lbxDiagramsAvailable, lbxDiagramsSelected); }
void TFrmMain::btRemoveSelectedClick() { MoveSelected(lbxDiagramsSelected, lbxDiagramsAvailable); }
void TFrmMain::btRemoveAllClick() { MoveAll(lbxDiagramsSelected, lbxDiagramsAvailable); }

void TFrmMain::rgDestinationClick() {
  const bool printer = rgDestination.ItemIndex() == 2;
  if (!printer) cbWithDiagrams.SetChecked(false);
  cbWithDiagrams.SetEnabled(printer);
}

void TFrmMain::btExtractDocClick() {
  diagrams::TMMDiagramExplorer& explorer = StartedExplorer();
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
