// A writer that waits for a data file says so through the file's wait sign, and a reader that
// sees the sign lets the writer go first: a reader opening again right after it closed cannot
// keep the program out. These check the order of the opens, never how long anything took.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::TempFolder;

class FairnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(root.fs() / "Agenda");
    ASSERT_EQ(TryLastRecordNumber(db).status, IoStatus::Ok);  // makes the empty data file
  }
  // Waits, without a bound on time but a bound on rounds, until the sign is as wanted.
  bool SignBecomes(bool raised) const {
    for (int round = 0; round < 20000; ++round) {
      if (platform::WaitSignRaised(path) == raised) return true;
      platform::SleepMs(1);
    }
    return false;
  }

  TempFolder root;
  // A long wait: the writer must never give up in these tests.
  Database db{root.path(), u"Agenda", 20000};
  std::u16string path = DataFilePath(db);
  FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
};

TEST_F(FairnessTest, TheSignIsUpWhileRaisedAndForNoOtherFile) {
  EXPECT_FALSE(platform::WaitSignRaised(path));
  const platform::WaitSign sign = platform::RaiseWaitSign(path);
  ASSERT_TRUE(sign);
  EXPECT_TRUE(platform::WaitSignRaised(path));
  EXPECT_FALSE(platform::WaitSignRaised(StructureFilePath(db))) << "another file of the database";
  platform::LowerWaitSign(sign);
  EXPECT_FALSE(platform::WaitSignRaised(path));
  // No file is added to the database folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.fs() / "Agenda"),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(FairnessTest, AWaitingWriterRaisesTheSignAndLowersItOnceItHoldsTheFile) {
  LockedFile held;
  ASSERT_EQ(held.Open(path, platform::Access::Read, 0), IoStatus::Ok);
  IoResult<std::int64_t> stored;
  std::thread writer([&] { stored = AppendRecord(db, {{nombre, u"Ana", {}}}); });
  const bool raised = SignBecomes(true);
  held.Close();
  writer.join();
  EXPECT_TRUE(raised);
  EXPECT_EQ(stored.status, IoStatus::Ok);
  EXPECT_FALSE(platform::WaitSignRaised(path));
}

// A reader that closes the file and opens it again at once, while a writer waits: the writer's
// record is in what the reader reads next.
TEST_F(FairnessTest, AReaderOpeningAgainAtOnceLetsTheWaitingWriterGoFirst) {
  for (int round = 1; round <= 5; ++round) {
    SCOPED_TRACE(round);
    LockedFile reader;
    ASSERT_EQ(reader.Open(path, platform::Access::Read, db.busy_wait_ms), IoStatus::Ok);
    IoResult<std::int64_t> stored;
    std::thread writer([&] { stored = AppendRecord(db, {{nombre, u"Ana", {}}}); });
    ASSERT_TRUE(SignBecomes(true));
    reader.Close();
    const IoResult<std::int64_t> next = TryLastRecordNumber(db);
    writer.join();
    ASSERT_EQ(stored.status, IoStatus::Ok);
    EXPECT_EQ(stored.value, round);
    EXPECT_EQ(next.status, IoStatus::Ok);
    EXPECT_EQ(next.value, round) << "the reader went before the writer that waited";
  }
}

// Writers do not step aside: a writer that opens while another's sign is up is not held back.
TEST_F(FairnessTest, AWriterOpensWhateverSignIsUp) {
  const platform::WaitSign sign = platform::RaiseWaitSign(path);
  ASSERT_TRUE(sign);
  LockedFile writer;
  EXPECT_EQ(writer.Open(path, platform::Access::Write, 0), IoStatus::Ok);
  platform::LowerWaitSign(sign);
}

}  // namespace
}  // namespace zentora
