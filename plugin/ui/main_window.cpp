#include "main_window.h"

#include "drvx/platform/clipboard.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/text.h"
#include "exception_report.h"
#include "info_window.h"

namespace drvx::ui {

const TFrmMain::PrefixEdit TFrmMain::kPrefixEdits[10] = {
    {&TFrmMain::edClassDiagramPrefix, &settings::TExpertSettings::ClassDiagramPrefix},
    {&TFrmMain::edSequenceDiagramPrefix, &settings::TExpertSettings::SequenceDiagramPrefix},
    {&TFrmMain::edUseCaseDiagramPrefix, &settings::TExpertSettings::UseCaseDiagramPrefix},
    {&TFrmMain::edDependencyDiagramPrefix, &settings::TExpertSettings::DependencyDiagramPrefix},
    {&TFrmMain::edActivityDiagramPrefix, &settings::TExpertSettings::ActivityDiagramPrefix},
    {&TFrmMain::edStateDiagramPrefix, &settings::TExpertSettings::StateDiagramPrefix},
    {&TFrmMain::edImplementationDiagramPrefix,
     &settings::TExpertSettings::ImplementationDiagramPrefix},
    {&TFrmMain::edMindMapDiagramPrefix, &settings::TExpertSettings::MindMapDiagramPrefix},
    {&TFrmMain::edCollaborationDiagramPrefix,
     &settings::TExpertSettings::CollaborationDiagramPrefix},
    {&TFrmMain::edRobustnesDiagramPrefix, &settings::TExpertSettings::RobustnessDiagramPrefix},
};

TFrmMain::TFrmMain() : Form("FrmMain", "Zerurirad Modelling Expert") {
  for (auto* page : {&tbsReference, &tbsDgGroups, &tbsSequences, &tbsStatistik, &tbsMethodRef,
                     &tbsDiagramDoc, &tbsSettings})
    PgctrlMain.AddPage(*page);
  tbsDgGroups.SetTabVisible(false);
  PgctrlMain.SetActivePage(tbsSettings);
  SpBtSearchHyperLinksCurrentMember.SetHint("locate diagrams referencing current member");
  SpBtSearchHyperLinksCurrentDiagram.SetHint("locate diagrams referencing current diagram");
  SpeedButton2.SetHint("add diagrams as links to current diagram");
  lbxSequencesSource.SetSorted(true);
  lbxDiagramsAvailable.SetSorted(true);
  lbxDiagramsAvailable.SetMultiSelect(true);
  lbxDiagramsSelected.SetMultiSelect(true);
  rgDestination.SetItems({"Clipboard", "File", "Printer"});
  rgDestination.SetItemIndex(0);
  cbWithDiagrams.SetEnabled(false);
  cbOneLiner.SetChecked(true);
  cbIgnoreEmptySymbols.SetChecked(true);
  platform::SetHintHidePause(kHintHidePauseMs);
  Wire();
  DeclareLayout();
}

void TFrmMain::DeclareLayout() {
  using platform::Placement;
  // The "Tasks" menu, the tool bar, then the pages.
  for (platform::Control* item :
       std::initializer_list<platform::Control*>{&ValidateNames1, &MakeSeqenceDiagram1,
                                                 &FindStringInModel1, &About1, &GuiHide})
    item->PlaceIn(&AutoDiagramming1, Placement::MenuItem);
  TbMain.PlaceIn(nullptr, Placement::NewRow);
  btHide.PlaceIn(&TbMain, Placement::Inline);
  pnlNames.PlaceIn(&TbMain, Placement::Inline);
  PgctrlMain.PlaceIn(nullptr, Placement::Fill);
  // Rows of the pages: the placement of a row's first control (NewRow, or
  // Fill for a row that takes the room to spare), then its controls.
  struct Row {
    platform::TabSheet* page;
    Placement start;
    std::initializer_list<platform::Control*> controls;
  };
  const Row rows[] = {
      {&tbsReference, Placement::NewRow,
       {&SpBtSearchHyperLinksCurrentMember, &SpBtSearchHyperLinksCurrentDiagram,
        &SpBtSearchHyperLinksCurrentClass, &SpeedButton1, &SpeedButton2}},
      {&tbsReference, Placement::Fill, {&LbxReferences}},
      {&tbsDgGroups, Placement::NewRow,
       {&cbxDgGroupSelect, &spBtNewGroup, &spBtDeleteGroup, &spBtLoadGroup, &spBtSaveGroup}},
      {&tbsDgGroups, Placement::Fill, {&lbxDgGroupMemberList}},
      {&tbsDgGroups, Placement::NewRow, {&spBtInsCurDg, &spBtDelCurDg}},
      {&tbsSequences, Placement::NewRow,
       {&btReload, &btLoadFromFile, &btFileSave, &SpeedButton3, &Button1}},
      {&tbsSequences, Placement::Fill, {&lbxSequencesSource, &btMoveMsg, &SequencesMemo}},
      {&tbsStatistik, Placement::NewRow, {&spbtRefreshStatistic, &lbDgCountCaption, &lbDgCount}},
      {&tbsStatistik, Placement::Fill, {&lbxInvalidDGMembers}},
      {&tbsMethodRef, Placement::Fill, {&lbxMethodRef}},
      {&tbsDiagramDoc, Placement::NewRow, {&spbtReloadDiagrams}},
      {&tbsDiagramDoc, Placement::Fill,
       {&lbxDiagramsAvailable, &btAddSelected, &btAddAll, &btRemoveSelected, &btRemoveAll,
        &lbxDiagramsSelected}},
      {&tbsDiagramDoc, Placement::NewRow,
       {&rgDestination, &cbWithDiagrams, &cbOneLiner, &cbIgnoreEmptySymbols, &btExtractDoc}},
      {&tbsSettings, Placement::NewRow, {&btnSaveSettings, &cbCreateLocalMembers}},
  };
  for (const Row& row : rows) {
    Placement placement = row.start;
    for (platform::Control* control : row.controls) {
      control->PlaceIn(row.page, placement);
      placement = Placement::Inline;
    }
  }
  // The settings: one labelled row per prefix, then the two memos.
  const std::pair<platform::Edit*, const char*> prefixes[] = {
      {&edClassDiagramPrefix, "Class diagrams"},
      {&edSequenceDiagramPrefix, "Sequence diagrams"},
      {&edUseCaseDiagramPrefix, "Use case diagrams"},
      {&edDependencyDiagramPrefix, "Dependency diagrams"},
      {&edActivityDiagramPrefix, "Activity diagrams"},
      {&edStateDiagramPrefix, "State diagrams"},
      {&edImplementationDiagramPrefix, "Implementation diagrams"},
      {&edMindMapDiagramPrefix, "Mind maps"},
      {&edCollaborationDiagramPrefix, "Collaboration diagrams"},
      {&edRobustnesDiagramPrefix, "Robustness diagrams"},
  };
  for (const auto& [edit, label] : prefixes) edit->PlaceIn(&tbsSettings, Placement::NewRow, label);
  memoExceptionCode.PlaceIn(&tbsSettings, Placement::Fill, "Exception code");
  memoLocalFields.PlaceIn(&tbsSettings, Placement::Fill, "Local fields");
}

TFrmMain::~TFrmMain() {
  FExplorer.reset();
  FGroupManager.reset();
  FSymbolNames.clear();
  FFunctions.reset();
}

namespace {

// Which event of the window a handler answers.
using EventSlot = std::function<void()>& (*)(TFrmMain&);
using MouseSlot = std::function<void(int, int)>& (*)(TFrmMain&);

struct EventWiring {
  EventSlot event;
  const char* handler;
  void (TFrmMain::*method)();
};

struct MouseWiring {
  MouseSlot event;
  const char* handler;
  void (TFrmMain::*method)(int x, int y);
};

#define DRVX_EVENT(event, method) \
  {[](TFrmMain& f) -> std::function<void()>& { return f.event; }, #method, &TFrmMain::method}
#define DRVX_CLICK(control) DRVX_EVENT(control.OnClick, control##Click)
#define DRVX_MOUSE_MOVE(control)                                                        \
  {[](TFrmMain& f) -> std::function<void(int, int)>& { return f.control.OnMouseMove; }, \
   #control "MouseMove", &TFrmMain::control##MouseMove}

const EventWiring kEvents[] = {
    DRVX_EVENT(OnActivate, FormActivate),
    DRVX_EVENT(OnClose, FormClose),
    DRVX_EVENT(PgctrlMain.OnChange, PgctrlMainChange),
    DRVX_CLICK(btnSaveSettings),
    DRVX_CLICK(btHide),
    DRVX_CLICK(GuiHide),
    DRVX_CLICK(About1),
    // References
    DRVX_CLICK(SpBtSearchHyperLinksCurrentMember),
    DRVX_CLICK(SpBtSearchHyperLinksCurrentDiagram),
    DRVX_CLICK(SpBtSearchHyperLinksCurrentClass),
    DRVX_CLICK(LbxReferences),
    DRVX_CLICK(SpeedButton1),
    DRVX_CLICK(SpeedButton2),
    // DgGroups
    DRVX_CLICK(spBtNewGroup),
    DRVX_CLICK(spBtDeleteGroup),
    DRVX_CLICK(spBtLoadGroup),
    DRVX_CLICK(spBtSaveGroup),
    DRVX_CLICK(spBtInsCurDg),
    DRVX_CLICK(spBtDelCurDg),
    // Sequences
    DRVX_EVENT(lbxSequencesSource.OnDblClick, AddAndShowMethod),
    DRVX_CLICK(btReload),
    DRVX_CLICK(btMoveMsg),
    DRVX_CLICK(btLoadFromFile),
    DRVX_CLICK(btFileSave),
    DRVX_CLICK(SpeedButton3),
    DRVX_CLICK(Button1),
    DRVX_CLICK(MakeSeqenceDiagram1),
    // Statistik, Method Referencing, Tasks
    DRVX_CLICK(spbtRefreshStatistic),
    DRVX_CLICK(ValidateNames1),
    DRVX_CLICK(FindStringInModel1),
    DRVX_CLICK(lbxMethodRef),
    // DgDoc
    DRVX_CLICK(spbtReloadDiagrams),
    DRVX_EVENT(lbxDiagramsAvailable.OnMouseUp, lbxDiagramsAvailableMouseUp),
    DRVX_CLICK(btAddSelected),
    DRVX_CLICK(btAddAll),
    DRVX_CLICK(btRemoveSelected),
    DRVX_CLICK(btRemoveAll),
    DRVX_CLICK(rgDestination),
    DRVX_CLICK(btExtractDoc),
};

const MouseWiring kMouseMoves[] = {
    DRVX_MOUSE_MOVE(pnlNames),
    DRVX_MOUSE_MOVE(SpBtSearchHyperLinksCurrentMember),
    DRVX_MOUSE_MOVE(SpBtSearchHyperLinksCurrentDiagram),
    DRVX_MOUSE_MOVE(SpBtSearchHyperLinksCurrentClass),
    DRVX_MOUSE_MOVE(LbxReferences),
};

#undef DRVX_MOUSE_MOVE
#undef DRVX_CLICK
#undef DRVX_EVENT

std::runtime_error NotStarted() {
  return std::runtime_error("the window FrmMain has not been shown yet; show it first");
}

}  // namespace

// Every handler runs under the general error display; the guarded ones catch
// their own errors first.
void TFrmMain::Wire() {
  for (const EventWiring& w : kEvents)
    w.event(*this) = [this, &w] { Handle(w.handler, false, [this, &w] { (this->*w.method)(); }); };
  for (const MouseWiring& w : kMouseMoves)
    w.event(*this) = [this, &w](int x, int y) {
      Handle(w.handler, false, [this, &w, x, y] { (this->*w.method)(x, y); });
    };
}

void TFrmMain::Handle(const char* handler, bool guarded, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    if (guarded) {
      FExMsg = host::ReportException("TFrmMain", handler, error);
    } else {
      platform::CurrentDialogs().ShowMessage(platform::MessageKind::Error, error.what());
    }
  }
}

diagrams::TMMDiagramExplorer& TFrmMain::StartedExplorer() const {
  if (!FExplorer) throw NotStarted();
  return *FExplorer;
}

groups::TDiagramGroupManager& TFrmMain::StartedGroupManager() const {
  if (!FGroupManager) throw NotStarted();
  return *FGroupManager;
}

codegen::TExpertFunctions& TFrmMain::StartedFunctions() const {
  if (!FFunctions) throw NotStarted();
  return *FFunctions;
}

void TFrmMain::FormActivate() {
  if (FFirstActivation) {
    ContextStartup();
    FFirstActivation = false;
  }
  if (!FGroupManager->Initialized()) FGroupManager->ConnectProject();
}

void TFrmMain::FormClose() { Hide(); }

void TFrmMain::ContextStartup() {
  if (!FExpertSettings)
    throw std::runtime_error("TFrmMain.ContextStartup : ExpertSettings are not assigned");
  cbxDgGroupSelect.SetSorted(true);
  FSymbolNames.clear();
  FExplorer = std::make_unique<diagrams::TMMDiagramExplorer>(FExpertSettings);
  FToolServices = host::Services();
  FGroupManager = std::make_unique<groups::TDiagramGroupManager>(FProjectNotifier);
  FGroupManager->SetControls(cbxDgGroupSelect, lbxDgGroupMemberList);
  FFunctions = std::make_unique<codegen::TExpertFunctions>(*FExpertSettings);
  for (const auto& p : kPrefixEdits) (this->*p.edit).SetText(FExpertSettings->*p.field);
  memoExceptionCode.SetText(FExpertSettings->ExceptionCode);
  memoLocalFields.SetText(FExpertSettings->LocalFields);
  cbCreateLocalMembers.SetChecked(FExpertSettings->CreateLocalMembers);
}

void TFrmMain::PgctrlMainChange() {
  const platform::TabSheet* page = PgctrlMain.ActivePage();
  if (page == &tbsReference)
    SpBtSearchHyperLinksCurrentDiagramClick();
  else if (page == &tbsDiagramDoc)
    ReloadAvailableDiagrams();
  else if (lbxSequencesSource.Count() == 0)
    FillMethodList();
}

void TFrmMain::btnSaveSettingsClick() {
  if (FFirstActivation)
    throw std::runtime_error(
        "the settings were not saved: the window FrmMain has not been shown yet, so it does not "
        "hold them");
  for (const auto& p : kPrefixEdits) FExpertSettings->*p.field = (this->*p.edit).Text();
  FExpertSettings->ExceptionCode = memoExceptionCode.Text();
  FExpertSettings->LocalFields = memoLocalFields.Text();
  FExpertSettings->CreateLocalMembers = cbCreateLocalMembers.Checked();
  FExpertSettings->SaveSettings();
}

void TFrmMain::btHideClick() { Minimize(); }

void TFrmMain::GuiHideClick() { Close(); }

void TFrmMain::About1Click() {
  TKorvantiInfoFrm info;
  info.Timer1.SetInterval(10000);
  info.ShowModal();
}

void TFrmMain::pnlNamesMouseMove(int, int) { pnlNames.SetHint(pnlNames.Caption()); }

// ---- References page

void TFrmMain::ShowSearch(void (diagrams::TMMDiagramExplorer::*search)(diagrams::Lines&,
                                                                        diagrams::Lines&)) {
  diagrams::Lines result;
  (StartedExplorer().*search)(result, FSymbolNames);
  LbxReferences.SetItems(result);
  pnlNames.SetCaption(result.empty() ? "---" : FSymbolNames.at(0));
}

void TFrmMain::SpBtSearchHyperLinksCurrentMemberClick() {
  Handle("SpBtSearchHyperLinksCurrentMemberClick", true,
         [this] { ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentMemberReferences); });
}

void TFrmMain::SpBtSearchHyperLinksCurrentDiagramClick() {
  Handle("SpBtSearchHyperLinksCurrentDiagramClick", true, [this] {
    SpBtSearchHyperLinksCurrentDiagram.SetHint(StartedExplorer().GetCurDiagramName());
    SpBtSearchHyperLinksCurrentDiagram.SetShowHint(true);
    ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentDiagramReferences);
  });
}

void TFrmMain::SpBtSearchHyperLinksCurrentClassClick() {
  Handle("SpBtSearchHyperLinksCurrentClassClick", true,
         [this] { ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentClassReferences); });
}

void TFrmMain::RefreshHint(platform::Button& button, const char* label, std::string name) {
  button.SetHint(label + name);
  button.SetShowHint(true);
}

void TFrmMain::SpBtSearchHyperLinksCurrentMemberMouseMove(int, int) {
  RefreshHint(SpBtSearchHyperLinksCurrentMember, "Current Member: ",
              StartedExplorer().GetCurMemberName());
}

void TFrmMain::SpBtSearchHyperLinksCurrentDiagramMouseMove(int, int) {
  RefreshHint(SpBtSearchHyperLinksCurrentDiagram, "Current Diagram: ",
              StartedExplorer().GetCurDiagramName());
}

void TFrmMain::SpBtSearchHyperLinksCurrentClassMouseMove(int, int) {
  RefreshHint(SpBtSearchHyperLinksCurrentClass, "Current Class: ",
              StartedExplorer().GetCurClassName());
}

void TFrmMain::LbxReferencesClick() {
  Handle("LbxReferencesClick", true, [this] {
    const int i = LbxReferences.ItemIndex();
    if (i < 0) return;
    StartedExplorer().GoToDiagram(i);
    if (std::size_t(i) >= FSymbolNames.size())
      throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
    pnlNames.SetCaption(FSymbolNames[std::size_t(i)]);
  });
}

void TFrmMain::LbxReferencesMouseMove(int, int y) {
  // The row counts from the list's top edge; the scroll position is not added.
  const std::string name = StartedExplorer().GetDiagramName(y / LbxReferences.RowHeight());
  LbxReferences.SetHint(name);
  LbxReferences.SetShowHint(!name.empty());
}

void TFrmMain::SpeedButton1Click() {
  platform::CurrentClipboard().SetText(platform::JoinLines(LbxReferences.Items()));
}

void TFrmMain::SpeedButton2Click() { StartedExplorer().AddLink(); }

// ---- DgGroups page

void TFrmMain::GroupCommand(void (groups::TDiagramGroupManager::*command)()) {
  (StartedGroupManager().*command)();
}

void TFrmMain::spBtNewGroupClick() { GroupCommand(&groups::TDiagramGroupManager::NewGroupCommand); }
void TFrmMain::spBtDeleteGroupClick() {
  GroupCommand(&groups::TDiagramGroupManager::DeleteCurrentGroup);
}
void TFrmMain::spBtLoadGroupClick() { GroupCommand(&groups::TDiagramGroupManager::LoadCommand); }
void TFrmMain::spBtSaveGroupClick() { GroupCommand(&groups::TDiagramGroupManager::SaveCommand); }
void TFrmMain::spBtInsCurDgClick() {
  GroupCommand(&groups::TDiagramGroupManager::InsertCurrentDiagram);
}
void TFrmMain::spBtDelCurDgClick() {
  GroupCommand(&groups::TDiagramGroupManager::DeleteSelectedMember);
}

// ---- Statistik page, ValidateNames

void TFrmMain::spbtRefreshStatisticClick() {
  lbDgCount.SetCaption(std::to_string(StartedExplorer().GetDiagramCount()));
  std::vector<std::string> invalid;
  StartedGroupManager().GetInvalidMembers(invalid);
  std::vector<std::string> lines{"Invalid DGMembers:", "=================="};
  lines.insert(lines.end(), invalid.begin(), invalid.end());
  lbxInvalidDGMembers.SetItems(std::move(lines));
}

void TFrmMain::ValidateNames1Click() {
  groups::TDiagramGroupManager& groups = StartedGroupManager();
  groups.SaveCurrentGroups();
  StartedExplorer().ValidateDiagramNames();
  groups.ConnectProject();
}

// ---- Method Referencing page

void TFrmMain::FindStringInModel1Click() {
  codegen::TExpertFunctions& functions = StartedFunctions();
  const auto text = platform::CurrentDialogs().InputBox("String Finder", "Enter String:", "");
  if (!text) return;
  std::vector<std::string> lines;
  functions.FindStringInModel(lines, *text);
  lbxMethodRef.SetItems(std::move(lines));
}

void TFrmMain::lbxMethodRefClick() {
  const int i = lbxMethodRef.ItemIndex();
  if (i < 0) return;
  StartedFunctions().ShowReferencedMember(lbxMethodRef.Items()[std::size_t(i)]);
}

}  // namespace drvx::ui
