// Timing helper of the benchmarks: the best of several runs, so a busy machine inflates
// the figures as little as it can.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

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

// One sequential read of a whole file with plain reads of 768 KB: the yardstick of a pass.
inline double SequentialReadSeconds(const std::filesystem::path& file, int runs) {
  std::vector<char> block(768 * 1024);
  std::uint64_t sum = 0;
  const double seconds = BestOf(runs, [&] {
    std::ifstream in(file, std::ios::binary);
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
      sum += static_cast<unsigned char>(block[0]);
  });
  return sum == 1 ? -seconds : seconds;  // the sum keeps the reads from being optimised away
}

}  // namespace zentora::bench
