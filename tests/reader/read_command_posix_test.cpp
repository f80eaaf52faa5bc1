// zentora-read on a structure file of a sparse gigabyte: `count` does not read it and
// `fields` reads at most the most fields a structure holds, so neither grows by more than a
// few megabytes, where reading the file whole took the whole gigabyte.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "reader/cli/read_command.h"
#include "reader/sample_database.h"
#include "support/peak_memory.h"
#include "support/temp_folder.h"

namespace zentora::cli {
namespace {

constexpr std::int64_t kBound = std::int64_t{64} << 20;  // sanitizer build: its allocator keeps freed blocks a while

TEST(ReadCommandMemory, AHugeStructureFileIsReadWithinBoundedMemory) {
  testing::TempFolder folder;
  testing::WriteSampleDatabase(Database{folder.path(), u"muestra"});
  std::filesystem::resize_file(folder.fs() / "muestra" / "muestra.z04", std::uint64_t{1} << 30);
  struct Case {
    const char* command;
    int code;
  };
  for (const Case c : {Case{"count", kExitOk}, Case{"fields", kExitError}}) {
    SCOPED_TRACE(c.command);
    const testing::PeakGrowth growth = testing::MeasurePeakGrowth([&] {
      std::ostringstream out, err;
      return RunReadCommand({"--folder", folder.fs().string(), c.command, "muestra"}, out, err);
    });
    EXPECT_EQ(growth.code, c.code);
    EXPECT_GE(growth.bytes, 0);
    EXPECT_LT(growth.bytes, kBound);
  }
}

}  // namespace
}  // namespace zentora::cli
