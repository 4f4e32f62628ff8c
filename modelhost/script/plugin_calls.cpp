#include "plugin_calls.h"

#include <stdexcept>

#include <cstdio>

#include "answer.h"
#include "mmapi/cxx/utf.h"

namespace drvx::modelhost {
namespace {

const char* StatusName(mmapi::MMStatus status) {
  switch (status) {
    case mmapi::MM_E_UNEXPECTED: return "unexpected failure";
    case mmapi::MM_E_NOTIMPL: return "not implemented";
    case mmapi::MM_E_NOINTERFACE: return "no such interface";
    case mmapi::MM_E_POINTER: return "null pointer";
    case mmapi::MM_E_BOUNDS: return "index out of range";
    case mmapi::MM_E_ILLEGAL_STATE: return "not possible now";
    case mmapi::MM_E_OUTOFMEMORY: return "out of memory";
    case mmapi::MM_E_INVALIDARG: return "invalid argument";
    case mmapi::MM_E_NOTFOUND: return "not found";
    default: return "failure";
  }
}

// Runs one call into a plug-in with a clean error record; returns the failure
// line or an empty text.
template <class Call>
std::string Attempt(Call&& call) {
  ErrorRecord().clear();
  const mmapi::MMStatus status = call();
  return mmapi::MMFailed(status) ? DescribeFailure(status) : std::string();
}

std::string Text(const mmapi::MMStrView& view) {
  return mmapi::cxx::ToUtf8(std::u16string_view(view.data, view.length));
}

void Note(std::string& failures, const char* what, const std::string& failure) {
  if (failure.empty()) return;
  failures += (failures.empty() ? "" : "; ") + std::string(what) + " failed: " + failure;
}

}  // namespace

std::string DescribeFailure(mmapi::MMStatus status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
  std::string line = std::string("status ") + code + " (" + StatusName(status) + ")";
  const std::string text = mmapi::cxx::ToUtf8(ErrorRecord());
  return text.empty() ? line : line + ": " + text;
}

std::string ShortcutText(std::uint16_t value) {
  if (value == 0) return "none";
  std::string text;
  if (value & mmapi::MMShortcutCtrl) text += "Ctrl+";
  if (value & mmapi::MMShortcutShift) text += "Shift+";
  if (value & mmapi::MMShortcutAlt) text += "Alt+";
  const unsigned key = value & 0xFF;
  if (key >= 0x30 && key <= 0x5A) {
    text += char(key);
  } else {
    char code[8];
    std::snprintf(code, sizeof code, "#%02X", key);
    text += code;
  }
  return text;
}

mmapi::IMMExpert& ExpertAt(const HostSession& session, int expert) {
  const auto& experts = session.Experts();
  if (expert < 0 || std::size_t(expert) >= experts.size())
    throw std::runtime_error("there is no expert " + std::to_string(expert));
  return *experts[std::size_t(expert)].expert;
}

VerbInfo QueryVerb(mmapi::IMMExpert& expert, int index) {
  VerbInfo verb;
  verb.index = index;
  mmapi::MMStrView caption{};
  std::uint16_t shortcut = 0;
  std::uint8_t placement = 0;
  std::string failure = Attempt([&] { return expert.VerbCaption(index, &caption); });
  if (failure.empty()) verb.caption = Text(caption);
  Note(verb.failure, "caption", failure);
  failure = Attempt([&] { return expert.VerbShortcut(index, &shortcut); });
  if (failure.empty()) verb.shortcut = shortcut;
  Note(verb.failure, "shortcut", failure);
  failure = Attempt([&] { return expert.VerbPlacement(index, &placement); });
  if (failure.empty()) verb.placement = placement;
  Note(verb.failure, "placement", failure);
  return verb;
}

std::vector<ExpertInfo> ListExperts(const HostSession& session) {
  std::vector<ExpertInfo> experts;
  for (std::size_t r = 0; r < session.Experts().size(); ++r) {
    mmapi::IMMExpert& expert = *session.Experts()[r].expert;
    ExpertInfo info;
    info.registration = static_cast<int>(r);
    mmapi::MMStrView id{};
    std::string failure = Attempt([&] { return expert.ExpertId(&id); });
    info.id = failure.empty() ? Text(id) : "(unnamed)";
    Note(info.failure, "identifier", failure);
    std::int32_t count = 0;
    failure = Attempt([&] { return expert.VerbCount(&count); });
    Note(info.failure, "verb count", failure);
    for (int i = 0; failure.empty() && i < count; ++i) info.verbs.push_back(QueryVerb(expert, i));
    experts.push_back(std::move(info));
  }
  return experts;
}

std::string ExecuteVerb(mmapi::IMMExpert& expert, int index) {
  return Attempt([&] { return expert.Execute(index); });
}

EventResult SendProjectEvent(const HostSession& session, ProjectEvent event,
                             const std::string& fileName) {
  EventResult result;
  const std::u16string name = mmapi::cxx::ToUtf16(fileName);
  const auto* text = name.data();
  const auto length = static_cast<std::uint32_t>(name.size());
  for (const auto& registration : session.Notifiers()) {
    mmapi::IMMProjectNotifier& n = *registration.notifier;
    mmapi::MMBool veto = 0;
    const std::string failure = Attempt([&] {
      switch (event) {
        case ProjectEvent::Destroyed: return n.Destroyed();
        case ProjectEvent::AfterNew: return n.AfterNew();
        case ProjectEvent::AfterOpen: return n.AfterOpen(text, length);
        case ProjectEvent::AfterSave: return n.AfterSave(text, length);
        case ProjectEvent::Modified: return n.Modified();
        case ProjectEvent::BeforeNew: return n.BeforeNew(&veto);
        case ProjectEvent::BeforeOpen: return n.BeforeOpen(text, length, &veto);
        case ProjectEvent::BeforeSave: return n.BeforeSave(text, length, &veto);
        case ProjectEvent::Closed: return n.Closed();
        case ProjectEvent::CommitEditors: return n.CommitEditors();
        case ProjectEvent::SettingsChanged: return n.SettingsChanged();
      }
      return mmapi::MM_E_INVALIDARG;
    });
    if (!failure.empty())
      result.failures.push_back(std::string(kProjectEventNames[int(event)]) + " failed: " + failure);
    else if (veto)
      result.veto = true;
  }
  return result;
}

}  // namespace drvx::modelhost
