// A call list drawn as a sequence diagram and rendered to an SVG file, end
// to end, against PlantUML rendering the same diagram's text to SVG
// (`plantuml -tsvg`, Debian's plantuml package) in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "call_list.h"
#include "diagram_generator.h"
#include "drvx/platform/files.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_call.h"
#include "host_session.h"
#include "layout.h"
#include "timing.h"
#include "support/test_support.h"
#include "project_file.h"
#include "sequence_text.h"
#include "svg_writer.h"
#include "words.h"

namespace {

using namespace drvx;
using bench::Clock;
using bench::Milliseconds;

void BM_CallListToSvgAgainstPlantUml(benchmark::State& state) {
  modelhost::HostSession session;
  session.ReplaceProject(modelhost::LoadProject(test::ExampleProject()));
  host::HostBinding binding(session.Services());
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  test::TempDir dir;
  const auto lines = bench::CallList(session.Project(), int(state.range(0)));
  Clock::duration ours{};
  for (auto _ : state) {
    const auto start = Clock::now();
    if (sequence::TDiagramGenerator(host::Services::Of(session.Services())).GenSqDg("sqBench", lines) < 0) state.SkipWithError("not drawn");
    const auto& diagram = *session.Project().diagrams.back();
    platform::WriteFileAtomically(dir / "ours.svg", [&](std::ostream& out) {
      modelhost::render::WriteSvg(modelhost::render::LayoutDiagram(diagram), out);
    });
    ours += Clock::now() - start;
  }
  platform::SetDialogs(nullptr);
  const double oursMs = Milliseconds(ours) / double(state.iterations());
  state.counters["ours_ms"] = oursMs;
  state.counters["messages"] = double(session.Project().diagrams.back()->associations.size());

  // PlantUML once: it starts a Java machine, which is part of what it costs.
  std::ofstream(dir / "theirs.puml") << [&] {
    std::ostringstream text;
    modelhost::render::WritePlantUml(*session.Project().diagrams.back(), text);
    return text.str();
  }();
  const std::string command = "plantuml -tsvg " + modelhost::QuoteWord((dir / "theirs.puml").string()) +
                              " > /dev/null 2>&1";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double theirsMs = Milliseconds(Clock::now() - start);
  if (status != 0 || !std::filesystem::exists(dir / "theirs.svg")) {
    state.counters["plantuml_ms"] = -1;  // not installed, or it failed
    return;
  }
  state.counters["plantuml_ms"] = theirsMs;
  state.counters["ratio"] = theirsMs / oursMs;
}
BENCHMARK(BM_CallListToSvgAgainstPlantUml)
    ->ArgName("lines")
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// 10^5 symbols, each held by the one before, against the same symbols side
// by side: drawing them should cost about the same (linear in the number of
// shapes, however deep they nest).
modelhost::ModelDiagram& Symbols(modelhost::ModelProject& project, int count, bool nested) {
  auto diagram = project.NewDiagram(0);
  project.AddDiagram(diagram);
  mmapi::cxx::ComPtr<modelhost::ModelShape> parent;
  for (int i = 0; i < count; ++i) {
    auto shape = project.NewShape(u"ClassSymbol");
    shape->x = nested ? 1 : i;
    shape->y = nested ? 2 : 2 * i;
    shape->width = shape->height = 10;
    if (nested) shape->parent = parent;
    diagram->Adopt(shape);
    parent = shape;
  }
  return *diagram;
}

void BM_NestedToFlatSymbols(benchmark::State& state) {
  constexpr int kSymbols = 100000;
  modelhost::ModelProject project;
  const auto& nested = Symbols(project, kSymbols, true);
  const auto& flat = Symbols(project, kSymbols, false);
  Clock::duration nestedTime{}, flatTime{};
  for (auto _ : state) {
    auto start = Clock::now();
    benchmark::DoNotOptimize(modelhost::render::LayoutDiagram(nested));
    nestedTime += Clock::now() - start;
    start = Clock::now();
    benchmark::DoNotOptimize(modelhost::render::LayoutDiagram(flat));
    flatTime += Clock::now() - start;
  }
  state.counters["nested_ms"] = Milliseconds(nestedTime) / double(state.iterations());
  state.counters["flat_ms"] = Milliseconds(flatTime) / double(state.iterations());
  state.counters["nested_to_flat"] = Milliseconds(nestedTime) / Milliseconds(flatTime);
}
BENCHMARK(BM_NestedToFlatSymbols)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
