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
#include "modelhost/test_support.h"
#include "project_file.h"
#include "sequence_text.h"
#include "svg_writer.h"
#include "words.h"

namespace {

using namespace drvx;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

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
    if (sequence::TDiagramGenerator().GenSqDg("sqBench", lines) < 0) state.SkipWithError("not drawn");
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

}  // namespace
