// drvx_trace_auto's costs against their floors and against uftrace, in one
// run: a call of a function built with the hooks against the same function
// without; sends of a 12-call stack in hook mode (the first, which reads the
// symbol tables, and later ones, which find the names kept) against a bare
// datagram send; and a program of two million calls built plain, with the
// hooks, and with -pg under `uftrace record`.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "drvx/platform/paths.h"
#include "call_cost.h"
#include "drvx_trace_auto.h"
#include "hook_calls.h"
#include "send_floor.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

__attribute__((noinline)) void PlainCall(int& sink) {
  volatile int& counted = sink;
  counted = counted + 1;
}

using drvx::bench::NanosecondsEach;

void BM_HookedCallToPlainCall(benchmark::State& state) {
  drvx::bench::CompareCalls(state, 1'000'000, "hooked", PlainCall, drvx::bench::HookedCall);
}
BENCHMARK(BM_HookedCallToPlainCall)->Unit(benchmark::kMillisecond)->Iterations(10);

// What the innermost call of a chain does: sends, and times the sends.
struct Sends {
  std::string slot;
  std::size_t count;
  std::string message;  // the bytes of one send, for the bare sends
  Clock::duration took{};
  std::size_t delivered = 0;
};

void SendAll(void* data) {
  auto& sends = *static_cast<Sends*>(data);
  sends.message.resize(drvx_trace_auto_format(nullptr, 0));
  drvx_trace_auto_format(sends.message.data(), sends.message.size());
  const auto start = Clock::now();
  for (std::size_t i = 0; i < sends.count; ++i) {
    const drvx_trace_result result = drvx_trace_auto_send_to(sends.slot.c_str());
    sends.delivered += result == DRVX_TRACE_SENT || result == DRVX_TRACE_QUEUE_FULL;
  }
  sends.took = Clock::now() - start;
}

void BM_HookSendToBareDatagram(benchmark::State& state) {
  constexpr std::size_t kSends = 2000;
  const std::string slot = "DrvxHookBench-" + std::to_string(::getpid());
  const drvx::bench::SendFloor floor(slot);
  if (!floor.Ready(state)) return;
  // The first send of the process reads the symbol tables and makes every
  // name; measured once, before the cached ones.
  static double firstMs = -1;
  if (firstMs < 0) {
    Sends first{slot, 1, {}};
    drvx::bench::HookedChain(12, SendAll, &first);
    firstMs = std::chrono::duration<double, std::milli>(first.took).count();
  }
  Clock::duration cached{}, bare{};
  std::size_t delivered = 0, bytes = 0;
  for (auto _ : state) {
    Sends sends{slot, kSends, {}};
    drvx::bench::HookedChain(12, SendAll, &sends);
    cached += sends.took;
    delivered += sends.delivered;
    bytes = sends.message.size();
    const auto start = Clock::now();
    for (std::size_t i = 0; i < kSends; ++i) benchmark::DoNotOptimize(floor.SendBare(sends.message));
    bare += Clock::now() - start;
  }
  if (delivered == 0) state.SkipWithError("no stack reached the slot's receiver");
  const std::size_t n = kSends * state.iterations();
  state.counters["first_ms"] = firstMs;
  state.counters["cached_us"] = NanosecondsEach(cached, n) / 1000;
  state.counters["bare_us"] = NanosecondsEach(bare, n) / 1000;
  state.counters["ratio"] = double(cached.count()) / double(bare.count());
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_HookSendToBareDatagram)->Unit(benchmark::kMillisecond)->Iterations(5);

// Runs a program to its end; the time it took, or none when it failed.
bool Run(const std::vector<std::string>& command, Clock::duration& took) {
  std::vector<char*> argv;
  for (const auto& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t child = 0;
  if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  ::waitpid(child, &status, 0);
  took = Clock::now() - start;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_HookModeToUftrace(benchmark::State& state) {
  constexpr long kCalls = 2'000'000;
  const std::filesystem::path bin = drvx::platform::ExecutablePath().parent_path();
  const std::string calls = std::to_string(kCalls);
  const std::filesystem::path traceDir =
      std::filesystem::temp_directory_path() / ("drvx-uftrace-" + std::to_string(::getpid()));
  Clock::duration plain{}, hooked{}, uftrace{};
  for (auto _ : state) {
    Clock::duration took{};
    if (!Run({(bin / "drvx_hook_target_plain").string(), calls}, took)) {
      state.SkipWithError("the plain program failed");
      break;
    }
    plain += took;
    if (!Run({(bin / "drvx_hook_target_hooked").string(), calls}, took)) {
      state.SkipWithError("the program with the hooks failed");
      break;
    }
    hooked += took;
    if (!Run({"uftrace", "record", "-d", traceDir.string(), (bin / "drvx_hook_target_pg").string(),
              calls},
             took)) {
      state.SkipWithError("uftrace record failed (is Debian's uftrace installed?)");
      break;
    }
    uftrace += took;
  }
  std::error_code ignored;
  std::filesystem::remove_all(traceDir, ignored);
  const std::size_t n = std::size_t(kCalls) * state.iterations();
  state.counters["plain_ms"] = NanosecondsEach(plain, state.iterations()) / 1e6;
  state.counters["hooked_extra_ns"] = NanosecondsEach(hooked - plain, n);
  state.counters["uftrace_extra_ns"] = NanosecondsEach(uftrace - plain, n);
  state.counters["uftrace_to_hooked"] =
      double((uftrace - plain).count()) / double((hooked - plain).count());
}
BENCHMARK(BM_HookModeToUftrace)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
