// Pieces every benchmark file shares: timing one run of a piece of work.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

namespace varnock::bench {

using Clock = std::chrono::steady_clock;

// Wall time of one run of `work` in seconds, its writes forced out before the clock stops.
template <typename Work>
double Seconds(Work&& work) {
  const auto start = Clock::now();
  work();
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace varnock::bench
