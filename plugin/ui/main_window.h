// TFrmMain: the plug-in's main window — a menu, a tool bar, the SymbolName
// panel and seven pages (References, DgGroups with its tab hidden, Sequences,
// Statistik, Method Referencing, DgDoc, Settings). It is made hidden at
// start-up; its workers are made on its first activation.
//
// Each page (pages/) owns its controls, its handlers and the rows that wire
// them; the window holds the menu, the tool bar and the sheets, wires every
// row, and runs each handler under the row's guard: a reporting one shows
// "Exception in TFrmMain.<handler>:<message>", the others' errors go to the
// general error display (a message box with the error's text). Until the
// first showing has started the workers, a handler that needs them fails
// with an error saying so. User-interface thread only.
#pragma once

#include <functional>
#include <string>

#include "drvx/platform/forms.h"
#include "pages/documentation_page.h"
#include "pages/groups_page.h"
#include "pages/method_ref_page.h"
#include "pages/references_page.h"
#include "pages/sequences_page.h"
#include "pages/settings_page.h"
#include "pages/statistics_page.h"
#include "project_notifier.h"

namespace drvx::ui {

class TFrmMain : public platform::Form {
 public:
  // The workers and the Sequences page reach the host through `services`.
  explicit TFrmMain(host::Services services);
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
  void btHideClick();
  void GuiHideClick();
  void About1Click();
  void pnlNamesMouseMove(int x, int y);

  // Whether the first showing has started the workers.
  bool Started() const { return FWorkers.explorer != nullptr; }

  // The workers, once started.
  codegen::TExpertFunctions* Functions() const { return FWorkers.functions.get(); }
  diagrams::TMMDiagramExplorer* Explorer() const { return FWorkers.explorer.get(); }
  groups::TDiagramGroupManager* GroupManager() const { return FWorkers.groupManager.get(); }
  const std::string& ExMsg() const { return FExMsg; }
  bool FirstActivation() const { return FFirstActivation; }

  // How long hints stay up, for every window of the plug-in.
  static constexpr int kHintHidePauseMs = 20000;

 private:
  // Declared before the controls and pages, which are made with them.
  host::Services FToolServices;
  Workers FWorkers;

 public:
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

  // ---- the sheets, in order
  platform::PageControl PgctrlMain{this, "PgctrlMain"};
  platform::TabSheet tbsReference{this, "tbsReference", "References"};
  platform::TabSheet tbsDgGroups{this, "tbsDgGroups", "DgGroups"};
  platform::TabSheet tbsSequences{this, "tbsSequences", "Sequences"};
  platform::TabSheet tbsStatistik{this, "tbsStatistik", "Statistik"};
  platform::TabSheet tbsMethodRef{this, "tbsMethodRef", "Method Referencing"};
  platform::TabSheet tbsDiagramDoc{this, "tbsDiagramDoc", "DgDoc"};
  platform::TabSheet tbsSettings{this, "tbsSettings", "Settings"};

  // ---- the pages, in the order of their sheets
  TReferencesPage References{{*this, tbsReference, FWorkers}, pnlNames};
  TGroupsPage DgGroups{{*this, tbsDgGroups, FWorkers}};
  TSequencesPage Sequences{{*this, tbsSequences, FWorkers}, FToolServices, MakeSeqenceDiagram1};
  TStatisticsPage Statistik{{*this, tbsStatistik, FWorkers}, ValidateNames1};
  TMethodRefPage MethodRef{{*this, tbsMethodRef, FWorkers}, FindStringInModel1};
  TDocumentationPage DgDoc{{*this, tbsDiagramDoc, FWorkers}};
  TSettingsPage Settings{{*this, tbsSettings, FWorkers}};

 private:
  // Every page's rows and the window's own, each handler run under its guard.
  void Wire();
  void Run(const char* handler, Guard guard, const std::function<void()>& body);
  // Where each control lies, for a window system that draws the form.
  void DeclareLayout();
  Page* const FPages[7] = {&References, &DgGroups, &Sequences, &Statistik,
                           &MethodRef,  &DgDoc,    &Settings};

  std::string FExMsg;
  settings::TExpertSettings* FExpertSettings = nullptr;
  host::TProjectNotifier* FProjectNotifier = nullptr;
  bool FFirstActivation = true;
};

}  // namespace drvx::ui
