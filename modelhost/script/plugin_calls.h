// The host's calls into registered plug-in objects: verb queries and
// execution, and project events. A failed status never stops the host; it
// becomes a readable line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host_session.h"

namespace drvx::modelhost {

// "status 0x8000FFFF (unexpected failure): <text of the error record>".
std::string DescribeFailure(mmapi::MMStatus status);

// "Alt+H", "Ctrl+Shift+D", or "none".
std::string ShortcutText(std::uint16_t value);

struct VerbInfo {
  int index = 0;
  std::optional<std::string> caption;  // none when the query failed
  std::optional<std::uint16_t> shortcut;
  std::optional<std::uint8_t> placement;
  std::string failure;  // the failures of the queries, if any
};

struct ExpertInfo {
  int registration = 0;
  std::string id;
  std::vector<VerbInfo> verbs;
  std::string failure;  // count or identifier query failed
};

// Asks every registered expert for its identifier and verbs.
std::vector<ExpertInfo> ListExperts(const HostSession& session);

// The expert of that registration number; throws when there is none.
mmapi::IMMExpert& ExpertAt(const HostSession& session, int expert);

// Queries one verb of one expert, also outside 0..count-1.
VerbInfo QueryVerb(mmapi::IMMExpert& expert, int index);

// Executes a verb; returns the failure line, or an empty text on success.
std::string ExecuteVerb(mmapi::IMMExpert& expert, int index);

enum class ProjectEvent {
  Destroyed, AfterNew, AfterOpen, AfterSave, Modified, BeforeNew, BeforeOpen, BeforeSave,
  Closed, CommitEditors, SettingsChanged
};
inline constexpr const char* kProjectEventNames[] = {
    "destroyed",  "after-new",   "after-open", "after-save", "modified",       "before-new",
    "before-open", "before-save", "closed",    "commit-editors", "settings-changed"};

struct EventResult {
  bool veto = false;                  // a notifier answered true to a before-query
  std::vector<std::string> failures;  // one line per failed notifier call
};

// Sends the event to every registered notifier in registration order.
EventResult SendProjectEvent(const HostSession& session, ProjectEvent event,
                             const std::string& fileName);

}  // namespace drvx::modelhost
