// Timing helper of the benchmarks: the best of several runs, so a busy machine inflates
// the figures as little as it can.
#pragma once
#include <algorithm>
#include <chrono>

namespace zentora::bench {

template <typename Work>
double BestOf(int runs, Work work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace zentora::bench
