// Recordings, in one run: what recording costs a call (manual scopes and
// hook mode) against a plain call and against the same call not recorded;
// and a million recorded calls with repetitions, read from their batches,
// folded and drawn into the host, against the same calls drawn unfolded.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "call_cost.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx_trace.h"
#include "host_call.h"
#include "host_session.h"
#include "recording_receiver.h"
#include "timing.h"
#ifdef DRVX_BENCH_HOOKS
#include "hook_calls.h"
#endif

namespace {

using namespace drvx;
using bench::Clock;
using bench::NanosecondsEach;

__attribute__((noinline)) void PlainCall(int& sink) {
  volatile int& counted = sink;
  counted = counted + 1;
}

__attribute__((noinline)) void ScopedCall(int& sink) {
  DRVX_TRACE_SCOPE("TBench.Call");
  PlainCall(sink);
}

// Batches go to a slot nobody holds: each is counted lost at once, so the
// recorder's work is measured, not a receiver's.
const std::string& NoSlot() {
  static const std::string slot = "DrvxRecordBench-" + std::to_string(::getpid());
  return slot;
}

// A plain call, the call not recorded, and the call recorded, alternately.
template <class Call>
void CompareRecorded(benchmark::State& state, const std::string& name, Call call) {
  constexpr std::size_t kCalls = 1'000'000;
  int sink = 0;
  Clock::duration plain{}, unrecorded{}, recorded{};
  for (auto _ : state) {
    auto start = Clock::now();
    for (std::size_t i = 0; i < kCalls; ++i) PlainCall(sink);
    plain += Clock::now() - start;
    start = Clock::now();
    for (std::size_t i = 0; i < kCalls; ++i) call(sink);
    unrecorded += Clock::now() - start;
    if (!drvx_trace_record_begin_to(NoSlot().c_str())) return state.SkipWithError("cannot record");
    start = Clock::now();
    for (std::size_t i = 0; i < kCalls; ++i) call(sink);
    recorded += Clock::now() - start;
    drvx_trace_record_end();
  }
  const std::size_t n = kCalls * state.iterations();
  state.counters["plain_ns"] = NanosecondsEach(plain, n);
  state.counters[name + "_ns"] = NanosecondsEach(unrecorded, n);
  state.counters["recorded_ns"] = NanosecondsEach(recorded, n);
  state.counters["recording_extra_ns"] = NanosecondsEach(recorded - unrecorded, n);
  state.counters["ratio_to_plain"] = double(recorded.count()) / double(plain.count());
  state.counters["ratio_to_" + name] = double(recorded.count()) / double(unrecorded.count());
}

void BM_RecordedScopeToScope(benchmark::State& state) { CompareRecorded(state, "scope", ScopedCall); }
BENCHMARK(BM_RecordedScopeToScope)->Unit(benchmark::kMillisecond)->Iterations(5);

#ifdef DRVX_BENCH_HOOKS
void BM_RecordedHookToHook(benchmark::State& state) { CompareRecorded(state, "hooked", bench::HookedCall); }
BENCHMARK(BM_RecordedHookToHook)->Unit(benchmark::kMillisecond)->Iterations(5);
#endif

// A server's run: each request parses, checks three times and stores; every
// 500th also logs. Batches as the tracer makes them (at most 65536 bytes).
std::vector<std::string> ServerRun(std::size_t calls) {
  std::vector<std::string> batches;
  sequence::RecordingBatch batch;
  batch.process = 1, batch.thread = 2, batch.recording = 1, batch.batch = 1, batch.program = "server";
  batch.names = {{1, "TServer.Serve"}, {2, "TRequest.Handle(aRequest)"}, {3, "TParser.Parse"},
                 {4, "TRules.Check(aField)"}, {5, "TStore.Store"}, {6, "TLog.Write"}};
  std::size_t bytes = 0, made = 0;
  auto add = [&](sequence::RecordingEvent::Kind kind, std::uint32_t id) {
    batch.events.push_back({kind, id});
    bytes += 6;
    if (bytes < 60000) return;
    batches.push_back(sequence::RecordingBatchText(batch));
    batch.names.clear();
    batch.events.clear();
    ++batch.batch;
    bytes = 0;
  };
  auto call = [&](std::uint32_t id) {
    add(sequence::RecordingEvent::Call, id);
    add(sequence::RecordingEvent::Return, 0);
    ++made;
  };
  add(sequence::RecordingEvent::Call, 1);
  ++made;
  for (std::size_t request = 0; made < calls; ++request) {
    add(sequence::RecordingEvent::Call, 2);
    ++made;
    call(3);
    for (int i = 0; i < 3; ++i) call(4);
    call(5);
    if (request % 500 == 499) call(6);
    add(sequence::RecordingEvent::Return, 0);
  }
  add(sequence::RecordingEvent::Return, 0);
  batch.end = true;
  batches.push_back(sequence::RecordingBatchText(batch));
  return batches;
}

// Reads, folds and draws every batch into a fresh project (folded, or
// unfolded with `window` 0): the time of all and of the last batch (from
// its arrival to the diagram drawn), the most nodes the tree held, the
// diagrams drawn.
struct Drawn {
  Clock::duration all{}, last{};
  std::size_t mostNodes = 0, diagrams = 0;
};

Drawn Draw(const std::vector<std::string>& batches, std::size_t window, benchmark::State& state) {
  modelhost::HostSession session;
  host::HostBinding binding(session.Services());
  sequence::RecordingReceiver receiver(host::Services::Of(session.Services()), window);
  Drawn drawn;
  const auto start = Clock::now();
  for (std::size_t i = 0; i < batches.size(); ++i) {
    const auto at = Clock::now();
    receiver.Receive(batches[i], {}, 400, [&state](const std::string& text) { state.SkipWithError(text.c_str()); });
    if (i + 1 == batches.size()) drawn.last = Clock::now() - at;
  }
  drawn.all = Clock::now() - start;
  drawn.mostNodes = receiver.MostNodes();
  drawn.diagrams = session.Project().diagrams.size();
  return drawn;
}

void BM_MillionCallsFoldedToUnfolded(benchmark::State& state) {
  const std::vector<std::string> batches = ServerRun(std::size_t(state.range(0)));
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  Drawn folded, unfolded;
  for (auto _ : state) {
    folded = Draw(batches, sequence::RecordingReceiver::kFoldWindow, state);
    unfolded = Draw(batches, 0, state);
  }
  state.counters["batches"] = double(batches.size());
  state.counters["folded_ms"] = bench::Milliseconds(folded.all);
  state.counters["folded_last_batch_ms"] = bench::Milliseconds(folded.last);
  state.counters["folded_most_nodes"] = double(folded.mostNodes);
  state.counters["folded_diagrams"] = double(folded.diagrams);
  state.counters["unfolded_ms"] = bench::Milliseconds(unfolded.all);
  state.counters["unfolded_most_nodes"] = double(unfolded.mostNodes);
  state.counters["unfolded_diagrams"] = double(unfolded.diagrams);
  state.counters["ratio"] = double(folded.all.count()) / double(unfolded.all.count());
  platform::SetDialogs(nullptr);
}
BENCHMARK(BM_MillionCallsFoldedToUnfolded)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
