#include "main_window.h"

#include "drvx/platform/dialogs.h"
#include "exception_report.h"
#include "info_window.h"

namespace drvx::ui {

TFrmMain::TFrmMain(host::Services services)
    : Form("FrmMain", "Zerurirad Modelling Expert"), FToolServices(std::move(services)) {
  for (auto* page : {&tbsReference, &tbsDgGroups, &tbsSequences, &tbsStatistik, &tbsMethodRef,
                     &tbsDiagramDoc, &tbsSettings})
    PgctrlMain.AddPage(*page);
  tbsDgGroups.SetTabVisible(false);
  PgctrlMain.SetActivePage(tbsSettings);
  platform::SetHintHidePause(kHintHidePauseMs);
  Wire();
  DeclareLayout();
}

TFrmMain::~TFrmMain() {
  FWorkers.explorer.reset();
  FWorkers.groupManager.reset();
  FWorkers.functions.reset();
}

void TFrmMain::DeclareLayout() {
  using platform::Placement;
  // The "Tasks" menu, the tool bar, then the pages.
  for (platform::Control* item :
       std::initializer_list<platform::Control*>{&ValidateNames1, &MakeSeqenceDiagram1,
                                                 &FindStringInModel1, &About1, &GuiHide})
    item->PlaceIn(&AutoDiagramming1, Placement::MenuItem);
  TbMain.PlaceIn(nullptr, Placement::NewRow);
  TbMain.SetCaptionShown(false);  // a tool bar: "MainToolBar" is no text for people
  btHide.PlaceIn(&TbMain, Placement::Inline);
  pnlNames.PlaceIn(&TbMain, Placement::Inline);
  PgctrlMain.PlaceIn(nullptr, Placement::Fill);
  for (Page* page : FPages) page->Place();
}

void TFrmMain::Wire() {
  std::vector<EventRow> events{
      DRVX_ON(OnActivate, FormActivate),
      DRVX_ON(OnClose, FormClose),
      DRVX_ON(PgctrlMain.OnChange, PgctrlMainChange),
      DRVX_CLICK(btHide),
      DRVX_CLICK(GuiHide),
      DRVX_CLICK(About1),
  };
  std::vector<MouseMoveRow> mouseMoves{DRVX_MOUSE_MOVE(pnlNames)};
  for (Page* page : FPages) {
    for (EventRow& row : page->Events()) events.push_back(std::move(row));
    for (MouseMoveRow& row : page->MouseMoves()) mouseMoves.push_back(std::move(row));
  }
  for (EventRow& row : events)
    row.event = [this, handler = row.handler, guard = row.guard, body = std::move(row.body)] {
      Run(handler, guard, body);
    };
  for (MouseMoveRow& row : mouseMoves)
    row.event = [this, handler = row.handler, body = std::move(row.body)](int x, int y) {
      Run(handler, Guard::MessageBox, [&] { body(x, y); });
    };
}

void TFrmMain::Run(const char* handler, Guard guard, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    if (guard == Guard::Report) {
      FExMsg = host::ReportException("TFrmMain", handler, error);
    } else {
      platform::CurrentDialogs().ShowMessage(platform::MessageKind::Error, error.what());
    }
  }
}

void TFrmMain::FormActivate() {
  if (FFirstActivation) {
    ContextStartup();
    FFirstActivation = false;
  }
  if (!FWorkers.groupManager->Initialized()) FWorkers.groupManager->ConnectProject();
}

void TFrmMain::FormClose() { Hide(); }

void TFrmMain::ContextStartup() {
  if (!FExpertSettings)
    throw std::runtime_error("TFrmMain.ContextStartup : ExpertSettings are not assigned");
  DgGroups.cbxDgGroupSelect.SetSorted(true);
  FWorkers.explorer = std::make_unique<diagrams::TMMDiagramExplorer>(FToolServices, FExpertSettings);
  FWorkers.groupManager =
      std::make_unique<groups::TDiagramGroupManager>(FToolServices, FProjectNotifier);
  FWorkers.groupManager->SetControls(DgGroups.cbxDgGroupSelect, DgGroups.lbxDgGroupMemberList);
  FWorkers.functions = std::make_unique<codegen::TExpertFunctions>(FToolServices, *FExpertSettings);
  Settings.Load(*FExpertSettings);
}

void TFrmMain::PgctrlMainChange() {
  const platform::TabSheet* page = PgctrlMain.ActivePage();
  if (page == &tbsReference)
    References.SpBtSearchHyperLinksCurrentDiagram.OnClick();
  else if (page == &tbsDiagramDoc)
    DgDoc.ReloadAvailableDiagrams();
  else if (Sequences.lbxSequencesSource.Count() == 0)
    Sequences.FillMethodList();
}

void TFrmMain::btHideClick() { Minimize(); }

void TFrmMain::GuiHideClick() { Close(); }

void TFrmMain::About1Click() {
  TKorvantiInfoFrm info;
  info.Timer1.SetInterval(10000);
  info.ShowModal();
}

void TFrmMain::pnlNamesMouseMove(int, int) { pnlNames.SetHint(pnlNames.Caption()); }

}  // namespace drvx::ui
