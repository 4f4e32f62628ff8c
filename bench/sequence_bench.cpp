// Drawing sequence diagrams from long call lists, into the example project
// and into the large synthetic project: time per list and host calls per line.
#include <benchmark/benchmark.h>

#include <chrono>

#include "answer.h"
#include "call_list.h"
#include "diagram_generator.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_call.h"
#include "large_project.h"
#include "support/test_support.h"
#include "project_file.h"

namespace {

using namespace drvx;

void Generate(benchmark::State& state, modelhost::HostSession& session) {
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  host::HostBinding binding(session.Services());
  const auto lines = bench::CallList(session.Project(), int(state.range(0)));
  std::uint64_t calls = 0;
  for (auto _ : state) {
    const std::uint64_t before = modelhost::HostCallCount();
    sequence::TDiagramGenerator generator(host::Services::Of(session.Services()));
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

// The same number of lines into both projects, alternately: what the size of
// the model adds to drawing.
void BM_GenerateLargeToExample(benchmark::State& state) {
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  modelhost::HostSession example;
  example.ReplaceProject(modelhost::LoadProject(test::ExampleProject()));
  modelhost::HostSession& large = bench::Large().session;
  const auto exampleLines = bench::CallList(example.Project(), int(state.range(0)));
  const auto largeLines = bench::CallList(large.Project(), int(state.range(0)));
  using Clock = std::chrono::steady_clock;
  Clock::duration intoExample{}, intoLarge{};
  auto draw = [&](modelhost::HostSession& session, const std::vector<std::string>& lines) {
    host::HostBinding binding(session.Services());
    const auto start = Clock::now();
    sequence::TDiagramGenerator generator(host::Services::Of(session.Services()));
    if (generator.GenSqDg("sqBench", lines) < 0) state.SkipWithError(generator.ExMsg().c_str());
    return Clock::now() - start;
  };
  for (auto _ : state) {
    intoExample += draw(example, exampleLines);
    intoLarge += draw(large, largeLines);
  }
  const double n = double(state.iterations());
  state.counters["example_ms"] = std::chrono::duration<double, std::milli>(intoExample).count() / n;
  state.counters["large_ms"] = std::chrono::duration<double, std::milli>(intoLarge).count() / n;
  state.counters["ratio"] = double(intoLarge.count()) / double(intoExample.count());
  platform::SetDialogs(nullptr);
}
BENCHMARK(BM_GenerateLargeToExample)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
