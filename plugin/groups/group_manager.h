// TDiagramGroupManager: owns the diagram groups of the open project, follows
// the host's project events, and works the DgGroups page's group selector and
// member list (headless controls its owner hands it). User-interface thread
// only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "diagram_group.h"
#include "drvx/platform/controls.h"
#include "project_notifier.h"

namespace drvx::groups {

class TDiagramGroupManager {
 public:
  // Virtual key codes the member list acts on.
  static constexpr std::uint16_t kInsertKey = 45;
  static constexpr std::uint16_t kDeleteKey = 46;

  // Works on the host's diagrams and project through `services`; subscribes
  // to the notifier's project events (none: hears none), which must outlive
  // the manager.
  TDiagramGroupManager(host::Services services, host::TProjectNotifier* notifier)
      : FServices(std::move(services)), FNotifier(notifier) {}
  // Unsubscribes, saves, frees the groups.
  ~TDiagramGroupManager();
  TDiagramGroupManager(const TDiagramGroupManager&) = delete;
  TDiagramGroupManager& operator=(const TDiagramGroupManager&) = delete;

  // The page's controls (not owned).
  void SetControls(platform::ComboBox& groupSelector, platform::ListBox& memberList);

  // (Re)loads the groups of the open project, the one the host names or the
  // one an event named; the first call also subscribes to the project events.
  void ConnectProject();
  void ConnectProject(const std::string& projectFileName);
  // Before the host opens another project: saves, drops the groups.
  void CloseProject();
  void SaveCurrentGroups();
  void InsertCurrentDiagram();
  void NewGroup(const std::string& name);
  bool GroupExists(const std::string& name) const;
  void DeleteCurrentGroup();
  void DeleteSelectedMember();
  void SelectGroup();
  void ShowSelectedMember();
  void MemberListKeyDown(std::uint16_t& key);
  void GetInvalidMembers(std::vector<std::string>& list);

  void LoadGroupFile(const std::string& path);
  void ReadGroups(settings::TTypeMemoryStream& stream);
  // Writes nothing: no command or event of this system changes a group file.
  void SaveGroupFile(const std::string& path);
  void WriteGroups(settings::TTypeMemoryStream& stream) const;

  // The page's buttons "New Group", "load" and "save".
  void NewGroupCommand();
  void LoadCommand();
  void SaveCommand();

  bool Initialized() const { return FInitialized; }
  const std::string& FileName() const { return FFileName; }
  TDiagramGroup* CurrentGroup() const { return FCurrentGroup; }
  const TDiagramGroupList& Groups() const { return FGroups; }

 private:
  // Makes the first group current and lists its members.
  void ShowFirstGroup();
  void FillMemberList();
  void FreeGroups();

  TDiagramGroup* FCurrentGroup = nullptr;
  TDiagramGroupList FGroups;
  platform::ComboBox* FGroupSelector = nullptr;
  platform::ListBox* FMemberList = nullptr;
  bool FInitialized = false;
  std::string FFileName;
  std::unique_ptr<host::TProjectNotifierObserver> FObserver;
  host::Services FServices;
  host::TProjectNotifier* FNotifier;
};

}  // namespace drvx::groups
