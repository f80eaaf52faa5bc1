// An open that waits for a data file says so through the file's wait sign, and an open that
// sees the sign lets the waiting one go first: a reader opening again right after it closed
// cannot keep the program out. These check the order of the opens, never how long anything took.
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
    for (int round = 0; round < 5000; ++round) {
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

// Whoever waits raises the sign, reader or writer, and lowers it once it holds the file.
TEST_F(FairnessTest, AnOpenThatWaitsRaisesTheSignAndLowersItOnceItHoldsTheFile) {
  for (const platform::Access access : {platform::Access::Read, platform::Access::ReadExisting,
                                        platform::Access::Write, platform::Access::ReadWrite}) {
    SCOPED_TRACE(static_cast<int>(access));
    LockedFile held;
    ASSERT_EQ(held.Open(path, platform::Access::Read, 0), IoStatus::Ok);
    IoStatus opened = IoStatus::Failed;
    std::thread waiting([&] {
      LockedFile file;
      opened = file.Open(path, access, db.busy_wait_ms);
      // Held now: the sign is down while this one still has the file.
      if (platform::WaitSignRaised(path)) opened = IoStatus::Damaged;
    });
    const bool raised = SignBecomes(true);
    held.Close();
    waiting.join();
    EXPECT_TRUE(raised);
    EXPECT_EQ(opened, IoStatus::Ok);
    EXPECT_FALSE(platform::WaitSignRaised(path));
  }
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

}  // namespace
}  // namespace zentora
