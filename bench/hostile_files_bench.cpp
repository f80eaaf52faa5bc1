// Every zentora-read command and every library call on each hostile database: its time and the
// growth of its peak memory, each in a child of its own. Fails (exit 1) when one takes 2 s or
// more, grows by 64 MB or more, or answers wrongly.
#include <chrono>
#include <cstdio>
#include <string>

#include "reader/hostile_steps.h"
#include "storage/value_index.h"
#include "support/peak_memory.h"

int main() {
  using namespace zentora;
  constexpr double kMostSeconds = 2.0;
  constexpr std::int64_t kMostBytes = std::int64_t{64} << 20;
  testing::TempFolder root;
  int failures = 0;
  std::printf("%-40s %-26s %9s %9s %s\n", "file", "command or call", "seconds", "peak MB", "answer");
  for (const testing::HostileFile& file : testing::HostileFiles()) {
    testing::WriteHostileDatabase(root, file);
    for (const testing::HostileStep& step : testing::HostileSteps()) {
      const auto start = std::chrono::steady_clock::now();
      const testing::PeakGrowth growth = testing::MeasurePeakGrowth([&] { return step.run(root, file); });
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const bool ok = growth.code == 0 && seconds < kMostSeconds && growth.bytes >= 0 && growth.bytes < kMostBytes;
      failures += ok ? 0 : 1;
      std::printf("%-40s %-26s %9.4f %9.2f %s\n", file.what, step.what.c_str(), seconds,
                  static_cast<double>(growth.bytes) / (1 << 20), growth.code == 0 ? "right" : "WRONG");
    }
  }
  // What the value index holds of each, by the entries it indexed, against its bound.
  for (const testing::HostileFile& file : testing::HostileFiles()) {
    testing::WriteHostileDatabase(root, file);
    ValueIndex index(Database{root.path(), u"Hostil"}, {kTextTypes, kAttachmentTypes});
    index.Update();
    const double per_entry = static_cast<double>(index.MemoryBytes()) / static_cast<double>(index.IndexedEntries());
    const bool within = index.MemoryBytes() <= ValueIndex::MemoryBound(index.IndexedEntries());
    failures += within ? 0 : 1;
    std::printf("%-40s index %9zu bytes, %7.1f a 96-byte entry (bound %zu + %zu an entry)%s\n", file.what,
                index.MemoryBytes(), per_entry, ValueIndex::kBoundFixedBytes, ValueIndex::kBoundBytesPerEntry,
                within ? "" : " OVER");
  }
  std::printf("%d over the bounds of 2 s and 64 MB or wrong\n", failures);
  return failures == 0 ? 0 : 1;
}
