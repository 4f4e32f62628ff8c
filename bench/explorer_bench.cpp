// The diagram explorer on the large project: a member, a class and a diagram
// reference search, and a documentation report of 100 diagrams, each against
// the same work over plain structs in the same run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "diagram_explorer.h"
#include "large_project.h"

namespace {

using namespace drvx;
using Clock = std::chrono::steady_clock;

// What the search finds: the diagrams whose first passing link fits.
std::size_t PlainSearch(const std::vector<bench::PlainDiagram>& diagrams, const std::string& key,
                        int kind, const std::string& currentClass, std::vector<std::string>& out) {
  out.clear();
  for (const auto& d : diagrams) {
    bool found = false;
    for (const auto& s : d.shapes) {
      for (const auto& l : s.links) {
        if (l.name != key) continue;
        const bool passes = kind == diagrams::rkClass    ? l.kind == 0 && l.targetName == currentClass
                            : kind == diagrams::rkMember ? l.kind == 1 && l.ownerName == currentClass
                                                         : l.kind == 4;
        if (passes) {
          out.push_back(d.name);
          found = true;
          break;
        }
      }
      if (found) break;
    }
  }
  return out.size();
}

std::string Dashes(char c, const std::string& s) { return std::string(s.size(), c); }

void PlainDoc(const bench::PlainDiagram& d, std::vector<std::string>& lines) {
  lines.push_back("Diagram : " + d.name);
  lines.push_back("==========" + Dashes('=', d.name));
  for (const auto& s : d.shapes) {
    if (s.association || (s.oneLiner.empty() && s.documentation.empty())) continue;
    lines.insert(lines.end(), {"", "", s.caption, Dashes('-', s.caption)});
    if (!s.oneLiner.empty()) lines.insert(lines.end(), {"{{ OneLiner:", s.oneLiner, "}}"});
    if (!s.documentation.empty()) lines.push_back(s.documentation);
  }
  for (const auto& s : d.shapes) {
    if (!s.association || (s.oneLiner.empty() && s.documentation.empty())) continue;
    const auto& from = d.shapes[std::size_t(s.source)];
    const auto& to = d.shapes[std::size_t(s.target)];
    const std::string header = "Association :" + from.caption + "." + from.instanceName + "->" +
                               to.caption + "." + to.instanceName;
    lines.insert(lines.end(), {"", "", header, Dashes('-', header), "Name             : " + s.caption});
    if (d.kind == 0 && !s.targetRole.empty()) lines.push_back("TargetRole       : " + s.targetRole);
    if (!s.documentation.empty()) lines.insert(lines.end(), {"Documentation    :", s.documentation});
  }
  lines.insert(lines.end(), {"", ""});
}

// Runs `plain` and `wrapped` alternately and reports both times and the ratio.
template <class Plain, class Wrapped>
void Compare(benchmark::State& state, Plain&& plain, Wrapped&& wrapped) {
  Clock::duration plainTime{}, wrappedTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    plain();
    const auto t1 = Clock::now();
    wrapped();
    const auto t2 = Clock::now();
    plainTime += t1 - t0;
    wrappedTime += t2 - t1;
  }
  const double n = double(state.iterations());
  state.counters["plain_ms"] = std::chrono::duration<double, std::milli>(plainTime).count() / n;
  state.counters["explorer_ms"] =
      std::chrono::duration<double, std::milli>(wrappedTime).count() / n;
  state.counters["ratio"] = double(wrappedTime.count()) / double(plainTime.count());
}

void Select(modelhost::ModelProject& project) {
  auto& cls = *project.classes[17];
  modelhost::SelectMember(project.navigator, *cls.members[1]);
  project.navigator.currentDiagram = project.diagrams[17];
}

void BM_SearchReferences(benchmark::State& state) {
  auto& large = bench::Large();
  host::HostBinding binding(large.session.Services());
  Select(large.session.Project());
  const auto kind = static_cast<diagrams::TReferenceKind>(state.range(0));
  const std::string currentClass = "TSyntheticClass17";
  const std::string key = kind == diagrams::rkClass    ? currentClass
                          : kind == diagrams::rkMember ? "Operation1"
                                                       : "csSyntheticDiagram17";
  diagrams::TMMDiagramExplorer explorer(host::Services::Of(large.session.Services()), nullptr);
  diagrams::Lines result, symbols, plainResult;
  Compare(
      state,
      [&] { benchmark::DoNotOptimize(PlainSearch(large.plain, key, kind, currentClass, plainResult)); },
      [&] {
        if (kind == diagrams::rkClass) explorer.GetCurrentClassReferences(result, symbols);
        else if (kind == diagrams::rkMember) explorer.GetCurrentMemberReferences(result, symbols);
        else explorer.GetCurrentDiagramReferences(result, symbols);
      });
  if (result != plainResult) state.SkipWithError("the two searches disagree");
  state.counters["found"] = double(result.size());
}
BENCHMARK(BM_SearchReferences)
    ->ArgName("kind")
    ->Arg(diagrams::rkMember)
    ->Arg(diagrams::rkClass)
    ->Arg(diagrams::rkDiagram)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_DocumentHundredDiagrams(benchmark::State& state) {
  auto& large = bench::Large();
  host::HostBinding binding(large.session.Services());
  diagrams::Lines names;
  for (int i = 0; i < 100; ++i) names.push_back(large.plain[std::size_t(i)].name);
  diagrams::TMMDiagramExplorer explorer(host::Services::Of(large.session.Services()), nullptr);
  explorer.OneLiner = true;
  diagrams::Lines lines, plainLines;
  Compare(
      state,
      [&] {
        plainLines.clear();
        for (int i = 0; i < 100; ++i) PlainDoc(large.plain[std::size_t(i)], plainLines);
      },
      [&] { explorer.ExtractDocumentation(names, lines); });
  state.counters["lines"] = double(lines.size());
}
BENCHMARK(BM_DocumentHundredDiagrams)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
