// Diagram groups: named lists of host diagrams kept per project in a ".grp"
// file beside the project file. A member names its diagram by identifier and
// remembers its name, so that it can find the diagram again by name when the
// identifier has come to denote another one.
//
// File layout (the typed stream): the group count; per group its name, its
// member count, and per member the diagram identifier, the diagram name and a
// reserved integer (-1). No header. Reading stops at the end of the data,
// whatever the counts claim. User-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host_api.h"
#include "type_memory_stream.h"

namespace drvx::groups {

class TDGMember {
 public:
  // Reads identifier, name and reserved value, then finds the diagram again:
  // by identifier when its name still fits, else the first diagram of the
  // stored name; when no diagram has that name the member becomes invalid.
  void ReadMember(settings::TTypeMemoryStream& stream, const host::DiagramManager& diagrams);
  void WriteMember(settings::TTypeMemoryStream& stream) const;
  // The diagram's name, or "Invalid Id:<id>" when no diagram has the
  // identifier; also stored as the member's name.
  std::string GetMemberName(const host::DiagramManager& diagrams);

  std::int32_t FId = -1;
  std::string FName;
  std::int32_t FReserved = -1;
  bool FValid = true;
};

using TDGMemberList = std::vector<std::unique_ptr<TDGMember>>;

class TDiagramGroup {
 public:
  void ReadGroup(settings::TTypeMemoryStream& stream, const host::DiagramManager& diagrams);
  void WriteGroup(settings::TTypeMemoryStream& stream) const;
  // Adds the host's current diagram unless the group has it already; false
  // when nothing was added (also when no diagram is current).
  bool AddCurrentDiagram(const host::Navigator& navigator);

  TDGMemberList FMembers;
  std::string FName = "UnNamed";
};

using TDiagramGroupList = std::vector<std::unique_ptr<TDiagramGroup>>;

// The project file's path with its extension replaced by ".grp"; ".grp" alone
// for an empty path.
std::string GroupFileNameFor(const std::string& projectFileName);

}  // namespace drvx::groups
