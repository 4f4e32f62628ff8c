#include "sequence_model.h"

#include <stdexcept>

#include "drvx/platform/ansi_text.h"

namespace drvx::sequence {
namespace {

constexpr const char* kSystemRole = "System";

[[noreturn]] void EmptyRoleName() { throw std::runtime_error("empty Role name"); }

}  // namespace

std::pair<std::string, std::string> SplitCallLine(const std::string& line) {
  const auto dot = line.find('.');
  if (dot == std::string::npos) return {line, std::string()};
  return {line.substr(0, dot), line.substr(dot + 1)};
}

// ---- TSqDgRole

TSqDgRole::TSqDgRole(TSequenceDiagram& owner)
    : FSequenceDiagram(owner), FSymbol(owner.Explorer().CreateSymbol("rolesymbol", {})) {}

namespace {

// The first class of the model with this name (none when there is none):
// asked of the host's index when it has one, else found class by class.
host::Class ClassNamed(const host::CodeModel& model, const std::string& name) {
  if (const host::CodeSearch search = model.Search()) return search.ClassNamed(name);
  std::string className;
  for (const host::Class& cls : model.AllClasses()) {
    cls.ReadName(className);
    if (className == name) return cls;
  }
  return {};
}

}  // namespace

void TSqDgRole::SetRoleName(const std::string& name) {
  FSymbol.SetCaption(name);
  host::Class cls =
      ClassNamed(FSequenceDiagram.ToolServices().Model(), platform::HostForm(name));
  if (!cls) return SetRoleKind("rkActor");
  FSymbol.AddHyperlink(host::HyperlinkKind::Class, cls.Id());
  FModelClass = std::move(cls);
  SetRoleKind("rkInstance");
}

void TSqDgRole::SetRoleKind(const std::string& kind) {
  if (kind == "rkInstance" || kind == "rkActor" || kind == "rkSysBounds")
    FSymbol.SetProperty("RoleKind", kind);
}

std::string TSqDgRole::GetRoleName() const { return FSymbol.Name(); }

void TSqDgRole::PlaceRole(std::int32_t x, std::int32_t y) {
  FSymbol.SetPosition(x, y);
  FX = x;
  FY = y;
}

// ---- TSqDgMsg

void TSqDgMsg::DrawMessage() {
  FAssociation = FSequenceDiagram.Explorer().CreateAssociation(
      "sequencemessage", FSource.Symbol(), FTarget.Symbol());
  const host::Shape shape = FAssociation.AsShape();
  shape.SetProperty("MessageKind", FMessageKind);
  shape.SetProperty("Condition", FCondition);
  shape.SetProperty("StartTime", FStartTime);
  shape.SetProperty("EndTime", FEndTime);
  shape.SetProperty("Parameters", FParameters);
  shape.SetCaption(FName);
  const std::string method = platform::HostForm(FName.substr(0, FName.find('(')));
  if (const host::Class& cls = FTarget.ModelClass()) {
    // Every overload of the method gets its hyperlink.
    std::string memberName;
    for (const host::Member& member : cls.AllMembers()) {
      member.ReadName(memberName);
      if (memberName == method) shape.AddHyperlink(host::HyperlinkKind::Member, member.Id());
    }
  }
  shape.SetPosition(0, GetStartTime());
}

// ---- TSequenceDiagram

TSequenceDiagram::TSequenceDiagram(host::Services services, const std::string& name)
    : FToolServices(std::move(services)), FDiagramName(name) {
  FDiagramManager = FToolServices.Diagrams();
  FDiagram = FDiagramManager.CreateDiagram(host::DiagramKind::Interaction, name);
  FExplorer = FDiagram.Explorer().As<host::DiagramExplorer>();
  if (!FExplorer) throw std::runtime_error("the new diagram cannot take symbols");
}

void TSequenceDiagram::SetCallList(const std::vector<std::string>& lines) { FCallList = lines; }

std::pair<std::string, std::string> TSequenceDiagram::FirstLine() const {
  if (FCallList.empty()) throw std::runtime_error("List index out of bounds (0)");
  auto first = SplitCallLine(FCallList[0]);
  if (first.first.empty()) EmptyRoleName();
  return first;
}

TSqDgRole& TSequenceDiagram::FindRole(const std::string& name, bool& created) {
  const auto [at, isNew] = FRoleIndex.try_emplace(platform::HostForm(name), nullptr);
  created = isNew;
  if (!isNew) return *at->second;
  try {
    auto role = std::make_unique<TSqDgRole>(*this);
    role->SetRoleName(name);
    FRoles.push_back(std::move(role));
  } catch (...) {
    FRoleIndex.erase(at);
    throw;
  }
  at->second = FRoles.back().get();
  return *FRoles.back();
}

std::int32_t TSequenceDiagram::CreateRoles() {
  std::int32_t count = 0;
  bool created = false;
  const auto [role, message] = FirstLine();
  if (!message.empty()) {
    FindRole(kSystemRole, created).SetRoleKind("rkSysBounds");
    count += created;
  }
  FindRole(role, created);
  count += created;
  for (std::size_t i = 1; i < FCallList.size(); ++i) {
    FindRole(SplitCallLine(FCallList[i]).first, created);
    count += created;
  }
  return count;
}

MessageCounts TSequenceDiagram::CreateMessages() {
  MessageCounts counts;
  bool created = false;
  const auto [role, message] = FirstLine();
  TSqDgRole* previous = nullptr;
  if (!message.empty()) {
    previous = &FindRole(kSystemRole, created);
    TSqDgRole& current = FindRole(role, created);
    auto msg = std::make_unique<TSqDgMsg>(*this, *previous, current);
    ++counts.messages;
    msg->SetCaption(message);
    msg->SetKind("mkCall");
    FMessages.push_back(std::move(msg));
    previous = &current;
  } else {
    previous = &FindRole(role, created);
  }
  for (std::size_t i = 1; i < FCallList.size(); ++i) {
    const auto [lineRole, lineMessage] = SplitCallLine(FCallList[i]);
    if (lineRole.empty()) EmptyRoleName();
    TSqDgRole& current = FindRole(lineRole, created);
    auto msg = std::make_unique<TSqDgMsg>(*this, *previous, current);
    ++counts.messages;
    if (previous->GetRoleName() == current.GetRoleName()) ++counts.selfMessages;
    msg->SetCaption(lineMessage);
    msg->SetKind("mkCall");
    FMessages.push_back(std::move(msg));
    previous = &current;
  }
  return counts;
}

void TSequenceDiagram::SetLayout(std::int32_t roleDistance, std::int32_t messageDistance) {
  FRoleDistance = roleDistance;
  FMessageDistance = messageDistance;
  PlaceRoles();
  TimeMessages();
}

void TSequenceDiagram::PlaceRoles() {
  std::int32_t x = 0;
  for (const auto& role : FRoles) {
    role->PlaceRole(x, 0);
    x += FRoleDistance;
  }
}

void TSequenceDiagram::TimeMessages() {
  std::int32_t y = FFirstMessageY;
  for (const auto& msg : FMessages) {
    msg->SetStartTime(y);
    if (msg->Source().GetRoleName() == msg->Target().GetRoleName()) y += FMessageDistance;
    msg->SetEndTime(y);
    y += FMessageDistance;
  }
}

void TSequenceDiagram::SetFormat(std::int32_t sizeClass, bool flag) {
  FExplorer.Layout().SetPageFormat(sizeClass, flag);
}

void TSequenceDiagram::DrawDiagram() {
  for (const auto& msg : FMessages) msg->DrawMessage();
  DrawActivations();
  FExplorer.ApplyChanges();
}

void TSequenceDiagram::DrawActivations() {
  auto activations = [](const TSqDgRole& role) {
    const auto symbol = role.Symbol().As<host::RoleSymbol>();
    if (!symbol) throw std::runtime_error("a role symbol has no activations");
    return symbol;
  };
  // Each role's pairs are gathered here and written once: appending to the
  // host's text pair by pair would copy it over and over.
  std::unordered_map<const TSqDgRole*, std::string> texts;
  auto append = [&](const TSqDgRole& role, std::int32_t from, std::int32_t to) {
    texts[&role] += "(" + std::to_string(from) + "," + std::to_string(to) + ")";
  };
  for (const auto& role : FRoles) activations(*role).SetActivations("");
  if (FMessages.empty()) throw std::runtime_error("List index out of bounds (0)");
  const TSqDgMsg& first = *FMessages.front();
  append(first.Source(), first.GetStartTime() - 5, first.GetStartTime() + 5);
  for (std::size_t i = 1; i < FMessages.size(); ++i) {
    const TSqDgMsg& previous = *FMessages[i - 1];
    const TSqDgMsg& msg = *FMessages[i];
    append(msg.Source(), previous.GetEndTime() - 5, msg.GetStartTime() + 5);
  }
  const TSqDgMsg& last = *FMessages.back();
  append(last.Target(), last.GetEndTime() - 5, last.GetEndTime() + 5);
  for (const auto& role : FRoles)
    if (const auto text = texts.find(role.get()); text != texts.end())
      activations(*role).SetActivations(text->second);
}

}  // namespace drvx::sequence
