#include "settings_page.h"

#include <charconv>
#include <stdexcept>

namespace drvx::ui {

using S = settings::TExpertSettings;

const TSettingsPage::PrefixEdit TSettingsPage::kPrefixEdits[10] = {
    {&TSettingsPage::edClassDiagramPrefix, "Class diagrams", &S::ClassDiagramPrefix},
    {&TSettingsPage::edSequenceDiagramPrefix, "Sequence diagrams", &S::SequenceDiagramPrefix},
    {&TSettingsPage::edUseCaseDiagramPrefix, "Use case diagrams", &S::UseCaseDiagramPrefix},
    {&TSettingsPage::edDependencyDiagramPrefix, "Dependency diagrams",
     &S::DependencyDiagramPrefix},
    {&TSettingsPage::edActivityDiagramPrefix, "Activity diagrams", &S::ActivityDiagramPrefix},
    {&TSettingsPage::edStateDiagramPrefix, "State diagrams", &S::StateDiagramPrefix},
    {&TSettingsPage::edImplementationDiagramPrefix, "Implementation diagrams",
     &S::ImplementationDiagramPrefix},
    {&TSettingsPage::edMindMapDiagramPrefix, "Mind maps", &S::MindMapDiagramPrefix},
    {&TSettingsPage::edCollaborationDiagramPrefix, "Collaboration diagrams",
     &S::CollaborationDiagramPrefix},
    {&TSettingsPage::edRobustnesDiagramPrefix, "Robustness diagrams", &S::RobustnessDiagramPrefix},
};

std::vector<EventRow> TSettingsPage::Events() { return {DRVX_CLICK(btnSaveSettings)}; }

void TSettingsPage::Place() {
  using platform::Placement;
  PlaceRow(Placement::NewRow, {&btnSaveSettings, &cbCreateLocalMembers});
  // One labelled row per prefix, then the two memos.
  for (const PrefixEdit& p : kPrefixEdits) (this->*p.edit).PlaceIn(&sheet_, Placement::NewRow, p.label);
  edRecordingPageMessages.PlaceIn(&sheet_, Placement::NewRow, "Messages per recording diagram");
  memoExceptionCode.PlaceIn(&sheet_, Placement::Fill, "Exception code");
  memoLocalFields.PlaceIn(&sheet_, Placement::Fill, "Local fields");
}

void TSettingsPage::Load(settings::TExpertSettings& settings) {
  FSettings = &settings;
  for (const PrefixEdit& p : kPrefixEdits) (this->*p.edit).SetText(settings.*p.field);
  memoExceptionCode.SetText(settings.ExceptionCode);
  memoLocalFields.SetText(settings.LocalFields);
  cbCreateLocalMembers.SetChecked(settings.CreateLocalMembers);
  edRecordingPageMessages.SetText(std::to_string(settings.RecordingPageMessages));
}

void TSettingsPage::btnSaveSettingsClick() {
  if (!FSettings)
    throw std::runtime_error(
        "the settings were not saved: the window FrmMain has not been shown yet, so it does not "
        "hold them");
  const std::string pageMessages = edRecordingPageMessages.Text();
  int messages = 0;
  const auto [end, error] =
      std::from_chars(pageMessages.data(), pageMessages.data() + pageMessages.size(), messages);
  if (error != std::errc() || end != pageMessages.data() + pageMessages.size() || messages < 1)
    throw std::runtime_error("the settings were not saved: \"Messages per recording diagram\" is \"" +
                             pageMessages + "\", not a whole number of at least 1");
  for (const PrefixEdit& p : kPrefixEdits) FSettings->*p.field = (this->*p.edit).Text();
  FSettings->RecordingPageMessages = messages;
  FSettings->ExceptionCode = memoExceptionCode.Text();
  FSettings->LocalFields = memoLocalFields.Text();
  FSettings->CreateLocalMembers = cbCreateLocalMembers.Checked();
  FSettings->SaveSettings();
}

}  // namespace drvx::ui
