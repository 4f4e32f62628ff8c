#include "script_runner.h"

#include <charconv>
#include <iomanip>
#include <stdexcept>

#include "mmapi/cxx/utf.h"
#include "model_lookup.h"
#include "model_printer.h"
#include "plugin_calls.h"
#include "project_file.h"
#include "words.h"

namespace drvx::modelhost {
namespace {

constexpr const char* kPlacementNames[] = {"ToolsMenu",   "MainMenu",    "VCSMenu",
                                           "ClassesMenu", "MembersMenu", "ModulesMenu",
                                           "DiagramMenu", "DiagramEditorMenu"};

std::string PlacementText(std::uint8_t placement) {
  return placement < 8 ? kPlacementNames[placement] : "placement " + std::to_string(placement);
}

std::optional<int> ParseIndex(std::string_view text) {
  int value = 0;
  const auto* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

[[noreturn]] void Usage(const char* usage) {
  throw std::runtime_error(std::string("usage: ") + usage);
}

}  // namespace

const std::map<std::string_view, ScriptRunner::Command>& ScriptRunner::Commands() {
  static const std::map<std::string_view, Command> commands = {
      {"help", {"help [COMMAND]", "list the commands, or explain one", &ScriptRunner::Help, 0, 1}},
      {"open",
       {"open FILE", "open a project file (the plug-ins are told before and after)",
        &ScriptRunner::Open, 1, 1}},
      {"new", {"new", "start a new, empty project", &ScriptRunner::New, 0, 0}},
      {"save",
       {"save [FILE]", "save the project (to its own file when FILE is left out)",
        &ScriptRunner::Save, 0, 1}},
      {"select",
       {"select class|member|method|module|diagram NAME",
        "make an element current in the navigator; members as Class.Member, any element as #id",
        &ScriptRunner::Select, 2, 2}},
      {"clear",
       {"clear class|member|method|module|diagram|all", "make nothing current",
        &ScriptRunner::Clear, 1, 1}},
      {"print",
       {"print summary|modules|module NAME|classes|class NAME|method CLASS.NAME|diagrams|"
        "diagram NAME|navigator",
        "show the model or a part of it", &ScriptRunner::Print, 1, 2}},
      {"plugins", {"plugins", "list the loaded plug-in libraries", &ScriptRunner::Plugins, 0, 0}},
      {"verbs",
       {"verbs", "list the verbs of every registered expert", &ScriptRunner::Verbs, 0, 0}},
      {"verb",
       {"verb EXPERT INDEX",
        "ask an expert (by registration number) about one verb, even outside its count",
        &ScriptRunner::Verb, 2, 2}},
      {"exec",
       {"exec INDEX|EXPERT:INDEX|CAPTION",
        "execute a verb: by index (of the only expert), by expert number and index, or by caption",
        &ScriptRunner::Exec, 1, 1}},
      {"event",
       {"event NAME [FILE]",
        "send a project event to the notifiers: destroyed, after-new, after-open, after-save, "
        "modified, before-new, before-open, before-save, closed, commit-editors, settings-changed",
        &ScriptRunner::Event, 1, 2}},
      {"echo", {"echo TEXT...", "print the text", &ScriptRunner::Echo, 0, 64}},
      {"quit", {"quit", "stop reading commands", &ScriptRunner::Quit, 0, 0}},
  };
  return commands;
}

ScriptRunner::ScriptRunner(HostSession& session, PluginLoader& loader, std::ostream& out,
                           std::ostream& err)
    : session_(session), loader_(loader), out_(out), err_(err) {}

bool ScriptRunner::RunLine(std::string_view line, const std::string& where) {
  try {
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty()) return true;
    const auto& commands = Commands();
    auto it = commands.find(words[0]);
    if (it == commands.end())
      throw std::runtime_error("unknown command \"" + words[0] + "\" (try help)");
    const Command& command = it->second;
    const Args args(words.data() + 1, words.size() - 1);
    if (args.size() < command.minArgs || args.size() > command.maxArgs) Usage(command.usage);
    (this->*command.handler)(args);
    out_.flush();
    return true;
  } catch (const std::exception& e) {
    out_.flush();
    err_ << where << ": error: " << e.what() << std::endl;
    return false;
  }
}

bool ScriptRunner::RunScript(std::istream& in, const std::string& source, bool keepGoing) {
  bool ok = true;
  std::string line;
  for (int number = 1; !quit_ && std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!RunLine(line, source + ":" + std::to_string(number))) {
      ok = false;
      if (!keepGoing) break;
    }
  }
  return ok;
}

bool ScriptRunner::RunInteractive(std::istream& in) {
  bool ok = true;
  std::string line;
  while (!quit_) {
    out_ << "host> " << std::flush;
    if (!std::getline(in, line)) break;
    ok = RunLine(line, "input") && ok;
  }
  return ok;
}

void ScriptRunner::Help(Args args) {
  const auto& commands = Commands();
  if (!args.empty()) {
    auto it = commands.find(args[0]);
    if (it == commands.end()) throw std::runtime_error("unknown command \"" + args[0] + "\"");
    out_ << it->second.usage << "\n  " << it->second.help << '\n';
    return;
  }
  for (const auto& [name, command] : commands)
    out_ << "  " << std::left << std::setw(10) << name << command.help << '\n';
}

void ScriptRunner::Notify(int event, const std::string& fileName, bool vetoFails) {
  const EventResult result = SendProjectEvent(session_, ProjectEvent(event), fileName);
  for (const auto& failure : result.failures) err_ << "warning: a notifier's " << failure << '\n';
  if (vetoFails && result.veto)
    throw std::runtime_error(std::string("a plug-in declined the ") + kProjectEventNames[event] +
                             " event; nothing was changed");
}

void ScriptRunner::Open(Args args) {
  const std::filesystem::path path = args[0];
  const std::string full = std::filesystem::absolute(path).lexically_normal().string();
  Notify(int(ProjectEvent::BeforeOpen), full, true);
  session_.ReplaceProject(LoadProject(path));
  out_ << "opened " << session_.Project().fileName.string() << '\n';
  Notify(int(ProjectEvent::AfterOpen), full, false);
}

void ScriptRunner::New(Args) {
  Notify(int(ProjectEvent::BeforeNew), "", true);
  session_.ReplaceProject(std::make_unique<ModelProject>());
  out_ << "new project\n";
  Notify(int(ProjectEvent::AfterNew), "", false);
}

void ScriptRunner::Save(Args args) {
  ModelProject& project = session_.Project();
  const std::filesystem::path path = args.empty() ? project.fileName : std::filesystem::path(args[0]);
  if (path.empty()) throw std::runtime_error("the project has no file yet: save FILE");
  const std::string full = std::filesystem::absolute(path).lexically_normal().string();
  Notify(int(ProjectEvent::BeforeSave), full, true);
  SaveProject(project, path);
  out_ << "saved " << project.fileName.string() << '\n';
  Notify(int(ProjectEvent::AfterSave), full, false);
}

void ScriptRunner::Select(Args args) {
  ModelProject& project = session_.Project();
  NavigatorState& nav = project.navigator;
  const std::string& what = args[0];
  if (what == "class") {
    SelectClass(nav, FindClass(project, args[1]));
  } else if (what == "member" || what == "method") {
    ModelMember& member = FindMember(project, args[1]);
    if (what == "method" && member.category != mmapi::mcMethod)
      throw std::runtime_error(args[1] + " is not a method");
    SelectMember(nav, member);
  } else if (what == "module") {
    nav.currentModule = ComPtr<ModelModule>::Share(&FindModule(project, args[1]));
  } else if (what == "diagram") {
    nav.currentDiagram = ComPtr<ModelDiagram>::Share(&FindDiagram(project, args[1]));
  } else {
    Usage(Commands().at("select").usage);
  }
}

void ScriptRunner::Clear(Args args) {
  NavigatorState& nav = session_.Project().navigator;
  const std::string& what = args[0];
  if (what == "class") {
    nav.currentClass = nullptr;
  } else if (what == "member") {
    nav.currentMember = nullptr;
  } else if (what == "method") {
    nav.currentMethod = nullptr;
  } else if (what == "module") {
    nav.currentModule = nullptr;
  } else if (what == "diagram") {
    nav.currentDiagram = nullptr;
  } else if (what == "all") {
    nav = NavigatorState{};
  } else {
    Usage(Commands().at("clear").usage);
  }
}

void ScriptRunner::Print(Args args) {
  const ModelProject& project = session_.Project();
  const std::string& what = args[0];
  const bool named = args.size() == 2;
  if (what == "summary" && !named) {
    PrintSummary(out_, project);
  } else if (what == "modules" && !named) {
    PrintModules(out_, project);
  } else if (what == "module" && named) {
    PrintModule(out_, FindModule(project, args[1]));
  } else if (what == "classes" && !named) {
    PrintClasses(out_, project);
  } else if (what == "class" && named) {
    PrintClass(out_, FindClass(project, args[1]));
  } else if (what == "method" && named) {
    PrintMethod(out_, FindMember(project, args[1]));
  } else if (what == "diagrams" && !named) {
    PrintDiagrams(out_, project);
  } else if (what == "diagram" && named) {
    PrintDiagram(out_, FindDiagram(project, args[1]));
  } else if (what == "navigator" && !named) {
    PrintNavigator(out_, project);
  } else {
    Usage(Commands().at("print").usage);
  }
}

void ScriptRunner::Plugins(Args) {
  if (loader_.Plugins().empty()) out_ << "no plug-ins loaded\n";
  for (const auto& plugin : loader_.Plugins()) out_ << "  " << plugin.path.string() << '\n';
}

void ScriptRunner::Verbs(Args) {
  const auto experts = ListExperts(session_);
  if (experts.empty()) out_ << "no experts registered\n";
  for (const auto& expert : experts) {
    out_ << "expert " << expert.registration << ": " << expert.id << '\n';
    if (!expert.failure.empty()) out_ << "  " << expert.failure << '\n';
    for (const auto& verb : expert.verbs) {
      out_ << "  " << std::right << std::setw(2) << verb.index << "  " << std::left
           << std::setw(48) << verb.caption.value_or("?");
      if (verb.shortcut) {
        char value[16];
        std::snprintf(value, sizeof value, "0x%04X", *verb.shortcut);
        out_ << std::setw(14) << ShortcutText(*verb.shortcut) << std::setw(8) << value;
      }
      if (verb.placement) out_ << PlacementText(*verb.placement);
      if (!verb.failure.empty()) out_ << "  (" << verb.failure << ")";
      out_ << '\n';
    }
  }
}

void ScriptRunner::Verb(Args args) {
  const auto expert = ParseIndex(args[0]);
  const auto index = ParseIndex(args[1]);
  if (!expert || !index) Usage(Commands().at("verb").usage);
  if (*expert < 0 || std::size_t(*expert) >= session_.Experts().size())
    throw std::runtime_error("there is no expert " + args[0]);
  const VerbInfo verb = QueryVerb(*session_.Experts()[std::size_t(*expert)].expert, *index);
  out_ << "verb " << *index << '\n';
  out_ << "  caption:   " << (verb.caption ? "\"" + *verb.caption + "\"" : "(failed)") << '\n';
  out_ << "  shortcut:  " << (verb.shortcut ? ShortcutText(*verb.shortcut) : "(failed)") << '\n';
  out_ << "  placement: " << (verb.placement ? PlacementText(*verb.placement) : "(failed)")
       << '\n';
  if (!verb.failure.empty()) throw std::runtime_error(verb.failure);
}

void ScriptRunner::Exec(Args args) {
  const std::string& what = args[0];
  const auto& experts = session_.Experts();
  int expert = -1;
  std::optional<int> index;
  if (auto colon = what.find(':'); colon != std::string::npos) {
    auto e = ParseIndex(std::string_view(what).substr(0, colon));
    index = ParseIndex(std::string_view(what).substr(colon + 1));
    if (e && index) expert = *e;
  } else if ((index = ParseIndex(what))) {
    if (experts.size() != 1)
      throw std::runtime_error(std::to_string(experts.size()) +
                               " experts are registered: name one as EXPERT:INDEX");
    expert = 0;
  }
  if (expert < 0) {  // by caption
    for (const auto& info : ListExperts(session_))
      for (const auto& verb : info.verbs)
        if (verb.caption == what && expert < 0) {
          expert = info.registration;
          index = verb.index;
        }
    if (expert < 0) throw std::runtime_error("no verb has the caption \"" + what + "\"");
  }
  if (std::size_t(expert) >= experts.size())
    throw std::runtime_error("there is no expert " + std::to_string(expert));
  const std::string failure = ExecuteVerb(*experts[std::size_t(expert)].expert, *index);
  if (!failure.empty())
    throw std::runtime_error("verb " + std::to_string(*index) + " failed: " + failure);
}

void ScriptRunner::Event(Args args) {
  for (int e = 0; e < int(std::size(kProjectEventNames)); ++e) {
    if (args[0] != kProjectEventNames[e]) continue;
    const std::string file =
        args.size() > 1 ? args[1] : session_.Project().fileName.string();
    const EventResult result = SendProjectEvent(session_, ProjectEvent(e), file);
    for (const auto& failure : result.failures) out_ << "  " << failure << '\n';
    out_ << "sent " << args[0] << " to " << session_.Notifiers().size()
         << (session_.Notifiers().size() == 1 ? " notifier" : " notifiers");
    if (e == int(ProjectEvent::BeforeNew) || e == int(ProjectEvent::BeforeOpen) ||
        e == int(ProjectEvent::BeforeSave))
      out_ << ", answer " << (result.veto ? "true" : "false");
    out_ << '\n';
    if (!result.failures.empty()) throw std::runtime_error("a notifier failed");
    return;
  }
  Usage(Commands().at("event").usage);
}

void ScriptRunner::Echo(Args args) {
  for (std::size_t i = 0; i < args.size(); ++i) out_ << (i ? " " : "") << args[i];
  out_ << '\n';
}

void ScriptRunner::Quit(Args) { quit_ = true; }

}  // namespace drvx::modelhost
