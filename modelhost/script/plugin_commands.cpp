// Commands on the loaded plug-ins: plugins, verbs, verb, exec, event, call-stacks.
#include <iomanip>
#include <optional>
#include <stdexcept>

#include "command_table.h"
#include "host_operations.h"
#include "host_session.h"
#include "plugin_calls.h"
#include "plugin_loader.h"
#include "words.h"

namespace drvx::modelhost {
namespace {

constexpr const char* kPlacementNames[] = {"ToolsMenu",   "MainMenu",    "VCSMenu",
                                           "ClassesMenu", "MembersMenu", "ModulesMenu",
                                           "DiagramMenu", "DiagramEditorMenu"};

std::string PlacementText(std::uint8_t placement) {
  return placement < 8 ? kPlacementNames[placement] : "placement " + std::to_string(placement);
}

void Plugins(HostContext& host) {
  if (host.loader.Plugins().empty()) host.out << "no plug-ins loaded\n";
  for (const auto& plugin : host.loader.Plugins()) host.out << "  " << plugin.path.string() << '\n';
}

void Verbs(HostContext& host) {
  const auto experts = ListExperts(host.session);
  if (experts.empty()) host.out << "no experts registered\n";
  for (const auto& expert : experts) {
    host.out << "expert " << expert.registration << ": " << expert.id << '\n';
    if (!expert.failure.empty()) host.out << "  " << expert.failure << '\n';
    for (const auto& verb : expert.verbs) {
      host.out << "  " << std::right << std::setw(2) << verb.index << "  " << std::left
               << std::setw(50) << verb.caption.value_or("?");
      if (verb.shortcut) {
        char value[16];
        std::snprintf(value, sizeof value, "0x%04X", *verb.shortcut);
        host.out << std::setw(14) << ShortcutText(*verb.shortcut) << std::setw(8) << value;
      }
      if (verb.placement) host.out << PlacementText(*verb.placement);
      if (!verb.failure.empty()) host.out << "  (" << verb.failure << ")";
      host.out << '\n';
    }
  }
}

void Verb(HostContext& host, Args args) {
  const auto expert = ParseNumber(args[0]);
  const auto index = ParseNumber(args[1]);
  if (!expert || !index) throw UsageError();
  const VerbInfo verb = QueryVerb(ExpertAt(host.session, *expert), *index);
  host.out << "verb " << *index << '\n'
           << "  caption:   " << (verb.caption ? "\"" + *verb.caption + "\"" : "(failed)") << '\n'
           << "  shortcut:  " << (verb.shortcut ? ShortcutText(*verb.shortcut) : "(failed)")
           << '\n'
           << "  placement: " << (verb.placement ? PlacementText(*verb.placement) : "(failed)")
           << '\n';
  if (!verb.failure.empty()) throw std::runtime_error(verb.failure);
}

void Exec(HostContext& host, HostOperations& operations, Args args) {
  const std::string& what = args[0];
  int expert = -1;
  std::optional<int> index;
  if (auto colon = what.find(':'); colon != std::string::npos) {
    auto e = ParseNumber(std::string_view(what).substr(0, colon));
    index = ParseNumber(std::string_view(what).substr(colon + 1));
    if (e && index) expert = *e;
  } else if ((index = ParseNumber(what))) {
    const auto count = host.session.Experts().size();
    if (count != 1)
      throw std::runtime_error(std::to_string(count) +
                               " experts are registered: name one as EXPERT:INDEX");
    expert = 0;
  }
  if (expert < 0) {  // by caption
    for (const auto& info : ListExperts(host.session))
      for (const auto& verb : info.verbs)
        if (verb.caption == what && expert < 0) {
          expert = info.registration;
          index = verb.index;
        }
    if (expert < 0) throw std::runtime_error("no verb has the caption \"" + what + "\"");
  }
  operations.Execute(expert, *index);
}

void Event(HostContext& host, Args args) {
  for (int e = 0; e < int(std::size(kProjectEventNames)); ++e) {
    if (args[0] != kProjectEventNames[e]) continue;
    const std::string file = args.size() > 1 ? args[1] : host.session.Project().fileName.string();
    const EventResult result = SendProjectEvent(host.session, ProjectEvent(e), file);
    for (const auto& failure : result.failures) host.out << "  " << failure << '\n';
    const auto count = host.session.Notifiers().size();
    host.out << "sent " << args[0] << " to " << count << (count == 1 ? " notifier" : " notifiers");
    if (e == int(ProjectEvent::BeforeNew) || e == int(ProjectEvent::BeforeOpen) ||
        e == int(ProjectEvent::BeforeSave))
      host.out << ", answer " << (result.veto ? "true" : "false");
    host.out << '\n';
    if (!result.failures.empty()) throw std::runtime_error("a notifier failed");
    return;
  }
  throw UsageError();
}

std::string PatternList(const std::vector<std::string>& patterns) {
  std::string text;
  for (const std::string& p : patterns) text += (text.empty() ? "" : " ") + QuoteWord(p);
  return text.empty() ? "(none)" : text;
}

void CallStacks(HostContext& host, Args args) {
  CallStackOptions& options = host.session.CallStacks();
  if (args.empty()) {
    host.out << "call stacks: depth "
             << (options.depthLimit ? std::to_string(options.depthLimit) : std::string("all"))
             << ", include " << PatternList(options.include) << ", exclude "
             << PatternList(options.exclude) << '\n';
    return;
  }
  const std::string& what = args[0];
  const Args rest = args.subspan(1);
  if (what == "clear" && rest.empty()) {
    options = {};
  } else if (what == "depth" && rest.size() == 1) {
    const std::optional<int> depth = ParseNumber(rest[0]);
    if (!depth || *depth < 0)
      throw std::runtime_error("call-stacks depth: \"" + rest[0] +
                               "\" is not a number of calls (0 keeps them all)");
    options.depthLimit = *depth;
  } else if ((what == "include" || what == "exclude") && !rest.empty()) {
    auto& patterns = what == "include" ? options.include : options.exclude;
    for (const std::string& p : rest) {
      if (p.empty() || p.find_first_of("\r\n") != std::string::npos)
        throw std::runtime_error("call-stacks " + what + ": a pattern must be one line of text");
      patterns.push_back(p);
    }
  } else {
    throw UsageError();
  }
}

}  // namespace

void AddPluginCommands(CommandTable& table, HostContext& host, HostOperations& operations) {
  table.Add("plugins", {"plugins", "list the loaded plug-in libraries",
                        [&host](Args) { Plugins(host); }, 0, 0});
  table.Add("verbs", {"verbs", "list the verbs of every registered expert",
                      [&host](Args) { Verbs(host); }, 0, 0});
  table.Add("verb", {"verb EXPERT INDEX",
                     "ask an expert (by registration number) about one verb, even outside its "
                     "count",
                     [&host](Args a) { Verb(host, a); }, 2, 2});
  table.Add("exec", {"exec INDEX|EXPERT:INDEX|CAPTION",
                     "execute a verb: by index (of the only expert), by expert number and index, "
                     "or by caption",
                     [&host, &operations](Args a) { Exec(host, operations, a); }, 1, 1});
  table.Add("event",
            {"event NAME [FILE]",
             "send a project event to the notifiers: destroyed, after-new, after-open, "
             "after-save, modified, before-new, before-open, before-save, closed, "
             "commit-editors, settings-changed",
             [&host](Args a) { Event(host, a); }, 1, 2});
  table.Add("call-stacks",
            {"call-stacks [depth N | include PATTERN... | exclude PATTERN... | clear]",
             "show or set what the plug-in draws of a call stack a program sends: only calls "
             "of classes that match an include pattern (when there are any) and no exclude "
             "pattern, then the innermost N of them (0: all); '*' in a pattern stands for any "
             "characters, '?' for one",
             [&host](Args a) { CallStacks(host, a); }, 0, 64});
}

}  // namespace drvx::modelhost
