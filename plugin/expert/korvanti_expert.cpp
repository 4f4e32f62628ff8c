#include "korvanti_expert.h"

#include <iterator>
#include <stdexcept>

#include "diagram_explorer.h"
#include "drvx/platform/dialogs.h"
#include "plugin_context.h"

namespace drvx::expert {
namespace {

struct Verb {
  const char16_t* caption;
  const char* shortcut;
  host::TMenuPlacement placement;
  void (TKorvantiExpertInterface::*action)();
};

using E = TKorvantiExpertInterface;

const Verb kVerbs[] = {
    {u"DRVX -> Generate Header", "Alt+h", host::ToolsMenu, &E::GenerateHeader},
    {u"DRVX -> Add Try/Except to current method", "Alt+e", host::ToolsMenu, &E::AddTryExcept},
    {u"DRVX -> Show", "Alt+q", host::ToolsMenu, &E::Show},
    {u"DRVX -> Diagram References", "Alt+d", host::DiagramEditorMenu, &E::DiagramReferences},
    {u"DRVX -> Member References", "Alt+r", host::ToolsMenu, &E::MemberReferences},
    {u"DRVX -> Locate Class", "Alt+c", host::ToolsMenu, &E::LocateClass},
    {u"DRVX -> Add Default Folders", "Alt+f", host::ToolsMenu, &E::AddDefaultFolders},
    {u"DRVX -> Add Current Method to Seq. List", "Alt+m", host::ToolsMenu,
     &E::AddCurrentMethodToSequenceList},
    {u"DRVX -> Look up referencing methods", "Alt+y", host::ToolsMenu,
     &E::LookUpReferencingMethods},
    {u"DRVX -> print Diagram with documentation", "Alt+p", host::ToolsMenu,
     &E::PrintDiagramWithDocumentation},
    {u"DRVX -> create copy constructor and clone method", "Alt+k", host::ToolsMenu,
     &E::CreateCopyConstructorAndClone},
};

constexpr int kVerbCount = int(std::size(kVerbs));

const Verb* VerbAt(int index) { return index >= 0 && index < kVerbCount ? &kVerbs[index] : nullptr; }

}  // namespace

std::uint16_t ShortcutValue(const std::string& text) {
  std::uint16_t value = 0;
  std::size_t start = 0;
  for (std::size_t plus = text.find('+'); plus != std::string::npos;
       start = plus + 1, plus = text.find('+', start)) {
    const std::string modifier = text.substr(start, plus - start);
    if (modifier == "Alt") value |= host::MMShortcutAlt;
    else if (modifier == "Ctrl") value |= host::MMShortcutCtrl;
    else if (modifier == "Shift") value |= host::MMShortcutShift;
  }
  if (start < text.size()) {
    char key = text[start];
    if (key >= 'a' && key <= 'z') key = char(key - 'a' + 'A');
    value |= static_cast<std::uint8_t>(key);
  }
  return value;
}

PluginContext& TKorvantiExpertInterface::Context() const {
  if (!context_) throw std::runtime_error("the Dravolex plug-in has been shut down");
  return *context_;
}

host::TMenuPlacement TKorvantiExpertInterface::GetMenuPlacement(int index) {
  const Verb* verb = VerbAt(index);
  return verb ? verb->placement : host::ToolsMenu;
}

std::uint16_t TKorvantiExpertInterface::GetShortCut(int index) {
  const Verb* verb = VerbAt(index);
  return verb ? ShortcutValue(verb->shortcut) : 0;
}

int TKorvantiExpertInterface::GetVerbCount() { return kVerbCount; }

std::u16string TKorvantiExpertInterface::GetVerbCaption(int index) {
  const Verb* verb = VerbAt(index);
  return verb ? verb->caption : u"";
}

std::u16string TKorvantiExpertInterface::GetExpertId() { return u"KorvantiExperts"; }

void TKorvantiExpertInterface::ExecuteVerb(int index) {
  if (const Verb* verb = VerbAt(index)) return (this->*verb->action)();
  TMMBaseExpert::ExecuteVerb(index);
}

void TKorvantiExpertInterface::ShowMainWindowOn(platform::TabSheet& page) {
  ui::TFrmMain& window = Context().MainWindow();
  window.Show();
  window.PgctrlMain.SetActivePage(page);
}

void TKorvantiExpertInterface::GenerateHeader() { Context().Functions().GenerateHeader(); }

void TKorvantiExpertInterface::AddTryExcept() { Context().Functions().AddTryExcept(); }

void TKorvantiExpertInterface::Show() { Context().MainWindow().Show(); }

void TKorvantiExpertInterface::DiagramReferences() {
  ui::TFrmMain& window = Context().MainWindow();
  ShowMainWindowOn(window.tbsReference);
  window.References.SpBtSearchHyperLinksCurrentDiagram.OnClick();
}

void TKorvantiExpertInterface::MemberReferences() {
  ui::TFrmMain& window = Context().MainWindow();
  ShowMainWindowOn(window.tbsReference);
  window.References.SpBtSearchHyperLinksCurrentMember.OnClick();
}

void TKorvantiExpertInterface::LocateClass() {
  PluginContext& context = Context();
  ui::TClassLocatorDlg& dialog = context.ClassLocator();
  dialog.cbxClassLocator.Clear();
  for (const host::Class& cls : context.Services().Model().AllClasses())
    dialog.cbxClassLocator.Add(cls.Name());
  dialog.ShowModal();
  if (dialog.FResult != platform::kModalOk) return;
  const std::string name = dialog.cbxClassLocator.Text();
  if (!context.Functions().LocateClass(name))
    platform::CurrentDialogs().ShowMessage(platform::MessageKind::Warning,
                                           "Class \"" + name + "\" could not be found");
}

void TKorvantiExpertInterface::AddDefaultFolders() {
  platform::CurrentDialogs().ShowMessage(platform::MessageKind::Warning,
                                         "GenerateDefaultFolderSet is no longer supportet");
}

void TKorvantiExpertInterface::AddCurrentMethodToSequenceList() {
  PluginContext& context = Context();
  const host::Navigator nav = context.Services().Nav();
  std::string line;
  if (const host::Class cls = nav.CurrentClass()) line = cls.Name();
  if (const host::Member member = nav.CurrentMember()) line += "." + member.Name();
  context.MainWindow().Sequences.SequencesMemo.AddLine(line);
}

void TKorvantiExpertInterface::LookUpReferencingMethods() {
  ui::TFrmMain& window = Context().MainWindow();
  ShowMainWindowOn(window.tbsMethodRef);
  std::vector<std::string> lines;
  Context().Functions().LookUpReferencingMethods(lines);
  window.MethodRef.lbxMethodRef.SetItems(std::move(lines));
}

void TKorvantiExpertInterface::PrintDiagramWithDocumentation() {
  PluginContext& context = Context();
  diagrams::TMMDiagramExplorer explorer(context.Services(), &context.Settings());
  explorer.PrintCurrentDiagramWithDocumentation();
}

void TKorvantiExpertInterface::CreateCopyConstructorAndClone() {
  Context().Functions().CreateCopyConstructorAndClone();
}

}  // namespace drvx::expert
