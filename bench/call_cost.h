// A call's cost against a plain call's, measured alternately in each
// iteration so that both see the same machine.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace drvx::bench {

inline double NanosecondsEach(std::chrono::steady_clock::duration d, std::size_t n) {
  return std::chrono::duration<double, std::nano>(d).count() / double(n);
}

// Calls `plain` and `measured` (each `void(int& sink)`) `calls` times per
// iteration; reports plain_ns, <name>_ns, extra_ns and their ratio.
template <class Plain, class Measured>
void CompareCalls(benchmark::State& state, std::size_t calls, const std::string& name,
                  Plain plain, Measured measured) {
  using Clock = std::chrono::steady_clock;
  int sink = 0;
  Clock::duration plainTime{}, measuredTime{};
  for (auto _ : state) {
    auto start = Clock::now();
    for (std::size_t i = 0; i < calls; ++i) plain(sink);
    plainTime += Clock::now() - start;
    start = Clock::now();
    for (std::size_t i = 0; i < calls; ++i) measured(sink);
    measuredTime += Clock::now() - start;
  }
  const std::size_t n = calls * state.iterations();
  state.counters["plain_ns"] = NanosecondsEach(plainTime, n);
  state.counters[name + "_ns"] = NanosecondsEach(measuredTime, n);
  state.counters["extra_ns"] = NanosecondsEach(measuredTime - plainTime, n);
  state.counters["ratio"] = double(measuredTime.count()) / double(plainTime.count());
}

}  // namespace drvx::bench
