// Commands on the open project: open, new, save, select, clear, print.
#include <stdexcept>

#include "command_table.h"
#include "host_session.h"
#include "model_lookup.h"
#include "model_printer.h"
#include "plugin_calls.h"
#include "project_file.h"
#include "words.h"

namespace drvx::modelhost {
namespace {

// Sends a project event; a before-event that a notifier declines fails.
void Notify(HostContext& host, ProjectEvent event, const std::string& fileName, bool vetoFails) {
  const EventResult result = SendProjectEvent(host.session, event, fileName);
  for (const auto& failure : result.failures) host.err << "warning: a notifier's " << failure << '\n';
  if (vetoFails && result.veto)
    throw std::runtime_error(std::string("a plug-in declined the ") +
                             kProjectEventNames[int(event)] + " event; nothing was changed");
}

std::string FullPath(const std::filesystem::path& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

void Open(HostContext& host, Args args) {
  const std::filesystem::path path = args[0];
  const std::string full = FullPath(path);
  Notify(host, ProjectEvent::BeforeOpen, full, true);
  host.session.ReplaceProject(LoadProject(path));
  host.out << "opened " << host.session.Project().fileName.string() << '\n';
  Notify(host, ProjectEvent::AfterOpen, full, false);
}

void New(HostContext& host) {
  Notify(host, ProjectEvent::BeforeNew, "", true);
  host.session.ReplaceProject(std::make_unique<ModelProject>());
  host.out << "new project\n";
  Notify(host, ProjectEvent::AfterNew, "", false);
}

void Save(HostContext& host, Args args) {
  ModelProject& project = host.session.Project();
  const std::filesystem::path path = args.empty() ? project.fileName : std::filesystem::path(args[0]);
  if (path.empty()) throw std::runtime_error("the project has no file yet: save FILE");
  const std::string full = FullPath(path);
  Notify(host, ProjectEvent::BeforeSave, full, true);
  SaveProject(project, path);
  host.out << "saved " << project.fileName.string() << '\n';
  Notify(host, ProjectEvent::AfterSave, full, false);
}

void Select(HostContext& host, Args args) {
  ModelProject& project = host.session.Project();
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
    throw UsageError();
  }
}

void Clear(HostContext& host, Args args) {
  NavigatorState& nav = host.session.Project().navigator;
  const std::string& what = args[0];
  if (what == "class") nav.currentClass = nullptr;
  else if (what == "member") nav.currentMember = nullptr;
  else if (what == "method") nav.currentMethod = nullptr;
  else if (what == "module") nav.currentModule = nullptr;
  else if (what == "diagram") nav.currentDiagram = nullptr;
  else if (what == "all") nav = NavigatorState{};
  else throw UsageError();
}

void Print(HostContext& host, Args args) {
  const ModelProject& project = host.session.Project();
  std::ostream& out = host.out;
  const std::string& what = args[0];
  const bool named = args.size() == 2;
  if (what == "summary" && !named) PrintSummary(out, project);
  else if (what == "modules" && !named) PrintModules(out, project);
  else if (what == "module" && named) PrintModule(out, FindModule(project, args[1]));
  else if (what == "classes" && !named) PrintClasses(out, project);
  else if (what == "class" && named) PrintClass(out, FindClass(project, args[1]));
  else if (what == "method" && named) PrintMethod(out, FindMember(project, args[1]));
  else if (what == "diagrams" && !named) PrintDiagrams(out, project);
  else if (what == "diagram" && named) PrintDiagram(out, FindDiagram(project, args[1]));
  else if (what == "navigator" && !named) PrintNavigator(out, project);
  else throw UsageError();
}

void Fail(HostContext& host, Args args) {
  if (args[0] == "clear" && args.size() == 1) return ClearPlannedFaults();
  if (args[0] == "list" && args.size() == 1) {
    if (PlannedFaults().empty()) host.out << "no failures planned\n";
    for (const auto& f : PlannedFaults())
      host.out << "  " << f.operation << " fails with \"" << f.text << "\" after " << f.skip
               << " more calls, " << f.times << (f.times == 1 ? " time\n" : " times\n");
    return;
  }
  if (args.size() < 2) throw UsageError();
  PlannedFault fault{args[0], args[1], 0, 1};
  if (args.size() > 2) {
    const auto skip = ParseNumber(args[2]);
    if (!skip || *skip < 0) throw UsageError();
    fault.skip = *skip;
  }
  if (args.size() > 3) {
    const auto times = ParseNumber(args[3]);
    if (!times || *times < 1) throw UsageError();
    fault.times = *times;
  }
  PlanFault(std::move(fault));
}

}  // namespace

void AddModelCommands(CommandTable& table, HostContext& host) {
  table.Add("fail", {"fail OPERATION TEXT [SKIP [TIMES]], fail list, fail clear",
                     "make the host's next calls of an operation (Name, Diagrams, ...) fail with "
                     "TEXT, after SKIP calls that succeed",
                     [&host](Args a) { Fail(host, a); }, 1, 4});
  table.Add("open", {"open FILE", "open a project file (the plug-ins are told before and after)",
                     [&host](Args a) { Open(host, a); }, 1, 1});
  table.Add("new", {"new", "start a new, empty project", [&host](Args) { New(host); }, 0, 0});
  table.Add("save", {"save [FILE]", "save the project (to its own file when FILE is left out)",
                     [&host](Args a) { Save(host, a); }, 0, 1});
  table.Add("select",
            {"select class|member|method|module|diagram NAME",
             "make an element current in the navigator; members as Class.Member, any element "
             "as #id",
             [&host](Args a) { Select(host, a); }, 2, 2});
  table.Add("clear", {"clear class|member|method|module|diagram|all", "make nothing current",
                      [&host](Args a) { Clear(host, a); }, 1, 1});
  table.Add("print",
            {"print summary|modules|module NAME|classes|class NAME|method CLASS.NAME|diagrams|"
             "diagram NAME|navigator",
             "show the model or a part of it", [&host](Args a) { Print(host, a); }, 1, 2});
}

}  // namespace drvx::modelhost
