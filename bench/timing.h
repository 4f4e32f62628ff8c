// The clock the benchmarks time their two sides with, and its durations in
// milliseconds for their counters.
#pragma once

#include <chrono>

namespace drvx::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace drvx::bench
