// zentora-read on a structure file of a sparse gigabyte: `count` does not read it and
// `fields` reads at most the most fields a structure holds, so neither grows by more than a
// few megabytes, where reading the file whole took the whole gigabyte.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/encoding.h"
#include "reader/cli/read_command.h"
#include "reader/sample_database.h"
#include "support/peak_memory.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

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

// Names of files are bytes on Linux: a folder or an output name that is not UTF-8 (Latin-1,
// a stray byte) is used byte for byte, never turned into U+FFFD.
TEST(ReadCommandNames, FileNamesThatAreNotUtf8AreKeptByteForByte) {
  struct Case {
    const char* what;
    std::string folder, output;
  };
  const Case cases[] = {
      {"a Latin-1 folder", "datos-caf\xE9", "out.bin"},
      {"a stray byte in the output", "datos", "out\xFF.bin"},
      {"both", "\xC0\xAF", "\xED\xA0\x80.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder root;
    const std::string folder = root.fs().string() + "/" + c.folder;
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    testing::WriteSampleDatabase(Database{platform::FileNameToUtf16(folder + "/"), u"muestra"});
    ASSERT_TRUE(std::filesystem::exists(folder + "/muestra/muestra.zbd")) << "written under the very bytes";
    const std::string output = root.fs().string() + "/" + c.output;
    std::ostringstream out, err;
    EXPECT_EQ(RunReadCommand({"--folder", folder, "attachment", "muestra", "Foto", "1", output}, out, err), kExitOk)
        << err.str();
    EXPECT_EQ(testing::ReadAll(output), testing::SampleImage());
  }
}

// A data file the user may not read: the tool says "permission denied" and names the file.
TEST(ReadCommandReasons, AnUnreadableDataFileIsPermissionDenied) {
  testing::TempFolder folder;
  testing::WriteSampleDatabase(Database{folder.path(), u"muestra"});
  const std::filesystem::path data = folder.fs() / "muestra" / "muestra.zbd";
  ::chmod(data.c_str(), 0);
  const std::string expected =
      "zentora-read: the data file of 'muestra' cannot be read: permission denied (read-only or no access): " + data.string() + "\n";
  const int code = testing::AsUnprivilegedUser([&] {
    std::ostringstream out, err;
    const int exit = RunReadCommand({"--folder", folder.fs().string(), "count", "muestra"}, out, err);
    if (exit != kExitError) return 1;
    return err.str() == expected ? 0 : 2;
  });
  ::chmod(data.c_str(), 0644);
  if (code == testing::kCannotDropPrivilege)
    GTEST_SKIP() << "running as root, which permission bits do not stop, and unable to become another user";
  EXPECT_EQ(code, 0) << "1: it did not fail, 2: another message";
}

}  // namespace
}  // namespace zentora::cli
