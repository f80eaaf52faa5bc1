// What stands at an output path before zentora-read or Lirvak writes there: whatever is not a
// regular file is left exactly as it was by the tool, a link is never followed (the library
// replaces the link itself), a failed write keeps (the tool) or removes (the library) only a
// regular old file, and no half-written file stays.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "reader/cli/read_command.h"
#include "reader/reader_core.h"
#include "reader/sample_database.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

constexpr unsigned kShortWait = 50;
constexpr char kOutsideBytes[] = "a file outside the folder";

struct Places {
  fs::path target;   // the output path
  fs::path outside;  // a folder elsewhere that links may point into
};

// One kind of thing at the output path: how it is made, and the check that it was left alone.
struct Target {
  const char* what;
  std::function<void(const Places&)> make;
  std::function<void(const Places&)> expect_untouched;
  bool link = false;  // the library replaces it, the link itself
};

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

void ExpectOutsideFileUntouched(const Places& at) {
  EXPECT_EQ(ReadAll(at.outside / "kept"), kOutsideBytes);
  EXPECT_EQ(ModeOf(at.outside / "kept") & 07777, 0640u);
}

const std::vector<Target>& NotRegularTargets() {
  static const std::vector<Target> targets = {
      {"an empty folder",
       [](const Places& at) {
         fs::create_directory(at.target);
         fs::permissions(at.target, fs::perms(0750));
       },
       [](const Places& at) {
         EXPECT_TRUE(fs::is_directory(fs::symlink_status(at.target)));
         EXPECT_TRUE(fs::is_empty(at.target));
         EXPECT_EQ(ModeOf(at.target) & 07777, 0750u);
       }},
      {"a pipe",
       [](const Places& at) { ASSERT_EQ(::mkfifo(at.target.c_str(), 0600), 0); },
       [](const Places& at) {
         EXPECT_TRUE(fs::is_fifo(fs::symlink_status(at.target)));
         EXPECT_EQ(ModeOf(at.target) & 07777, 0600u);
       }},
      {"a link to a file outside the folder",
       [](const Places& at) { fs::create_symlink(at.outside / "kept", at.target); },
       [](const Places& at) {
         EXPECT_TRUE(fs::is_symlink(fs::symlink_status(at.target)));
         EXPECT_EQ(fs::read_symlink(at.target), at.outside / "kept");
         ExpectOutsideFileUntouched(at);
       },
       true},
      {"a dangling link",
       [](const Places& at) { fs::create_symlink(at.outside / "nothing", at.target); },
       [](const Places& at) {
         EXPECT_TRUE(fs::is_symlink(fs::symlink_status(at.target)));
         EXPECT_FALSE(fs::exists(fs::symlink_status(at.outside / "nothing")));
       },
       true},
      {"a link to a folder outside",
       [](const Places& at) { fs::create_directory_symlink(at.outside, at.target); },
       [](const Places& at) {
         EXPECT_TRUE(fs::is_symlink(fs::symlink_status(at.target)));
         EXPECT_EQ(ModeOf(at.outside) & 0777, 0750u);
         ExpectOutsideFileUntouched(at);
       },
       true},
  };
  return targets;
}

// The names in a folder: no half-written file may stay beside the target.
std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class OutputTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteSampleDatabase(Database{host_.path(), u"muestra"});
    fs::permissions(outside_.fs(), fs::perms(0750));
    WriteAll(outside_.fs() / "kept", kOutsideBytes);
    fs::permissions(outside_.fs() / "kept", fs::perms(0640));
  }

  // The tool writes to `output`.jpg in the host folder, as the library does.
  int Tool(const std::string& field, const std::string& record, const fs::path& file, std::string& err) {
    std::ostringstream out, errors;
    const int code = cli::RunReadCommand({"--folder", host_.fs().string(), "attachment", "muestra", field, record,
                                          file.string()},
                                         out, errors);
    err = errors.str();
    return code;
  }
  reader::AttachmentResult Library(const std::u16string& field, std::int64_t record, unsigned wait = kShortWait) {
    const std::string name = testing::FieldNameBuffer(field);
    return reader::WriteAttachment(host_.path(), u"muestra",
                                   reader::FieldNameFromBuffer(reinterpret_cast<const unsigned char*>(name.data())),
                                   record, u"salida", reader::Attachment::Image, wait);
  }
  Places At() const { return {host_.fs() / "salida.jpg", outside_.fs()}; }

  TempFolder host_, outside_;
};

TEST_F(OutputTargetTest, TheToolLeavesWhatIsNotARegularFileAsItWas) {
  for (const Target& target : NotRegularTargets()) {
    SCOPED_TRACE(target.what);
    const std::vector<std::string> before = Entries(host_.fs());
    target.make(At());
    std::string err;
    EXPECT_EQ(Tool("Foto", "1", At().target, err), cli::kExitError);
    EXPECT_NE(err.find("is not a regular file"), std::string::npos) << err;
    target.expect_untouched(At());
    fs::remove(At().target);
    EXPECT_EQ(Entries(host_.fs()), before);
  }
}

TEST_F(OutputTargetTest, TheLibraryLeavesWhatIsNotARegularFileAsItWas) {
  struct Call {
    std::u16string field;
    std::int64_t record;
    reader::AttachmentResult expected;
  };
  // A value to write, and none: the old output goes only when it is a regular file.
  const Call calls[] = {{u"Foto", 1, reader::AttachmentResult::NotWritten},
                        {u"Foto", 2, reader::AttachmentResult::Missing}};
  for (const Target& target : NotRegularTargets()) {
    for (const Call& call : calls) {
      SCOPED_TRACE(std::string(target.what) + ", record " + std::to_string(call.record));
      const std::vector<std::string> before = Entries(host_.fs());
      target.make(At());
      const bool replaced = target.link && call.record == 1;
      EXPECT_EQ(Library(call.field, call.record), replaced ? reader::AttachmentResult::Written : call.expected);
      if (replaced) {
        // The link itself became the output; what it pointed to is as it was.
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(At().target)));
        EXPECT_EQ(ReadAll(At().target), testing::SampleImage());
        ExpectOutsideFileUntouched(At());
        EXPECT_FALSE(fs::exists(At().outside / "nothing"));
      } else {
        target.expect_untouched(At());
      }
      fs::remove(At().target);
      EXPECT_EQ(Entries(host_.fs()), before);
    }
  }
}

TEST_F(OutputTargetTest, WhatIsPutAtTheOutputDuringTheSearchIsNeverWrittenThrough) {
  struct Planted {
    const char* what;
    std::function<void(const Places&)> plant;
    reader::AttachmentResult expected;
    std::function<void(const Places&)> check;
  };
  const std::string larger(testing::SampleImage().size() * 3, 'x');
  const Planted cases[] = {
      {"a larger file", [&](const Places& at) { WriteAll(at.target, larger); }, reader::AttachmentResult::Written,
       [](const Places& at) { EXPECT_EQ(ReadAll(at.target), testing::SampleImage()); }},
      {"a link to a file outside the folder", NotRegularTargets()[2].make, reader::AttachmentResult::Written,
       [](const Places& at) {
         EXPECT_EQ(ReadAll(at.target), testing::SampleImage());
         EXPECT_FALSE(fs::is_symlink(fs::symlink_status(at.target)));
         ExpectOutsideFileUntouched(at);
       }},
      {"a pipe", NotRegularTargets()[1].make, reader::AttachmentResult::NotWritten,
       NotRegularTargets()[1].expect_untouched},
  };
  const fs::path data = host_.fs() / "muestra" / "muestra.zbd";
  for (const Planted& c : cases) {
    SCOPED_TRACE(c.what);
    // The search waits while the data file is held; the output is planted meanwhile.
    platform::FileHandle held;
    ASSERT_EQ(platform::OpenExclusive(data.u16string(), platform::Access::Read, held), platform::OpenStatus::Ok);
    reader::AttachmentResult result = reader::AttachmentResult::Missing;
    std::thread call([&] { result = Library(u"Foto", 1, 10000); });
    platform::SleepMs(300);
    c.plant(At());
    platform::CloseFile(held);
    call.join();
    EXPECT_EQ(result, c.expected);
    c.check(At());
    fs::remove(At().target);
  }
}

TEST_F(OutputTargetTest, ARegularFileIsReplacedWhole) {
  const std::string image = testing::SampleImage();
  const std::string larger(image.size() * 3, 'x');  // no tail of it may stay
  WriteAll(At().target, larger);
  std::string err;
  EXPECT_EQ(Tool("Foto", "1", At().target, err), cli::kExitOk) << err;
  EXPECT_EQ(ReadAll(At().target), image);
  WriteAll(At().target, larger);
  EXPECT_EQ(Library(u"Foto", 1), reader::AttachmentResult::Written);
  EXPECT_EQ(ReadAll(At().target), image);
}

// The library removes its old output whatever its attributes, so it replaces a read-only one
// (the tool keeps it: read_command_test).
TEST_F(OutputTargetTest, TheLibraryReplacesAReadOnlyOldOutput) {
  WriteAll(At().target, "read-only");
  fs::permissions(At().target, fs::perms(0444));
  EXPECT_EQ(Library(u"Foto", 1), reader::AttachmentResult::Written);
  EXPECT_EQ(ReadAll(At().target), testing::SampleImage());
}

TEST_F(OutputTargetTest, AFailedWriteLeavesNoPartAndIsReported) {
  // Files may not grow past 100 bytes: the 300-byte image cannot be written.
  const std::vector<std::string> before = Entries(host_.fs());
  WriteAll(At().target, "old");
  const int tool = testing::WithFileSizeLimit(100, [&] {
    std::string err;
    const int code = Tool("Foto", "1", At().target, err);
    return code == cli::kExitError && err.find("cannot write") != std::string::npos ? 0 : 1;
  });
  EXPECT_EQ(tool, 0);
  EXPECT_EQ(ReadAll(At().target), "old");  // the tool keeps the old target
  const int library = testing::WithFileSizeLimit(100, [&] {
    return Library(u"Foto", 1) == reader::AttachmentResult::NotWritten ? 0 : 1;
  });
  EXPECT_EQ(library, 0);
  // The library leaves no stale output behind a failed call.
  EXPECT_FALSE(fs::exists(fs::symlink_status(At().target)));
  EXPECT_EQ(Entries(host_.fs()), before);
}

}  // namespace
}  // namespace zentora
