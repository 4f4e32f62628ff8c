// TFrmMain: the plug-in's main window — a menu, a tool bar, the SymbolName
// panel and seven pages (References, DgGroups with its tab hidden, Sequences,
// Statistik, Method Referencing, DgDoc, Settings). It is made hidden at
// start-up; its workers are made on its first activation.
//
// Handlers named as the window's events, wired to them by one table. Guarded
// ones report "Exception in TFrmMain.<handler>:<message>"; the others' errors
// go to the general error display (a message box with the error's text).
// Until the first showing has started the workers, a handler that needs them
// fails with an error saying so. User-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "diagram_explorer.h"
#include "drvx/platform/forms.h"
#include "expert_functions.h"
#include "group_manager.h"
#include "project_notifier.h"

namespace drvx::ui {

class TFrmMain : public platform::Form {
 public:
  TFrmMain();
  ~TFrmMain() override;

  // The shared settings (not owned); set once after creation.
  void SetExpertSettings(settings::TExpertSettings* settings) { FExpertSettings = settings; }
  // The notifier whose project events the group manager follows (not owned;
  // none: it hears none); set before the first showing.
  void SetProjectNotifier(host::TProjectNotifier* notifier) { FProjectNotifier = notifier; }

  // ---- the window's events
  void FormActivate();
  void FormClose();
  void ContextStartup();
  void PgctrlMainChange();
  // Saves the Settings page; refused while the page does not hold the
  // settings (before the first showing), so nothing unloaded is written.
  void btnSaveSettingsClick();
  void btHideClick();
  void GuiHideClick();
  void About1Click();
  void pnlNamesMouseMove(int x, int y);
  // References page
  void SpBtSearchHyperLinksCurrentMemberClick();
  void SpBtSearchHyperLinksCurrentDiagramClick();
  void SpBtSearchHyperLinksCurrentClassClick();
  void SpBtSearchHyperLinksCurrentMemberMouseMove(int x, int y);
  void SpBtSearchHyperLinksCurrentDiagramMouseMove(int x, int y);
  void SpBtSearchHyperLinksCurrentClassMouseMove(int x, int y);
  // A click outside the lines (none selected) does nothing.
  void LbxReferencesClick();
  void LbxReferencesMouseMove(int x, int y);
  void SpeedButton1Click();
  void SpeedButton2Click();
  // DgGroups page
  void spBtNewGroupClick();
  void spBtDeleteGroupClick();
  void spBtLoadGroupClick();
  void spBtSaveGroupClick();
  void spBtInsCurDgClick();
  void spBtDelCurDgClick();
  // Statistik page and Tasks > ValidateNames
  void spbtRefreshStatisticClick();
  void ValidateNames1Click();
  // Method Referencing page and Tasks > Find String In Model
  void FindStringInModel1Click();
  void lbxMethodRefClick();
  // Sequences page
  void FillMethodList();
  void AddAndShowMethod();
  void btReloadClick();
  void btMoveMsgClick();
  void btLoadFromFileClick();
  void btFileSaveClick();
  void SpeedButton3Click();
  void Button1Click();
  void MakeSeqenceDiagram1Click();
  // DgDoc page
  void ReloadAvailableDiagrams();
  void spbtReloadDiagramsClick();
  void lbxDiagramsAvailableMouseUp();
  void btAddSelectedClick();
  void btAddAllClick();
  void btRemoveSelectedClick();
  void btRemoveAllClick();
  void rgDestinationClick();
  void btExtractDocClick();

  // Runs a handler; a guarded one reports under its name, the others show
  // the error's message.
  void Handle(const char* handler, bool guarded, const std::function<void()>& body);
  // Whether the first showing has started the workers.
  bool Started() const { return FExplorer != nullptr; }

  // The workers, once started.
  codegen::TExpertFunctions* Functions() const { return FFunctions.get(); }
  diagrams::TMMDiagramExplorer* Explorer() const { return FExplorer.get(); }
  groups::TDiagramGroupManager* GroupManager() const { return FGroupManager.get(); }
  const std::vector<std::string>& SymbolNames() const { return FSymbolNames; }
  const std::string& ExMsg() const { return FExMsg; }
  bool FirstActivation() const { return FFirstActivation; }

  // How long hints stay up, for every window of the plug-in.
  static constexpr int kHintHidePauseMs = 20000;

  // ---- menu and tool bar
  platform::Button GuiHide{this, "GuiHide", "Close"};
  platform::Panel AutoDiagramming1{this, "AutoDiagramming1", "Tasks"};
  platform::Button ValidateNames1{this, "ValidateNames1", "ValidateNames"};
  platform::Button MakeSeqenceDiagram1{this, "MakeSeqenceDiagram1", "MakeSeqenceDiagram from file"};
  platform::Button FindStringInModel1{this, "FindStringInModel1", "&Find String In Model"};
  platform::Button About1{this, "About1", "About"};
  platform::Panel TbMain{this, "TbMain", "MainToolBar"};
  platform::Button btHide{this, "btHide", "Minimize"};
  platform::Panel pnlNames{this, "pnlNames", "SymbolName:"};

  // ---- pages, in order
  platform::PageControl PgctrlMain{this, "PgctrlMain"};
  platform::TabSheet tbsReference{this, "tbsReference", "References"};
  platform::TabSheet tbsDgGroups{this, "tbsDgGroups", "DgGroups"};
  platform::TabSheet tbsSequences{this, "tbsSequences", "Sequences"};
  platform::TabSheet tbsStatistik{this, "tbsStatistik", "Statistik"};
  platform::TabSheet tbsMethodRef{this, "tbsMethodRef", "Method Referencing"};
  platform::TabSheet tbsDiagramDoc{this, "tbsDiagramDoc", "DgDoc"};
  platform::TabSheet tbsSettings{this, "tbsSettings", "Settings"};

  // References
  platform::Button SpBtSearchHyperLinksCurrentMember{this, "SpBtSearchHyperLinksCurrentMember", "Member"};
  platform::Button SpBtSearchHyperLinksCurrentDiagram{this, "SpBtSearchHyperLinksCurrentDiagram", "Diagram"};
  platform::Button SpBtSearchHyperLinksCurrentClass{this, "SpBtSearchHyperLinksCurrentClass", "Class"};
  platform::ListBox LbxReferences{this, "LbxReferences"};
  platform::Button SpeedButton1{this, "SpeedButton1", "copy to clipboard"};
  platform::Button SpeedButton2{this, "SpeedButton2", "add links"};

  // DgGroups
  platform::ComboBox cbxDgGroupSelect{this, "cbxDgGroupSelect"};
  platform::Button spBtNewGroup{this, "spBtNewGroup", "New Group"};
  platform::Button spBtDeleteGroup{this, "spBtDeleteGroup", "Delete Group"};
  platform::Button spBtLoadGroup{this, "spBtLoadGroup", "load"};
  platform::Button spBtSaveGroup{this, "spBtSaveGroup", "save"};
  platform::ListBox lbxDgGroupMemberList{this, "lbxDgGroupMemberList"};
  platform::Button spBtInsCurDg{this, "spBtInsCurDg", "Current Diagram (INS)"};
  platform::Button spBtDelCurDg{this, "spBtDelCurDg", "Delet Diagram (DEL)"};

  // Sequences
  platform::ListBox lbxSequencesSource{this, "lbxSequencesSource"};
  platform::Memo SequencesMemo{this, "SequencesMemo"};
  platform::Button btReload{this, "btReload", "Reload"};
  platform::Button btMoveMsg{this, "btMoveMsg", ">>"};
  platform::Button btLoadFromFile{this, "btLoadFromFile", "File open"};
  platform::Button btFileSave{this, "btFileSave", "File save"};
  platform::Button SpeedButton3{this, "SpeedButton3", "Invert"};
  platform::Button Button1{this, "Button1", "Make Sequence Diagram"};

  // Statistik
  platform::Button spbtRefreshStatistic{this, "spbtRefreshStatistic", "Refresh"};
  platform::Panel lbDgCountCaption{this, "lbDgCountCaption", "Diagram Count :"};
  platform::Panel lbDgCount{this, "lbDgCount", "-----"};
  platform::ListBox lbxInvalidDGMembers{this, "lbxInvalidDGMembers"};

  // Method Referencing
  platform::ListBox lbxMethodRef{this, "lbxMethodRef"};

  // DgDoc
  platform::Button spbtReloadDiagrams{this, "spbtReloadDiagrams", ""};
  platform::ListBox lbxDiagramsAvailable{this, "lbxDiagramsAvailable"};
  platform::Button btAddSelected{this, "btAddSelected", ">"};
  platform::Button btAddAll{this, "btAddAll", ">>"};
  platform::Button btRemoveSelected{this, "btRemoveSelected", "<"};
  platform::Button btRemoveAll{this, "btRemoveAll", "<<"};
  platform::ListBox lbxDiagramsSelected{this, "lbxDiagramsSelected"};
  platform::Button btExtractDoc{this, "btExtractDoc", "Extract Documetation"};
  platform::RadioGroup rgDestination{this, "rgDestination", "Destination"};
  platform::CheckBox cbWithDiagrams{this, "cbWithDiagrams", "with Diagrams"};
  platform::CheckBox cbOneLiner{this, "cbOneLiner", "One Liner"};
  platform::CheckBox cbIgnoreEmptySymbols{this, "cbIgnoreEmptySymbols", "Ignore empty symbols"};

  // Settings, the prefix edits in their order from top to bottom
  platform::Button btnSaveSettings{this, "btnSaveSettings", "Save Settings"};
  platform::Edit edClassDiagramPrefix{this, "edClassDiagramPrefix"};
  platform::Edit edSequenceDiagramPrefix{this, "edSequenceDiagramPrefix"};
  platform::Edit edUseCaseDiagramPrefix{this, "edUseCaseDiagramPrefix"};
  platform::Edit edDependencyDiagramPrefix{this, "edDependencyDiagramPrefix"};
  platform::Edit edActivityDiagramPrefix{this, "edActivityDiagramPrefix"};
  platform::Edit edStateDiagramPrefix{this, "edStateDiagramPrefix"};
  platform::Edit edImplementationDiagramPrefix{this, "edImplementationDiagramPrefix"};
  platform::Edit edMindMapDiagramPrefix{this, "edMindMapDiagramPrefix"};
  platform::Edit edCollaborationDiagramPrefix{this, "edCollaborationDiagramPrefix"};
  platform::Edit edRobustnesDiagramPrefix{this, "edRobustnesDiagramPrefix"};
  platform::Memo memoExceptionCode{this, "memoExceptionCode"};
  platform::CheckBox cbCreateLocalMembers{this, "cbCreateLocalMembers", "Create local Members"};
  platform::Memo memoLocalFields{this, "memoLocalFields"};

 private:
  void Wire();
  // Where each control lies, for a window system that draws the form.
  void DeclareLayout();
  // The workers, or an error saying the window was never shown.
  diagrams::TMMDiagramExplorer& StartedExplorer() const;
  groups::TDiagramGroupManager& StartedGroupManager() const;
  codegen::TExpertFunctions& StartedFunctions() const;
  void GroupCommand(void (groups::TDiagramGroupManager::*command)());
  static void MoveSelected(platform::ListBox& from, platform::ListBox& to);
  static void MoveAll(platform::ListBox& from, platform::ListBox& to);
  // The References page's three searches.
  void ShowSearch(void (diagrams::TMMDiagramExplorer::*search)(diagrams::Lines&, diagrams::Lines&));
  void RefreshHint(platform::Button& button, const char* label, std::string name);
  // Draws the lines as a new sequence diagram and opens it (nothing is
  // opened when the generation failed).
  void GenerateAndOpen(const std::string& name, const std::vector<std::string>& lines);
  // The settings fields and their edits, in one table for both directions.
  struct PrefixEdit {
    platform::Edit TFrmMain::*edit;
    std::string settings::TExpertSettings::*field;
  };
  static const PrefixEdit kPrefixEdits[10];

  std::unique_ptr<groups::TDiagramGroupManager> FGroupManager;
  std::string FExMsg;
  std::unique_ptr<codegen::TExpertFunctions> FFunctions;
  settings::TExpertSettings* FExpertSettings = nullptr;
  host::TProjectNotifier* FProjectNotifier = nullptr;
  bool FFirstActivation = true;
  std::unique_ptr<diagrams::TMMDiagramExplorer> FExplorer;
  std::vector<std::string> FSymbolNames;
  host::Services FToolServices;
};

}  // namespace drvx::ui
