#include "korvanti_expert.h"

#include "diagram_explorer.h"
#include "diagram_generator.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/text.h"
#include "info_window.h"

namespace drvx::expert {
namespace {

struct Verb {
  const char16_t* caption;
  const char* shortcut;
  mmapi::TMenuPlacement placement;
};

constexpr Verb kVerbs[11] = {
    {u"DRVX -> Generate Header", "Alt+h", mmapi::ToolsMenu},
    {u"DRVX -> Add Try/Except to current method", "Alt+e", mmapi::ToolsMenu},
    {u"DRVX -> Show", "Alt+q", mmapi::ToolsMenu},
    {u"DRVX -> Diagram References", "Alt+d", mmapi::DiagramEditorMenu},
    {u"DRVX -> Member References", "Alt+r", mmapi::ToolsMenu},
    {u"DRVX -> Locate Class", "Alt+c", mmapi::ToolsMenu},
    {u"DRVX -> Add Default Folders", "Alt+f", mmapi::ToolsMenu},
    {u"DRVX -> Add Current Method to Seq. List", "Alt+m", mmapi::ToolsMenu},
    {u"DRVX -> Look up referencing methods", "Alt+y", mmapi::ToolsMenu},
    {u"DRVX -> print Diagram with documentation", "Alt+p", mmapi::ToolsMenu},
    {u"DRVX -> create copy constructor and clone method", "Alt+k", mmapi::ToolsMenu},
};

bool IsVerb(int index) { return index >= 0 && index < 11; }

}  // namespace

ui::TClassLocatorDlg* ClassLocatorDlg = nullptr;

std::uint16_t ShortcutValue(const std::string& text) {
  std::uint16_t value = 0;
  std::size_t start = 0;
  for (std::size_t plus = text.find('+'); plus != std::string::npos;
       start = plus + 1, plus = text.find('+', start)) {
    const std::string modifier = text.substr(start, plus - start);
    if (modifier == "Alt") value |= mmapi::MMShortcutAlt;
    else if (modifier == "Ctrl") value |= mmapi::MMShortcutCtrl;
    else if (modifier == "Shift") value |= mmapi::MMShortcutShift;
  }
  if (start < text.size()) {
    char key = text[start];
    if (key >= 'a' && key <= 'z') key = char(key - 'a' + 'A');
    value |= static_cast<std::uint8_t>(key);
  }
  return value;
}

TKorvantiExpertInterface::TKorvantiExpertInterface()
    : TKorvantiExpertInterface(platform::ExecutablePath()) {}

TKorvantiExpertInterface::TKorvantiExpertInterface(const std::filesystem::path& hostExecutable)
    : FSettings(std::make_unique<settings::TExpertSettings>(hostExecutable)) {
  FFunctions = std::make_unique<codegen::TExpertFunctions>(*FSettings);
  FFrmMain = std::make_unique<ui::TFrmMain>();
  ClassLocatorDlg = new ui::TClassLocatorDlg();
  FFrmMain->SetExpertSettings(FSettings.get());
  {
    ui::TKorvantiInfoFrm info(hostExecutable);
    info.Timer1.SetInterval(1000);
    info.ShowModal();
  }
  FMailBox = std::make_unique<sequence::TZkMailBox>(true);
  FMailBox->SetBufferSize(0x10000);
  FMailBox->SetSlotName("MbDRVX");
  FMailBox->SetOnError([this](sequence::TZkMailBox& s, std::uint8_t c) { MailBoxError(s, c); });
  FMailBox->SetOnMessage(
      [this](sequence::TZkMailBox& s, settings::TTypeMemoryStream& m) { MailBoxMessage(s, m); });
  FMailBox->SetActive(true);
}

TKorvantiExpertInterface::~TKorvantiExpertInterface() {
  FFunctions.reset();
  FFrmMain.reset();
  delete ClassLocatorDlg;
  ClassLocatorDlg = nullptr;
  FMailBox.reset();
  FSettings.reset();
}

mmapi::TMenuPlacement TKorvantiExpertInterface::GetMenuPlacement(int index) {
  return index == 3 ? mmapi::DiagramEditorMenu : mmapi::ToolsMenu;
}

std::uint16_t TKorvantiExpertInterface::GetShortCut(int index) {
  return IsVerb(index) ? ShortcutValue(kVerbs[index].shortcut) : 0;
}

int TKorvantiExpertInterface::GetVerbCount() { return 11; }

std::u16string TKorvantiExpertInterface::GetVerbCaption(int index) {
  return IsVerb(index) ? kVerbs[index].caption : u"";
}

std::u16string TKorvantiExpertInterface::GetExpertId() { return u"KorvantiExperts"; }

void TKorvantiExpertInterface::ShowMainWindowOn(platform::TabSheet& page) {
  FFrmMain->Show();
  FFrmMain->PgctrlMain.SetActivePage(page);
}

void TKorvantiExpertInterface::ExecuteVerb(int index) {
  switch (index) {
    case 0: return FFunctions->GenerateHeader();
    case 1: return FFunctions->AddTryExcept();
    case 2: return FFrmMain->Show();
    case 3:
      ShowMainWindowOn(FFrmMain->tbsReference);
      return FFrmMain->SpBtSearchHyperLinksCurrentDiagramClick();
    case 4:
      ShowMainWindowOn(FFrmMain->tbsReference);
      return FFrmMain->SpBtSearchHyperLinksCurrentMemberClick();
    case 5: return LocateClass();
    case 6:
      return platform::CurrentDialogs().ShowMessage(
          platform::MessageKind::Warning, "GenerateDefaultFolderSet is no longer supportet");
    case 7: return AddCurrentMethodToSequenceList();
    case 8: {
      ShowMainWindowOn(FFrmMain->tbsMethodRef);
      std::vector<std::string> lines;
      FFunctions->LookUpReferencingMethods(lines);
      return FFrmMain->lbxMethodRef.SetItems(std::move(lines));
    }
    case 9: {
      diagrams::TMMDiagramExplorer explorer(FSettings.get());
      return explorer.PrintCurrentDiagramWithDocumentation();
    }
    case 10: return FFunctions->CreateCopyConstructorAndClone();
    default: return TMMBaseExpert::ExecuteVerb(index);
  }
}

void TKorvantiExpertInterface::LocateClass() {
  ui::TClassLocatorDlg& dialog = *ClassLocatorDlg;
  dialog.cbxClassLocator.Clear();
  const host::CodeModel model = host::Services().Model();
  const int classes = model.ClassCount();
  for (int i = 0; i < classes; ++i) dialog.cbxClassLocator.Add(model.Classes(i).Name());
  dialog.ShowModal();
  if (dialog.FResult != platform::kModalOk) return;
  const std::string name = dialog.cbxClassLocator.Text();
  if (!FFunctions->LocateClass(name))
    platform::CurrentDialogs().ShowMessage(platform::MessageKind::Warning,
                                           "Class \"" + name + "\" could not be found");
}

void TKorvantiExpertInterface::AddCurrentMethodToSequenceList() {
  const host::Navigator nav = host::Services().Nav();
  std::string line;
  if (const host::Class cls = nav.CurrentClass()) line = cls.Name();
  if (const host::Member member = nav.CurrentMember()) line += "." + member.Name();
  FFrmMain->SequencesMemo.AddLine(line);
}

void TKorvantiExpertInterface::MailBoxError(sequence::TZkMailBox&, std::uint8_t) {
  // Another receiver holds the slot: the plug-in works on without call stacks.
}

void TKorvantiExpertInterface::MailBoxMessage(sequence::TZkMailBox&,
                                              settings::TTypeMemoryStream& stream) {
  stream.SetPosition(0);
  std::string text(std::size_t(stream.Size()), '\0');
  stream.Read(text.data(), stream.Size());
  std::vector<std::string> lines = platform::SplitLines(text);
  sequence::TDiagramGenerator::InvertCallList(lines);
  sequence::TDiagramGenerator generator;
  generator.GenSqDg("sqDelphiCallStack", lines);
}

}  // namespace drvx::expert
