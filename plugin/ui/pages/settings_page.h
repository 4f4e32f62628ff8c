// The Settings page: the diagram name prefixes, the exception template and
// the local fields, shown from and saved to the plug-in's settings.
#pragma once

#include "expert_settings.h"
#include "page.h"

namespace drvx::ui {

class TSettingsPage final : public Page {
 public:
  using Page::Page;

  std::vector<EventRow> Events() override;
  void Place() override;

  // Shows the settings; from then on the page holds them.
  void Load(settings::TExpertSettings& settings);
  // Saves the page into the settings it was loaded from; refused before
  // Load, so nothing unloaded is written.
  void btnSaveSettingsClick();

  platform::Button btnSaveSettings{form_, "btnSaveSettings", "Save Settings"};
  // The prefix edits, in their order from top to bottom.
  platform::Edit edClassDiagramPrefix{form_, "edClassDiagramPrefix"};
  platform::Edit edSequenceDiagramPrefix{form_, "edSequenceDiagramPrefix"};
  platform::Edit edUseCaseDiagramPrefix{form_, "edUseCaseDiagramPrefix"};
  platform::Edit edDependencyDiagramPrefix{form_, "edDependencyDiagramPrefix"};
  platform::Edit edActivityDiagramPrefix{form_, "edActivityDiagramPrefix"};
  platform::Edit edStateDiagramPrefix{form_, "edStateDiagramPrefix"};
  platform::Edit edImplementationDiagramPrefix{form_, "edImplementationDiagramPrefix"};
  platform::Edit edMindMapDiagramPrefix{form_, "edMindMapDiagramPrefix"};
  platform::Edit edCollaborationDiagramPrefix{form_, "edCollaborationDiagramPrefix"};
  platform::Edit edRobustnesDiagramPrefix{form_, "edRobustnesDiagramPrefix"};
  platform::Memo memoExceptionCode{form_, "memoExceptionCode"};
  platform::CheckBox cbCreateLocalMembers{form_, "cbCreateLocalMembers", "Create local Members"};
  platform::Memo memoLocalFields{form_, "memoLocalFields"};
  platform::Edit edRecordingPageMessages{form_, "edRecordingPageMessages"};

 private:
  // Each prefix edit, its label and its settings field.
  struct PrefixEdit {
    platform::Edit TSettingsPage::*edit;
    const char* label;
    std::string settings::TExpertSettings::*field;
  };
  static const PrefixEdit kPrefixEdits[10];

  settings::TExpertSettings* FSettings = nullptr;
};

}  // namespace drvx::ui
