// Hostile databases (tests/support/hostile_files.h) read by every zentora-read command and every
// call of the library: each ends with the right answer or a clear refusal, its memory bounded
// by the file rather than by the numbers the file holds. (Their time is measured by
// bench/hostile_files_bench, optimised.)
#include <gtest/gtest.h>

#include <string>

#include "reader/hostile_steps.h"
#include "support/peak_memory.h"
#include "support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer keeps up to 256 MB of freed blocks aside to catch their use: 16 MB
// still catches it, and leaves the peak of these tests to what the code itself holds.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
#endif

namespace zentora {
namespace {

// The sanitizer build's allocator keeps freed blocks a while: this bounds it with them.
constexpr std::int64_t kBound = std::int64_t{64} << 20;

TEST(HostileFiles, EveryCommandAndCallAnswersWithinBoundedMemory) {
  testing::TempFolder root;
  for (const testing::HostileFile& file : testing::HostileFiles()) {
    testing::WriteHostileDatabase(root, file);
    for (const testing::HostileStep& step : testing::HostileSteps()) {
      SCOPED_TRACE(std::string(file.what) + ": " + step.what);
      const testing::PeakGrowth growth = testing::MeasurePeakGrowth([&] { return step.run(root, file); });
      EXPECT_EQ(growth.code, 0);
      EXPECT_GE(growth.bytes, 0);
      EXPECT_LT(growth.bytes, kBound);
    }
  }
}

}  // namespace
}  // namespace zentora
