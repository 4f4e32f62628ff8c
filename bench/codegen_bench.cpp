// "Find String In Model" on the large project: megabytes of code searched per
// second, against memmem over the same text held in one buffer, same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "drvx/platform/scripted_dialogs.h"
#include "expert_functions.h"
#include "large_project.h"
#include "mmapi/cxx/utf.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using Clock = std::chrono::steady_clock;

void BM_FindStringInModel(benchmark::State& state) {
  auto& large = bench::Large();
  host::HostBinding binding(large.session.Services());
  std::string all;
  for (const auto& cls : large.session.Project().classes)
    for (const auto& m : cls->members)
      for (const auto& section : m->sections) all += mmapi::cxx::ToUtf8(section);
  test::TempDir dir;
  std::filesystem::create_directory(dir / "bin");
  settings::TExpertSettings settings(dir / "bin" / "dravolex-host");
  codegen::TExpertFunctions functions(host::Services::Of(large.session.Services()), settings);
  const std::string needle = "Operation7(";  // mentioned nowhere: every section is read in full
  std::vector<std::string> lines;
  Clock::duration model{}, flat{};
  std::size_t flatHits = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    functions.FindStringInModel(lines, needle);
    const auto t1 = Clock::now();
    for (const char* p = all.data(); (p = static_cast<const char*>(memmem(
             p, std::size_t(all.data() + all.size() - p), needle.data(), needle.size())));
         ++p)
      ++flatHits;
    const auto t2 = Clock::now();
    model += t1 - t0;
    flat += t2 - t1;
  }
  benchmark::DoNotOptimize(flatHits);
  const double megabytes = double(all.size()) * double(state.iterations()) / 1e6;
  state.counters["code_MB"] = double(all.size()) / 1e6;
  state.counters["model_MB_per_s"] = megabytes / std::chrono::duration<double>(model).count();
  state.counters["memmem_MB_per_s"] = megabytes / std::chrono::duration<double>(flat).count();
  state.counters["ratio"] = double(model.count()) / double(flat.count());
}
BENCHMARK(BM_FindStringInModel)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
