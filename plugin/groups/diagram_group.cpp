#include "diagram_group.h"

#include <algorithm>

#include "drvx/platform/ansi_text.h"

namespace drvx::groups {
namespace {

// The least bytes a stored member takes: identifier, name length, reserved.
constexpr std::int32_t kMemberBytes = 12;

}  // namespace

std::string GroupFileNameFor(const std::string& projectFileName) {
  const auto separator = projectFileName.find_last_of("/\\");
  const auto dot = projectFileName.rfind('.');
  if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
    return projectFileName.substr(0, dot) + ".grp";
  return projectFileName + ".grp";
}

void TDGMember::ReadMember(settings::TTypeMemoryStream& stream,
                           const host::DiagramManager& diagrams) {
  FId = stream.ReadInteger();
  FName = stream.ReadString();
  FReserved = stream.ReadInteger();
  const int index = diagrams.IndexOfId(FId);
  if (index < 0) return;
  const std::string stored = platform::HostForm(FName);
  if (diagrams.Diagrams(index).Name() == stored) return;
  // The identifier now denotes another diagram: look for the stored name.
  std::string name;
  for (const host::Diagram& diagram : diagrams.AllDiagrams()) {
    diagram.ReadName(name);
    if (name == stored) {
      FId = diagram.Id();
      return;
    }
  }
  FValid = false;
}

void TDGMember::WriteMember(settings::TTypeMemoryStream& stream) const {
  stream.WriteInteger(FId);
  stream.WriteString(FName);
  stream.WriteInteger(FReserved);
}

std::string TDGMember::GetMemberName(const host::DiagramManager& diagrams) {
  std::string text = "Invalid Id:" + std::to_string(FId);
  const int index = diagrams.IndexOfId(FId);
  if (index >= 0) text = diagrams.Diagrams(index).Name();
  FName = text;
  return text;
}

void TDiagramGroup::ReadGroup(settings::TTypeMemoryStream& stream,
                              const host::DiagramManager& diagrams) {
  FName = stream.ReadString();
  const std::int32_t count = stream.ReadInteger();
  for (std::int32_t i = 0; i < count && stream.Size() - stream.Position() >= kMemberBytes; ++i) {
    auto member = std::make_unique<TDGMember>();
    member->ReadMember(stream, diagrams);
    FMembers.push_back(std::move(member));
  }
}

void TDiagramGroup::WriteGroup(settings::TTypeMemoryStream& stream) const {
  stream.WriteString(FName);
  stream.WriteInteger(static_cast<std::int32_t>(FMembers.size()));
  for (const auto& member : FMembers) member->WriteMember(stream);
}

bool TDiagramGroup::AddCurrentDiagram(const host::Navigator& navigator) {
  const host::Diagram diagram = navigator.CurrentDiagram();
  if (!diagram) return false;
  const std::int32_t id = diagram.Id();
  if (std::any_of(FMembers.begin(), FMembers.end(), [&](const auto& m) { return m->FId == id; }))
    return false;
  auto member = std::make_unique<TDGMember>();
  member->FId = id;
  FMembers.push_back(std::move(member));
  return true;
}

}  // namespace drvx::groups
