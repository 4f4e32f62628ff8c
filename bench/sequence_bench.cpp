// Drawing sequence diagrams from long call lists, into the example project
// and into the large synthetic project: time per list and host calls per line.
#include <benchmark/benchmark.h>

#include "answer.h"
#include "diagram_generator.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_call.h"
#include "large_project.h"
#include "mmapi/cxx/utf.h"
#include "modelhost/test_support.h"
#include "project_file.h"

namespace {

using namespace drvx;

// A chain of calls over 50 roles: the project's first classes (instances,
// calling their methods) and actors for the rest.
std::vector<std::string> CallList(const modelhost::ModelProject& project, int lines) {
  std::vector<std::string> roles;
  std::vector<std::string> methods;
  for (const auto& cls : project.classes) {
    if (roles.size() == 25) break;
    roles.push_back(mmapi::cxx::ToUtf8(cls->name));
    std::string method = "Run";
    for (const auto& m : cls->members)
      if (m->category == mmapi::mcMethod) method = mmapi::cxx::ToUtf8(m->name);
    methods.push_back(method + "(x)");
  }
  while (roles.size() < 50) {
    roles.push_back("Actor" + std::to_string(roles.size()));
    methods.push_back("Notify");
  }
  std::vector<std::string> list{roles[0] + ".Start"};
  for (int i = 1; i < lines; ++i) {
    const std::size_t r = std::size_t((i * 7) % 50);
    list.push_back(roles[r] + "." + methods[r]);
  }
  return list;
}

void Generate(benchmark::State& state, modelhost::HostSession& session) {
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  host::HostBinding binding(session.Services());
  const auto lines = CallList(session.Project(), int(state.range(0)));
  std::uint64_t calls = 0;
  for (auto _ : state) {
    const std::uint64_t before = modelhost::HostCallCount();
    sequence::TDiagramGenerator generator;
    if (generator.GenSqDg("sqBench", lines) < 0) state.SkipWithError(generator.ExMsg().c_str());
    calls += modelhost::HostCallCount() - before;
  }
  state.counters["host_calls_per_line"] =
      double(calls) / double(state.iterations()) / double(lines.size());
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(lines.size()));
  platform::SetDialogs(nullptr);
}

void BM_GenerateIntoExample(benchmark::State& state) {
  modelhost::HostSession session;
  session.ReplaceProject(modelhost::LoadProject(test::ExampleProject()));
  Generate(state, session);
}
BENCHMARK(BM_GenerateIntoExample)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_GenerateIntoLargeProject(benchmark::State& state) {
  Generate(state, bench::Large().session);
}
BENCHMARK(BM_GenerateIntoLargeProject)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
