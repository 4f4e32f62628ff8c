// What the boundary costs: loading a large project, and walking every diagram,
// symbol and hyperlink through the plug-in's wrappers compared with the same
// walk over plain structs, both measured in the same run.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "drvx/platform/files.h"
#include "host_api.h"
#include "host_session.h"
#include "project_file.h"
#include "large_project.h"

namespace {

using namespace drvx;
using Clock = std::chrono::steady_clock;

// The shared project and the name the walks look for.
struct WalkData {
  std::vector<bench::PlainDiagram>& plain = bench::Large().plain;
  modelhost::HostSession& session = bench::Large().session;
  const std::string key = "csSyntheticDiagram17";
};

// Counts the hyperlinks named like the key, as a reference search does.
std::size_t PlainWalk(const std::vector<bench::PlainDiagram>& diagrams, const std::string& key,
                      std::size_t& links) {
  std::size_t found = 0;
  for (const auto& d : diagrams)
    for (const auto& s : d.shapes)
      for (const auto& l : s.links) {
        ++links;
        found += l.name == key;
      }
  return found;
}

std::size_t WrapperWalk(const host::Services& services, const std::string& key,
                        std::size_t& links) {
  std::size_t found = 0;
  std::string name;
  auto manager = services.Diagrams();
  const int diagrams = manager.DiagramCount();
  for (int d = 0; d < diagrams; ++d) {
    auto explorer = manager.Diagrams(d).Explorer();
    const int shapes = explorer.ShapeCount();
    for (int s = 0; s < shapes; ++s) {
      auto shape = explorer.Shapes(s);
      const int count = shape.HyperlinkCount();
      for (int h = 0; h < count; ++h) {
        ++links;
        shape.ReadHyperlinkName(h, name);
        found += name == key;
      }
    }
  }
  return found;
}

WalkData& Shared() {
  static WalkData data;
  return data;
}

void BM_PlainWalk(benchmark::State& state) {
  auto& large = Shared();
  std::size_t links = 0;
  for (auto _ : state) benchmark::DoNotOptimize(PlainWalk(large.plain, large.key, links));
  state.SetItemsProcessed(std::int64_t(links));
}
BENCHMARK(BM_PlainWalk)->Unit(benchmark::kMillisecond);

void BM_WrapperWalk(benchmark::State& state) {
  auto& large = Shared();
  host::HostBinding binding(large.session.Services());
  const host::Services services = host::Services::Of(large.session.Services());
  std::size_t links = 0;
  for (auto _ : state) benchmark::DoNotOptimize(WrapperWalk(services, large.key, links));
  state.SetItemsProcessed(std::int64_t(links));
}
BENCHMARK(BM_WrapperWalk)->Unit(benchmark::kMillisecond);

// Both walks in each iteration, alternating; reports nanoseconds per hyperlink
// for each and their ratio.
void BM_WrapperToPlainRatio(benchmark::State& state) {
  auto& large = Shared();
  host::HostBinding binding(large.session.Services());
  const host::Services services = host::Services::Of(large.session.Services());
  Clock::duration plain{}, wrapped{};
  std::size_t plainLinks = 0, wrappedLinks = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    benchmark::DoNotOptimize(PlainWalk(large.plain, large.key, plainLinks));
    auto t1 = Clock::now();
    benchmark::DoNotOptimize(WrapperWalk(services, large.key, wrappedLinks));
    auto t2 = Clock::now();
    plain += t1 - t0;
    wrapped += t2 - t1;
  }
  const double plainNs = std::chrono::duration<double, std::nano>(plain).count() / double(plainLinks);
  const double wrappedNs =
      std::chrono::duration<double, std::nano>(wrapped).count() / double(wrappedLinks);
  state.counters["plain_ns_per_link"] = plainNs;
  state.counters["wrapper_ns_per_link"] = wrappedNs;
  state.counters["ratio"] = wrappedNs / plainNs;
}
BENCHMARK(BM_WrapperToPlainRatio)->Unit(benchmark::kMillisecond)->Iterations(10);

// Parses JSON and keeps nothing: the floor of any reader.
struct DiscardingSax {
  using json = nlohmann::json;
  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(json::number_integer_t) { return true; }
  bool number_unsigned(json::number_unsigned_t) { return true; }
  bool number_float(json::number_float_t, const json::string_t&) { return true; }
  bool string(json::string_t&) { return true; }
  bool binary(json::binary_t&) { return true; }
  bool start_object(std::size_t) { return true; }
  bool key(json::string_t&) { return true; }
  bool end_object() { return true; }
  bool start_array(std::size_t) { return true; }
  bool end_array() { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }
};

// A value of /proc/self/status in megabytes ("VmRSS", "VmHWM").
double StatusMegabytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
  return 0;
}

// jemalloc's control call, when the program allocates through it (as the
// host's programs do on Linux); null under glibc's allocator.
extern "C" int mallctl(const char* name, void* oldValue, std::size_t* oldLength, void* newValue,
                       std::size_t newLength) __attribute__((weak));

// Gives the memory the process freed back to the system, so that a load
// cannot reuse it unseen by the peak.
void ReturnFreedMemory() {
  if (mallctl)
    mallctl("arena.4096.purge", nullptr, nullptr, nullptr, 0);  // 4096: every arena
  else
    ::malloc_trim(0);
}

// Loading against reading the file and parsing it with a reader that keeps
// nothing, alternately; and the most memory the load took beyond what the
// process held before, against the file's size.
void BM_LoadLargeProject(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "drvx-bench-large.mmproj";
  platform::WriteFileAtomically(path, modelhost::FormatProject(Shared().session.Project()));
  const double fileMB = double(std::filesystem::file_size(path)) / (1024 * 1024);
  Clock::duration load{}, parse{};
  double peakMB = 0;
  for (auto _ : state) {
    ReturnFreedMemory();
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
    const double before = StatusMegabytes("VmRSS");
    auto start = Clock::now();
    auto project = modelhost::LoadProject(path);
    load += Clock::now() - start;
    benchmark::DoNotOptimize(project.get());
    peakMB = std::max(peakMB, StatusMegabytes("VmHWM") - before);
    state.PauseTiming();  // closing the project is not part of loading it
    project.reset();
    state.ResumeTiming();
    start = Clock::now();
    DiscardingSax sax;
    nlohmann::json::sax_parse(platform::ReadWholeFile(path, platform::kMaxProjectFile), &sax);
    parse += Clock::now() - start;
  }
  const double n = double(state.iterations());
  state.counters["file_MB"] = fileMB;
  state.counters["load_ms"] = std::chrono::duration<double, std::milli>(load).count() / n;
  state.counters["parse_ms"] = std::chrono::duration<double, std::milli>(parse).count() / n;
  state.counters["ratio"] = double(load.count()) / double(parse.count());
  state.counters["peak_to_file"] = peakMB / fileMB;
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadLargeProject)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

