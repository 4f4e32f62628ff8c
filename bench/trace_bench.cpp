// drvx_trace's costs against their floors, measured in the same run: a
// traced call (push and pop) against a plain call of a function that does
// nothing, and sending a stack of 12 calls to the slot against a bare
// datagram send of the same bytes on a connected socket. Both receivers are
// plain sockets that a thread drains, so that only the senders differ.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "call_cost.h"
#include "drvx_trace.h"
#include "send_floor.h"

namespace {

using Clock = std::chrono::steady_clock;

__attribute__((noinline)) void PlainCall(int& sink) { benchmark::DoNotOptimize(++sink); }

__attribute__((noinline)) void TracedCall(int& sink) {
  DRVX_TRACE_SCOPE("TOrderProcessor.CheckStock(aOrder)");
  benchmark::DoNotOptimize(++sink);
}

using drvx::bench::NanosecondsEach;

void BM_TracedCallToPlainCall(benchmark::State& state) {
  DRVX_TRACE_SCOPE("TShopApp.Run");  // a stack to push onto, as in a program
  drvx::bench::CompareCalls(state, 1'000'000, "traced", PlainCall, TracedCall);
}
BENCHMARK(BM_TracedCallToPlainCall)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_TraceSendToBareDatagram(benchmark::State& state) {
  constexpr std::size_t kSends = 2000;
  const std::string slot = "DrvxTraceBench-" + std::to_string(::getpid());
  const drvx::bench::SendFloor floor(slot);
  if (!floor.Ready(state)) return;

  for (int i = 0; i < 12; ++i)
    drvx_trace_push(("TLayer" + std::to_string(i) + ".Call(aArgument)").c_str());
  std::string message(drvx_trace_format(nullptr, 0), '\0');
  drvx_trace_format(message.data(), message.size());

  drvx_trace_counts before{};
  drvx_trace_get_counts(&before);
  Clock::duration traced{}, plain{};
  std::size_t bareDropped = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (std::size_t i = 0; i < kSends; ++i)
      bareDropped += !floor.SendBare(message);
    plain += Clock::now() - start;
    start = Clock::now();
    for (std::size_t i = 0; i < kSends; ++i)
      benchmark::DoNotOptimize(drvx_trace_send_to(slot.c_str()));
    traced += Clock::now() - start;
  }
  for (int i = 0; i < 12; ++i) drvx_trace_pop();
  drvx_trace_counts after{};
  drvx_trace_get_counts(&after);
  const std::size_t n = kSends * state.iterations();
  state.counters["bare_us"] = NanosecondsEach(plain, n) / 1000;
  state.counters["send_us"] = NanosecondsEach(traced, n) / 1000;
  state.counters["ratio"] = double(traced.count()) / double(plain.count());
  state.counters["bytes"] = double(message.size());
  state.counters["dropped"] = double(after.queue_full - before.queue_full);
  if (after.sent + after.queue_full == before.sent + before.queue_full)
    state.SkipWithError("no stack reached the slot's receiver");
  state.counters["not_delivered"] =
      double((after.no_receiver - before.no_receiver) + (after.failed - before.failed));
  state.counters["bare_dropped"] = double(bareDropped);
}
BENCHMARK(BM_TraceSendToBareDatagram)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
