#include "main_window.h"

#include "drvx/platform/clipboard.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/text.h"
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
}

TFrmMain::~TFrmMain() {
  FExplorer.reset();
  FGroupManager.reset();
  FSymbolNames.clear();
  FFunctions.reset();
}

void TFrmMain::Wire() {
  OnActivate = [this] { Handle("FormActivate", false, [this] { FormActivate(); }); };
  PgctrlMain.OnChange = [this] { Handle("PgctrlMainChange", false, [this] { PgctrlMainChange(); }); };
  btnSaveSettings.OnClick = [this] {
    Handle("btnSaveSettingsClick", false, [this] { btnSaveSettingsClick(); });
  };
  btHide.OnClick = [this] { btHideClick(); };
  GuiHide.OnClick = [this] { GuiHideClick(); };
  OnClose = [this] { Hide(); };
  About1.OnClick = [this] { Handle("About1Click", false, [this] { About1Click(); }); };
  pnlNames.OnMouseMove = [this](int, int) { pnlNamesMouseMove(); };
  SpBtSearchHyperLinksCurrentMember.OnClick = [this] { SpBtSearchHyperLinksCurrentMemberClick(); };
  SpBtSearchHyperLinksCurrentDiagram.OnClick = [this] { SpBtSearchHyperLinksCurrentDiagramClick(); };
  SpBtSearchHyperLinksCurrentClass.OnClick = [this] { SpBtSearchHyperLinksCurrentClassClick(); };
  SpBtSearchHyperLinksCurrentMember.OnMouseMove = [this](int, int) {
    Handle("SpBtSearchHyperLinksCurrentMemberMouseMove", false,
           [this] { SpBtSearchHyperLinksCurrentMemberMouseMove(); });
  };
  SpBtSearchHyperLinksCurrentDiagram.OnMouseMove = [this](int, int) {
    Handle("SpBtSearchHyperLinksCurrentDiagramMouseMove", false,
           [this] { SpBtSearchHyperLinksCurrentDiagramMouseMove(); });
  };
  SpBtSearchHyperLinksCurrentClass.OnMouseMove = [this](int, int) {
    Handle("SpBtSearchHyperLinksCurrentClassMouseMove", false,
           [this] { SpBtSearchHyperLinksCurrentClassMouseMove(); });
  };
  LbxReferences.OnClick = [this] { LbxReferencesClick(); };
  LbxReferences.OnMouseMove = [this](int, int y) {
    Handle("LbxReferencesMouseMove", false, [this, y] { LbxReferencesMouseMove(y); });
  };
  SpeedButton1.OnClick = [this] { Handle("SpeedButton1Click", false, [this] { SpeedButton1Click(); }); };
  SpeedButton2.OnClick = [this] { Handle("SpeedButton2Click", false, [this] { SpeedButton2Click(); }); };
  spbtRefreshStatistic.OnClick = [this] {
    Handle("spbtRefreshStatisticClick", false, [this] { spbtRefreshStatisticClick(); });
  };
  ValidateNames1.OnClick = [this] {
    Handle("ValidateNames1Click", false, [this] { ValidateNames1Click(); });
  };
  FindStringInModel1.OnClick = [this] {
    Handle("FindStringInModel1Click", false, [this] { FindStringInModel1Click(); });
  };
  lbxMethodRef.OnClick = [this] { Handle("lbxMethodRefClick", false, [this] { lbxMethodRefClick(); }); };
  btReload.OnClick = [this] {
    Handle("btReloadClick", false, [this] {
      lbxSequencesSource.Clear();
      FillMethodList();
    });
  };
  spbtReloadDiagrams.OnClick = [this] {
    Handle("spbtReloadDiagramsClick", false, [this] {
      lbxDiagramsSelected.Clear();
      ReloadAvailableDiagrams();
    });
  };
  WirePages();
  auto groupCommand = [this](const char* name, void (groups::TDiagramGroupManager::*command)()) {
    return [this, name, command] {
      Handle(name, false, [this, command] {
        if (FGroupManager) (FGroupManager.get()->*command)();
      });
    };
  };
  spBtNewGroup.OnClick = groupCommand("spBtNewGroupClick", &groups::TDiagramGroupManager::NewGroupCommand);
  spBtDeleteGroup.OnClick =
      groupCommand("spBtDeleteGroupClick", &groups::TDiagramGroupManager::DeleteCurrentGroup);
  spBtLoadGroup.OnClick = groupCommand("spBtLoadGroupClick", &groups::TDiagramGroupManager::LoadCommand);
  spBtSaveGroup.OnClick = groupCommand("spBtSaveGroupClick", &groups::TDiagramGroupManager::SaveCommand);
  spBtInsCurDg.OnClick =
      groupCommand("spBtInsCurDgClick", &groups::TDiagramGroupManager::InsertCurrentDiagram);
  spBtDelCurDg.OnClick =
      groupCommand("spBtDelCurDgClick", &groups::TDiagramGroupManager::DeleteSelectedMember);
}

void TFrmMain::Handle(const char* handler, bool guarded, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    if (guarded) {
      FExMsg = std::string("Exception in TFrmMain.") + handler + ":" + error.what();
      platform::CurrentDialogs().ShowMessage(platform::MessageKind::Plain, FExMsg);
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
  if (!FGroupManager->Initialized()) FGroupManager->ConnectProject();
}

void TFrmMain::ContextStartup() {
  if (!FExpertSettings)
    throw std::runtime_error("TFrmMain.ContextStartup : ExpertSettings are not assigned");
  cbxDgGroupSelect.SetSorted(true);
  FSymbolNames.clear();
  FExplorer = std::make_unique<diagrams::TMMDiagramExplorer>(FExpertSettings);
  FToolServices = host::Services();
  FGroupManager = std::make_unique<groups::TDiagramGroupManager>();
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

void TFrmMain::pnlNamesMouseMove() { pnlNames.SetHint(pnlNames.Caption()); }

// ---- References page

void TFrmMain::ShowSearch(void (diagrams::TMMDiagramExplorer::*search)(diagrams::Lines&,
                                                                        diagrams::Lines&)) {
  diagrams::Lines result;
  (FExplorer.get()->*search)(result, FSymbolNames);
  LbxReferences.SetItems(result);
  pnlNames.SetCaption(result.empty() ? "---" : FSymbolNames.at(0));
}

void TFrmMain::SpBtSearchHyperLinksCurrentMemberClick() {
  Handle("SpBtSearchHyperLinksCurrentMemberClick", true,
         [this] { ShowSearch(&diagrams::TMMDiagramExplorer::GetCurrentMemberReferences); });
}

void TFrmMain::SpBtSearchHyperLinksCurrentDiagramClick() {
  Handle("SpBtSearchHyperLinksCurrentDiagramClick", true, [this] {
    SpBtSearchHyperLinksCurrentDiagram.SetHint(FExplorer->GetCurDiagramName());
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

void TFrmMain::SpBtSearchHyperLinksCurrentMemberMouseMove() {
  RefreshHint(SpBtSearchHyperLinksCurrentMember, "Current Member: ", FExplorer->GetCurMemberName());
}

void TFrmMain::SpBtSearchHyperLinksCurrentDiagramMouseMove() {
  RefreshHint(SpBtSearchHyperLinksCurrentDiagram, "Current Diagram: ",
              FExplorer->GetCurDiagramName());
}

void TFrmMain::SpBtSearchHyperLinksCurrentClassMouseMove() {
  RefreshHint(SpBtSearchHyperLinksCurrentClass, "Current Class: ", FExplorer->GetCurClassName());
}

void TFrmMain::LbxReferencesClick() {
  Handle("LbxReferencesClick", true, [this] {
    const int i = LbxReferences.ItemIndex();
    FExplorer->GoToDiagram(i);
    pnlNames.SetCaption(FSymbolNames.at(std::size_t(i)));
  });
}

void TFrmMain::LbxReferencesMouseMove(int y) {
  // The row counts from the list's top edge; the scroll position is not added.
  const std::string name = FExplorer->GetDiagramName(y / LbxReferences.RowHeight());
  LbxReferences.SetHint(name);
  LbxReferences.SetShowHint(!name.empty());
}

void TFrmMain::SpeedButton1Click() {
  platform::CurrentClipboard().SetText(platform::JoinLines(LbxReferences.Items()));
}

void TFrmMain::SpeedButton2Click() { FExplorer->AddLink(); }

// ---- Statistik page, ValidateNames

void TFrmMain::spbtRefreshStatisticClick() {
  lbDgCount.SetCaption(std::to_string(FExplorer->GetDiagramCount()));
  std::vector<std::string> invalid;
  FGroupManager->GetInvalidMembers(invalid);
  std::vector<std::string> lines{"Invalid DGMembers:", "=================="};
  lines.insert(lines.end(), invalid.begin(), invalid.end());
  lbxInvalidDGMembers.SetItems(std::move(lines));
}

void TFrmMain::ValidateNames1Click() {
  FGroupManager->SaveCurrentGroups();
  FExplorer->ValidateDiagramNames();
  FGroupManager->ConnectProject();
}

// ---- Method Referencing page

void TFrmMain::FindStringInModel1Click() {
  const auto text = platform::CurrentDialogs().InputBox("String Finder", "Enter String:", "");
  if (!text) return;
  std::vector<std::string> lines;
  FFunctions->FindStringInModel(lines, *text);
  lbxMethodRef.SetItems(std::move(lines));
}

void TFrmMain::lbxMethodRefClick() {
  const int i = lbxMethodRef.ItemIndex();
  if (i < 0) return;
  FFunctions->ShowReferencedMember(lbxMethodRef.Items()[std::size_t(i)]);
}

}  // namespace drvx::ui
