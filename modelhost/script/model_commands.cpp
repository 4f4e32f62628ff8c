// Commands on the open project: open, new, save, select, clear, print.
#include <stdexcept>

#include "command_table.h"
#include "host_operations.h"
#include "host_session.h"
#include "model_lookup.h"
#include "model_printer.h"
#include "words.h"

namespace drvx::modelhost {
namespace {

// "class", "member", ... as the select command names them.
Selectable SelectableNamed(const std::string& word) {
  if (word == "class") return Selectable::Class;
  if (word == "member") return Selectable::Member;
  if (word == "method") return Selectable::Method;
  if (word == "module") return Selectable::Module;
  if (word == "diagram") return Selectable::Diagram;
  throw UsageError();
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

void AddModelCommands(CommandTable& table, HostContext& host, HostOperations& operations) {
  table.Add("fail", {"fail OPERATION TEXT [SKIP [TIMES]], fail list, fail clear",
                     "make the host's next calls of an operation (Name, Diagrams, ...) fail with "
                     "TEXT, after SKIP calls that succeed",
                     [&host](Args a) { Fail(host, a); }, 1, 4});
  table.Add("open", {"open FILE", "open a project file (the plug-ins are told before and after)",
                     [&operations](Args a) { operations.Open(a[0]); }, 1, 1});
  table.Add("new", {"new", "start a new, empty project", [&operations](Args) { operations.New(); }, 0, 0});
  table.Add("save", {"save [FILE]", "save the project (to its own file when FILE is left out)",
                     [&operations](Args a) {
                       operations.Save(a.empty() ? std::filesystem::path() : std::filesystem::path(a[0]));
                     },
                     0, 1});
  table.Add("select",
            {"select class|member|method|module|diagram NAME",
             "make an element current in the navigator; members as Class.Member, any element "
             "as #id",
             [&operations](Args a) { operations.Select(SelectableNamed(a[0]), a[1]); }, 2, 2});
  table.Add("clear", {"clear class|member|method|module|diagram|all", "make nothing current",
                      [&host](Args a) { Clear(host, a); }, 1, 1});
  table.Add("print",
            {"print summary|modules|module NAME|classes|class NAME|method CLASS.NAME|diagrams|"
             "diagram NAME|navigator",
             "show the model or a part of it", [&host](Args a) { Print(host, a); }, 1, 2});
}

}  // namespace drvx::modelhost
