#include "group_manager.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "drvx/platform/dialogs.h"
#include "drvx/platform/files.h"

namespace drvx::groups {
namespace {

// The least bytes a stored group takes: name length and member count.
constexpr std::int32_t kGroupBytes = 8;

void Tell(const char* text) {
  platform::CurrentDialogs().ShowMessage(platform::MessageKind::Plain, text);
}

}  // namespace

TDiagramGroupManager::~TDiagramGroupManager() {
  if (FObserver) {
    if (FNotifier) FNotifier->RemoveObserver(FObserver.get());
    FObserver.reset();
  }
  if (!FFileName.empty()) SaveGroupFile(FFileName);
  FreeGroups();
}

void TDiagramGroupManager::SetControls(platform::ComboBox& groupSelector,
                                       platform::ListBox& memberList) {
  FGroupSelector = &groupSelector;
  FMemberList = &memberList;
}

void TDiagramGroupManager::FreeGroups() {
  FCurrentGroup = nullptr;
  FGroups.clear();
}

void TDiagramGroupManager::ConnectProject() {
  ConnectProject(FServices.Project().ProjectFileName());
}

void TDiagramGroupManager::ConnectProject(const std::string& projectFileName) {
  if (!FObserver) {
    FObserver = std::make_unique<host::TProjectNotifierObserver>();
    if (FNotifier) FNotifier->AddObserver(FObserver.get());
    FObserver->OnAfterOpen = [this](host::TProjectNotifierObserver&, const std::string& file) {
      ConnectProject(file);
    };
    FObserver->OnBeforeOpen = [this](host::TProjectNotifierObserver&, const std::string&) {
      CloseProject();
    };
    FObserver->Enabled = true;
  }
  FFileName = GroupFileNameFor(projectFileName);
  if (!FGroupSelector || !FMemberList)
    throw std::logic_error("the group manager has no controls to work");
  FMemberList->OnClick = [this] { ShowSelectedMember(); };
  FMemberList->OnKeyDown = [this](std::uint16_t& key) { MemberListKeyDown(key); };
  FGroupSelector->OnChange = [this] { SelectGroup(); };
  FMemberList->Clear();
  FGroupSelector->Clear();
  FGroupSelector->SetText("");
  FreeGroups();
  if (std::filesystem::exists(FFileName)) LoadGroupFile(FFileName);
  if (!FGroups.empty()) ShowFirstGroup();
  FInitialized = true;
}

void TDiagramGroupManager::ShowFirstGroup() {
  FCurrentGroup = FGroups.front().get();
  FGroupSelector->SetText(FCurrentGroup->FName);
  FillMemberList();
}

void TDiagramGroupManager::FillMemberList() {
  FMemberList->Clear();
  const host::DiagramManager diagrams = FServices.Diagrams();
  std::vector<std::string> names;
  for (const auto& member : FCurrentGroup->FMembers) names.push_back(member->GetMemberName(diagrams));
  FMemberList->SetItems(std::move(names));
}

void TDiagramGroupManager::CloseProject() {
  SaveCurrentGroups();
  FreeGroups();
  FGroupSelector->Clear();
  FFileName = GroupFileNameFor(FServices.Project().ProjectFileName());
}

void TDiagramGroupManager::SaveCurrentGroups() {
  // A group file of a project that never had a name.
  std::error_code ignored;
  if (std::filesystem::is_regular_file(".grp", ignored)) std::filesystem::remove(".grp", ignored);
  SaveGroupFile(FFileName);
}

void TDiagramGroupManager::InsertCurrentDiagram() {
  if (!FCurrentGroup) return Tell("No diagram group assigned yet");
  const host::Navigator navigator = FServices.Nav();
  if (FCurrentGroup->AddCurrentDiagram(navigator)) FMemberList->Add(navigator.CurrentDiagram().Name());
}

void TDiagramGroupManager::NewGroup(const std::string& name) {
  if (GroupExists(name)) return;
  auto group = std::make_unique<TDiagramGroup>();
  group->FName = name;
  FCurrentGroup = group.get();
  FGroups.push_back(std::move(group));
  FGroupSelector->SetText(name);
  FGroupSelector->Add(name);
  FMemberList->Clear();
  SaveGroupFile(FFileName);
}

bool TDiagramGroupManager::GroupExists(const std::string& name) const {
  return std::any_of(FGroups.begin(), FGroups.end(),
                     [&](const auto& g) { return g->FName == name; });
}

void TDiagramGroupManager::DeleteCurrentGroup() {
  if (!platform::CurrentDialogs().Confirm("Please confirm deletion of current diagram group"))
    return;
  if (!FCurrentGroup) return;
  const int index = FGroupSelector->IndexOfIgnoringCase(FCurrentGroup->FName);
  if (index < 0) return;
  FGroupSelector->Delete(index);
  std::erase_if(FGroups, [&](const auto& g) { return g.get() == FCurrentGroup; });
  FCurrentGroup = nullptr;
  if (FGroups.empty()) return;
  FCurrentGroup = FGroups.front().get();
  FGroupSelector->SetText(FCurrentGroup->FName);
  SelectGroup();
}

void TDiagramGroupManager::DeleteSelectedMember() {
  if (!platform::CurrentDialogs().Confirm(
          "Please confirm deletion of selected diagram from current group"))
    return;
  const int selected = FMemberList->ItemIndex();
  if (selected < 0 || !FCurrentGroup) return;
  const std::string text = FMemberList->Items()[std::size_t(selected)];
  FMemberList->Delete(selected);
  const host::DiagramManager diagrams = FServices.Diagrams();
  std::erase_if(FCurrentGroup->FMembers,
                [&](const auto& member) { return member->GetMemberName(diagrams) == text; });
}

void TDiagramGroupManager::SelectGroup() {
  if (!FCurrentGroup) return Tell("No diagram groups assigned yet");
  for (const auto& group : FGroups) {
    if (group->FName == FGroupSelector->Text()) {
      FCurrentGroup = group.get();
      break;
    }
  }
  FillMemberList();
}

void TDiagramGroupManager::ShowSelectedMember() {
  const int selected = FMemberList->ItemIndex();
  if (selected < 0 || !FCurrentGroup) return;
  const std::string text = FMemberList->Items()[std::size_t(selected)];
  const host::DiagramManager manager = FServices.Diagrams();
  for (const auto& member : FCurrentGroup->FMembers) {
    if (member->GetMemberName(manager) != text) continue;
    const int index = manager.IndexOfId(member->FId);
    if (index < 0) continue;
    const host::Navigator nav = FServices.Nav();
    nav.ShowDiagram(manager.Diagrams(index));
    nav.ShowView(host::View::Diagrams, true);
    return;
  }
}

void TDiagramGroupManager::MemberListKeyDown(std::uint16_t& key) {
  if (key == kInsertKey) InsertCurrentDiagram();
  else if (key == kDeleteKey) DeleteSelectedMember();
  key = 0;
}

void TDiagramGroupManager::GetInvalidMembers(std::vector<std::string>& list) {
  list.clear();
  const host::DiagramManager diagrams = FServices.Diagrams();
  for (const auto& group : FGroups)
    for (const auto& member : group->FMembers)
      if (!member->FValid) list.push_back(member->GetMemberName(diagrams));
}

void TDiagramGroupManager::LoadGroupFile(const std::string& path) {
  settings::TTypeMemoryStream stream;
  stream.LoadFromFile(path, platform::kMaxListFile);
  stream.SetPosition(0);
  ReadGroups(stream);
}

void TDiagramGroupManager::ReadGroups(settings::TTypeMemoryStream& stream) {
  FreeGroups();
  FGroupSelector->Clear();
  // The selector takes the names in one go (it sorts them once); on a
  // failure it still shows the groups read so far.
  std::vector<std::string> names;
  try {
    const host::DiagramManager diagrams = FServices.Diagrams();
    const std::int32_t count = stream.ReadInteger();
    for (std::int32_t i = 0; i < count && stream.Size() - stream.Position() >= kGroupBytes; ++i) {
      auto group = std::make_unique<TDiagramGroup>();
      group->ReadGroup(stream, diagrams);
      names.push_back(group->FName);
      FGroups.push_back(std::move(group));
    }
  } catch (...) {
    FGroupSelector->SetItems(std::move(names));
    throw;
  }
  FGroupSelector->SetItems(std::move(names));
}

void TDiagramGroupManager::SaveGroupFile(const std::string&) {}

void TDiagramGroupManager::WriteGroups(settings::TTypeMemoryStream& stream) const {
  stream.WriteInteger(static_cast<std::int32_t>(FGroups.size()));
  for (const auto& group : FGroups) group->WriteGroup(stream);
}

void TDiagramGroupManager::NewGroupCommand() {
  if (auto name = platform::CurrentDialogs().InputBox("Diagram Group Managing",
                                                       "Enter New Groupname", ""))
    NewGroup(*name);
}

void TDiagramGroupManager::LoadCommand() {
  const auto file = platform::CurrentDialogs().OpenFile(
      {std::filesystem::path(FFileName).parent_path(), "*.txt", ""});
  if (!file) return;
  LoadGroupFile(file->string());
  if (!FGroups.empty()) ShowFirstGroup();
}

void TDiagramGroupManager::SaveCommand() {
  if (const auto file = platform::CurrentDialogs().SaveFile(
          {std::filesystem::path(FFileName).parent_path(), "", ""}))
    SaveGroupFile(file->string());
}

}  // namespace drvx::groups
