// A call-sequence list turned into roles (lifelines) and messages, tied to the
// host diagram that shows them. One list per TSequenceDiagram; the model lives
// for one generation. Host errors are not caught here.
//
// The list: one call per line, the outermost first. A line is the role text,
// or the role text, ".", and the message text (split at the first "."; nothing
// trimmed). Line 0 with a message is called by the implicit role "System";
// line i is called by line i - 1.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host_api.h"

namespace drvx::sequence {

class TSequenceDiagram;

// Splits a call line at its first ".": role text and message text.
std::pair<std::string, std::string> SplitCallLine(const std::string& line);

class TSqDgRole {
 public:
  // Creates the role's symbol on the owner's diagram at once.
  explicit TSqDgRole(TSequenceDiagram& owner);

  // Captions the symbol, links it to the first model class of that name (an
  // instance), or makes it an actor.
  void SetRoleName(const std::string& name);
  // Writes "RoleKind" for "rkInstance", "rkActor" and "rkSysBounds" only.
  void SetRoleKind(const std::string& kind);
  // The symbol's name as the host reports it.
  std::string GetRoleName() const;
  void PlaceRole(std::int32_t x, std::int32_t y);

  const host::Class& ModelClass() const { return FModelClass; }
  const host::Shape& Symbol() const { return FSymbol; }
  std::int32_t X() const { return FX; }
  std::int32_t Y() const { return FY; }

 private:
  host::Class FModelClass;
  TSequenceDiagram& FSequenceDiagram;
  std::int32_t FX = 0;
  std::int32_t FY = 0;
  host::Shape FSymbol;
};

class TSqDgMsg {
 public:
  TSqDgMsg(TSequenceDiagram& owner, TSqDgRole& source, TSqDgRole& target)
      : FSequenceDiagram(owner), FSource(source), FTarget(target) {}

  void SetKind(const std::string& kind) { FMessageKind = kind; }
  void SetCaption(const std::string& caption) { FName = caption; }
  void SetStartTime(std::int32_t time) { FStartTime = std::to_string(time); }
  void SetEndTime(std::int32_t time) { FEndTime = std::to_string(time); }
  std::int32_t GetStartTime() const { return std::stoi(FStartTime); }
  std::int32_t GetEndTime() const { return std::stoi(FEndTime); }
  // Creates the message's association in the host and fills it.
  void DrawMessage();

  TSqDgRole& Source() const { return FSource; }
  TSqDgRole& Target() const { return FTarget; }
  const std::string& Caption() const { return FName; }

 private:
  host::Association FAssociation;
  std::string FCondition;
  std::string FEndTime;
  std::string FMessageKind;
  std::string FName;
  std::string FParameters;
  TSequenceDiagram& FSequenceDiagram;
  TSqDgRole& FSource;
  std::string FStartTime;
  TSqDgRole& FTarget;
};

using TSqRoleList = std::vector<std::unique_ptr<TSqDgRole>>;
using TSqMsgList = std::vector<std::unique_ptr<TSqDgMsg>>;

struct MessageCounts {
  std::int32_t messages = 0;
  std::int32_t selfMessages = 0;
};

class TSequenceDiagram {
 public:
  // Creates the host diagram (interaction kind) of that name at once.
  TSequenceDiagram(host::Services services, const std::string& name);

  void SetCallList(const std::vector<std::string>& lines);
  // The role of that text, made now if there is none; `created` tells which.
  // Names compare as the host keeps them (platform::HostForm), so a role is
  // found again whatever bytes its text has; looked up in an index, not by
  // walking the roles.
  TSqDgRole& FindRole(const std::string& name, bool& created);
  std::int32_t CreateRoles();
  MessageCounts CreateMessages();
  // Stores the distances, places the lifelines and times the messages.
  void SetLayout(std::int32_t roleDistance, std::int32_t messageDistance);
  void PlaceRoles();
  void TimeMessages();
  void SetFormat(std::int32_t sizeClass, bool flag);
  void DrawDiagram();
  void DrawActivations();

  const host::Diagram& Diagram() const { return FDiagram; }
  const host::DiagramExplorer& Explorer() const { return FExplorer; }
  const host::Services& ToolServices() const { return FToolServices; }
  const TSqRoleList& Roles() const { return FRoles; }
  const TSqMsgList& Messages() const { return FMessages; }

 private:
  // Line 0 split; fails for an empty list or an empty role text.
  std::pair<std::string, std::string> FirstLine() const;

  host::Services FToolServices;
  std::int32_t FRoleDistance = 0;
  std::int32_t FMessageDistance = 0;
  host::Diagram FDiagram;
  host::DiagramExplorer FExplorer;
  host::DiagramManager FDiagramManager;
  std::int32_t FFirstMessageY = 40;
  TSqMsgList FMessages;
  std::string FDiagramName;
  TSqRoleList FRoles;
  std::unordered_map<std::string, TSqDgRole*> FRoleIndex;  // by host form of the name
  std::vector<std::string> FCallList;
};

}  // namespace drvx::sequence
