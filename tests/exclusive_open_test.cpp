// Two opens of one database file exclude each other, within one process and across two,
// and a file held for a moment is waited for.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::TempFolder;

std::string HolderPath() { return platform::Utf16ToUtf8(platform::ProgramFolder()) + LOCK_HOLDER_NAME; }

// Starts a second process that holds `file` for `hold_ms` and returns once it holds it.
testing::ChildProcess HoldElsewhere(const TempFolder& root, const std::filesystem::path& file, int hold_ms) {
  const std::filesystem::path ready = root.fs() / ("ready-" + std::to_string(hold_ms));
  testing::ChildProcess child = testing::StartProcess(
      HolderPath(), {platform::Utf16ToUtf8(file.u16string()),
                     platform::Utf16ToUtf8(ready.u16string()), std::to_string(hold_ms)});
  for (int i = 0; i < 1000 && !std::filesystem::exists(ready); ++i) platform::SleepMs(10);
  return child;
}

TEST(ExclusiveOpen, TwoOpensInOneProcessExcludeEachOther) {
  TempFolder root;
  const std::u16string path = root.path() + u"f.bin";
  platform::FileHandle first, second;
  ASSERT_EQ(platform::OpenExclusive(path, platform::Access::Write, first), platform::OpenStatus::Ok);
  EXPECT_EQ(platform::OpenExclusive(path, platform::Access::Read, second), platform::OpenStatus::Busy);
  platform::CloseFile(first);
  ASSERT_EQ(platform::OpenExclusive(path, platform::Access::Read, second), platform::OpenStatus::Ok);
  platform::CloseFile(second);
}

// What an index checks on each read before trusting itself: one query gives the file's
// identity and its current size; a file made anew under the same name is another file.
TEST(ExclusiveOpen, IdentityAndSizeComeInOneQuery) {
  TempFolder root;
  const std::u16string path = root.path() + u"f.bin";
  const auto observe = [&](std::uint64_t& size) {
    platform::FileHandle file;
    platform::FileIdentity alone, together;
    EXPECT_EQ(platform::OpenExclusive(path, platform::Access::Write, file), platform::OpenStatus::Ok);
    EXPECT_TRUE(platform::GetFileIdentity(file, alone));
    EXPECT_TRUE(platform::GetFileIdentityAndSize(file, together, size));
    EXPECT_EQ(together, alone);
    platform::CloseFile(file);
    return together;
  };
  std::uint64_t size = 1;
  const platform::FileIdentity made = observe(size);
  EXPECT_EQ(size, 0u);
  testing::WriteAll(root.fs() / "f.bin", std::string(300, 'a'));  // written over in place
  EXPECT_EQ(observe(size), made);
  EXPECT_EQ(size, 300u);
  testing::WriteAll(root.fs() / "g.bin", std::string(7, 'b'));
  std::filesystem::rename(root.fs() / "g.bin", root.fs() / "f.bin");
  EXPECT_FALSE(observe(size) == made);
  EXPECT_EQ(size, 7u);
}

TEST(ExclusiveOpen, AnotherProcessHoldingTheFileMakesUsWaitThenGiveUp) {
  TempFolder root;
  std::filesystem::create_directory(root.fs() / "Base");
  const Database db{root.path(), u"Base", 150};
  const std::filesystem::path data = root.fs() / "Base" / "Base.zbd";
  const testing::ChildProcess child = HoldElsewhere(root, data, 3000);
  ASSERT_NE(child.id, -1);

  platform::FileHandle handle;
  EXPECT_EQ(platform::OpenExclusive(data.u16string(), platform::Access::Read, handle), platform::OpenStatus::Busy);
  // Past the wait every operation reports the file as busy; nothing pretends.
  EXPECT_EQ(TryLastRecordNumber(db).status, IoStatus::Busy);
  const FieldDefinition field{0, PadFieldName(u"N"), 3, 5, 0};
  EXPECT_EQ(AppendTextUnits(db, field, 1, u"x", true), IoStatus::Busy);
  EXPECT_EQ(testing::WaitProcess(child), 0);
  EXPECT_EQ(AppendTextUnits(db, field, 1, u"x", true), IoStatus::Ok);
}

TEST(ExclusiveOpen, AFileHeldForAMomentIsWaitedFor) {
  TempFolder root;
  std::filesystem::create_directory(root.fs() / "Base");
  const Database db{root.path(), u"Base", 5000};
  const std::filesystem::path data = root.fs() / "Base" / "Base.zbd";
  const testing::ChildProcess child = HoldElsewhere(root, data, 300);
  ASSERT_NE(child.id, -1);
  const FieldDefinition field{0, PadFieldName(u"N"), 3, 5, 0};
  EXPECT_EQ(AppendTextUnits(db, field, 4, u"ok", true), IoStatus::Ok);
  EXPECT_EQ(TryLastRecordNumber(db).value, 4);
  EXPECT_EQ(testing::WaitProcess(child), 0);
}

}  // namespace
}  // namespace zentora
