// Storing a whole record under one hold of the data file: the bytes of the one-unit appends,
// the number taken inside the hold, a number the file cannot give refused, and two
// processes storing at once never sharing a number.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/little_endian.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

class RecordAppendTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(root.fs() / "Agenda"); }
  std::filesystem::path File() const { return root.fs() / "Agenda" / "Agenda.zbd"; }
  // A file whose only entry holds record `record`.
  void OneEntryOf(std::int64_t record) {
    std::filesystem::remove(File());
    ASSERT_EQ(AppendTextUnits(db, nombre, record, u"x", true), IoStatus::Ok);
  }

  TempFolder root;
  Database db{root.path(), u"Agenda", 100};
  FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
  FieldDefinition edad{0, PadFieldName(u"Edad"), 2, 3, 0};
  FieldDefinition foto{1, PadFieldName(u"Foto"), 6, 0, 0};
};

TEST_F(RecordAppendTest, WritesTheBytesOfOneAppendPerUnitUnderTheNextNumber) {
  const std::vector<RecordValue> record{
      {nombre, u"Año 😀", {}}, {edad, u"", {}}, {foto, u"", {0x00, 0xFF, 0x80}}, {edad, u"42", {}}};
  for (const std::size_t most_per_write : {std::size_t{1}, std::size_t{2}, std::numeric_limits<std::size_t>::max()}) {
    SCOPED_TRACE(most_per_write);
    std::filesystem::remove(File());
    ASSERT_EQ(AppendTextUnits(db, nombre, 6, u"ab", true), IoStatus::Ok);
    WriteAll(File(), ReadAll(File()) + std::string(8, '\x55'));  // a shorter tail, written over
    std::uint64_t reported = 0;
    const IoResult<std::int64_t> stored =
        AppendRecord(db, record, {most_per_write, [&](std::size_t, std::uint64_t) { ++reported; }, {}, false, {}});
    ASSERT_EQ(stored.status, IoStatus::Ok);
    EXPECT_EQ(stored.value, 7);
    const std::string batched = ReadAll(File());

    std::filesystem::remove(File());
    ASSERT_EQ(AppendTextUnits(db, nombre, 6, u"ab", true), IoStatus::Ok);
    for (const RecordValue& value : record) {
      for (std::size_t i = 0; i < value.text.size(); ++i)
        ASSERT_EQ(AppendDataUnit(db, value.text[i], value.field.key_flag, value.field.name, value.field.type,
                                 value.field.size, value.field.decimals, 7, i + 1 == value.text.size()),
                  IoStatus::Ok);
      for (std::size_t i = 0; i < value.bytes.size(); ++i)
        ASSERT_EQ(AppendByteUnit(db, value.bytes[i], value.field.key_flag, value.field.name, value.field.type,
                                 value.field.size, value.field.decimals, 7, i + 1 == value.bytes.size()),
                  IoStatus::Ok);
    }
    EXPECT_EQ(batched, ReadAll(File()));
    // 6 units of the name, 3 bytes, 2 digits: one report per write.
    const std::uint64_t writes = most_per_write == 1 ? 11 : most_per_write == 2 ? 6 : 3;
    EXPECT_EQ(reported, writes);
  }
}

TEST_F(RecordAppendTest, TheNumberFollowsTheLastEntryOrIsRefusedAsDamaged) {
  struct Case {
    const char* what;
    bool empty;
    std::int64_t last;
    IoStatus status;
    std::int64_t given;
  };
  const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  const Case cases[] = {
      {"no entry", true, 0, IoStatus::Ok, 1},
      {"record 41", false, 41, IoStatus::Ok, 42},
      {"one below the largest", false, largest - 1, IoStatus::Ok, largest},
      {"a zeroed last entry", false, 0, IoStatus::Damaged, 0},
      {"a negative number", false, -5, IoStatus::Damaged, 0},
      {"the smallest number", false, std::numeric_limits<std::int64_t>::min(), IoStatus::Damaged, 0},
      {"the largest number", false, largest, IoStatus::Damaged, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.empty) {
      std::filesystem::remove(File());
    } else {
      OneEntryOf(c.last);
    }
    const std::string before = c.empty ? std::string() : ReadAll(File());
    const IoResult<std::int64_t> stored = AppendRecord(db, {{nombre, u"Ana", {}}});
    EXPECT_EQ(stored.status, c.status);
    if (c.status == IoStatus::Ok) {
      EXPECT_EQ(stored.value, c.given);
      EXPECT_EQ(LastRecordNumber(db), c.given);
      EXPECT_EQ(ReadFieldText(db, nombre.name, c.given, u"-"), u"Ana");
    } else {
      EXPECT_EQ(ReadAll(File()), before) << "nothing is stored";
    }
  }
}

// The new number must be above every number the file holds, not only the last entry's.
// The new number is one above the highest the file holds, wherever that stands: a file is
// never locked out by a higher number before its last entry (two writers that follow the last
// entry's number leave one), and no number is taken twice.
TEST_F(RecordAppendTest, TheNewNumberIsOneAboveTheHighestTheFileHolds) {
  struct Case {
    const char* what;
    std::vector<std::int64_t> records;  // one entry each, in file order
    IoStatus status;
    std::int64_t given;
  };
  const Case cases[] = {
      {"numbers in order", {1, 2, 3}, IoStatus::Ok, 4},
      {"the highest repeated last", {1, 7, 7}, IoStatus::Ok, 8},
      {"a gap", {1, 5}, IoStatus::Ok, 6},
      {"the highest in the middle", {1, 9, 2}, IoStatus::Ok, 10},
      {"the highest first", {5, 3}, IoStatus::Ok, 6},
      {"two writers' numbers finished out of turn", {1, 2, 3, 4, 6, 5}, IoStatus::Ok, 7},
      {"a number below 0 last", {4, -1}, IoStatus::Ok, 5},
      {"no number above 0", {0, -3}, IoStatus::Damaged, 0},
      {"the largest first", {std::numeric_limits<std::int64_t>::max(), 1}, IoStatus::Damaged, 0},
      {"the largest last", {1, std::numeric_limits<std::int64_t>::max()}, IoStatus::Damaged, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(File());
    for (const std::int64_t record : c.records) ASSERT_EQ(AppendTextUnits(db, nombre, record, u"x", true), IoStatus::Ok);
    const std::string before = ReadAll(File());
    const IoResult<std::int64_t> stored = AppendRecord(db, {{nombre, u"Ana", {}}});
    EXPECT_EQ(stored.status, c.status);
    EXPECT_EQ(stored.value, c.given);
    if (c.status != IoStatus::Ok) {
      EXPECT_EQ(ReadAll(File()), before) << "nothing is stored";
    }
  }
}

// Kept from store to store, the highest number is brought up by reading what was appended
// since; a file replaced or rewritten is read afresh.
TEST_F(RecordAppendTest, TheHighestNumberFollowsWhatOthersAppendedSince) {
  HighestRecord highest;
  ASSERT_EQ(AppendRecord(db, {{nombre, u"Ana", {}}}, {}, &highest).value, 1);
  EXPECT_EQ(highest.highest, 1);
  EXPECT_EQ(highest.entries, 3u);
  // Another writer appends a high number, then a lower one after it.
  ASSERT_EQ(AppendTextUnits(db, nombre, 40, u"y", true), IoStatus::Ok);
  ASSERT_EQ(AppendTextUnits(db, nombre, 2, u"z", true), IoStatus::Ok);
  EXPECT_EQ(AppendRecord(db, {{nombre, u"Eva", {}}}, {}, &highest).value, 41);
  EXPECT_EQ(highest.highest, 41);

  // What was learnt is trusted for the entries already read: they are not read again.
  OneEntryOf(3);
  ASSERT_EQ(AppendRecord(db, {{nombre, u"Eva", {}}}, {}, &highest).value, 4);
  highest.highest = 100;
  EXPECT_EQ(AppendRecord(db, {{nombre, u"Eva", {}}}, {}, &highest).value, 101);

  // The same size but other bytes where the last read entry was: read again from the start.
  OneEntryOf(3);
  ASSERT_EQ(AppendRecord(db, {{nombre, u"Eva", {}}}, {}, &highest).value, 4);
  highest.highest = 100;
  std::string bytes = ReadAll(File());
  bytes[bytes.size() - kDataUnitBytes] ^= 1;  // the key flag of the last entry
  WriteAll(File(), bytes);
  const IoResult<std::int64_t> stored = AppendRecord(db, {{nombre, u"Eva", {}}}, {}, &highest);
  EXPECT_EQ(stored.status, IoStatus::Ok);
  EXPECT_EQ(stored.value, 5);
  EXPECT_EQ(highest.highest, 5);
}

// A big file is read once before the first store into it, block by block, and that reading is
// told to whoever shows it; what was read is not read (nor told) again.
TEST_F(RecordAppendTest, ReadingABigFileBeforeTheFirstStoreIsToldBlockByBlock) {
  const auto store = [&](HighestRecord& highest, std::vector<std::pair<std::uint64_t, std::uint64_t>>& told) {
    RecordProgress how;
    how.scanned = [&](std::uint64_t done, std::uint64_t total) { told.emplace_back(done, total); };
    return AppendRecord(db, {{nombre, u"Eva", {}}}, how, &highest);
  };
  // Just below the size worth telling: read silently.
  const std::u16string small(static_cast<std::size_t>(kScanShownFromEntries - 1), u'a');
  ASSERT_EQ(AppendTextUnits(db, nombre, 1, small, true), IoStatus::Ok);
  HighestRecord highest;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> told;
  ASSERT_EQ(store(highest, told).value, 2);
  EXPECT_TRUE(told.empty());

  // Another program appends a long value: the next store reads only that, and tells it.
  const std::uint64_t appended = kScanShownFromEntries + 10;
  ASSERT_EQ(AppendTextUnits(db, nombre, 3, std::u16string(static_cast<std::size_t>(appended), u'b'), true),
            IoStatus::Ok);
  ASSERT_EQ(store(highest, told).value, 4);
  ASSERT_EQ(told.size(), 5u);  // four whole blocks and the ten entries after them
  for (std::size_t i = 0; i < told.size(); ++i) {
    EXPECT_EQ(told[i].second, appended);
    EXPECT_EQ(told[i].first, std::min<std::uint64_t>((i + 1) * layout::kEntriesPerBlock, appended));
  }
  told.clear();
  ASSERT_EQ(store(highest, told).value, 5);
  EXPECT_TRUE(told.empty());
}

TEST_F(RecordAppendTest, AFolderInPlaceOfEitherFileIsRefusedAsNotAFile) {
  std::filesystem::create_directory(File());
  EXPECT_EQ(AppendRecord(db, {{nombre, u"Ana", {}}}).status, IoStatus::NotRegularFile);
  EXPECT_EQ(TryLastRecordNumber(db).status, IoStatus::NotRegularFile);
  std::u16string text;
  EXPECT_EQ(FindValueText(db, ValueQuery{nombre.name, 1}, text).status, IoStatus::NotRegularFile);
  EXPECT_TRUE(std::filesystem::is_directory(File()));

  std::filesystem::create_directory(root.fs() / "Agenda" / "Agenda.z04");
  platform::FileHandle file;
  EXPECT_EQ(platform::OpenExclusive(StructureFilePath(db), platform::Access::Read, file),
            platform::OpenStatus::NotRegularFile);
  EXPECT_EQ(platform::OpenExclusive(StructureFilePath(db), platform::Access::Write, file),
            platform::OpenStatus::NotRegularFile);
}

// Two processes store records through AppendRecord at once, each waiting out the other's
// hold; every record must come out under a number of its own.
TEST_F(RecordAppendTest, TwoProcessesStoringAtOnceNeverShareANumber) {
  constexpr int kRecordsEach = 1000;
  const std::string program = platform::Utf16ToUtf8(platform::ProgramFolder()) + RECORD_WRITER_NAME;
  // Without its closing separator: a quoted argument ending in '\' would run on past its quote.
  const std::string folder = platform::Utf16ToUtf8(root.path().substr(0, root.path().size() - 1));
  std::vector<testing::ChildProcess> writers;
  for (const char* tag : {"A", "B"}) {
    writers.push_back(testing::StartProcess(program, {folder, "Agenda", std::to_string(kRecordsEach), tag}));
    ASSERT_NE(writers.back().id, -1);
  }
  for (const testing::ChildProcess& writer : writers) EXPECT_EQ(testing::WaitProcess(writer), 0);

  // Record number -> the values stored under it, read straight from the entries.
  std::map<std::int64_t, std::vector<std::u16string>> values;
  const std::string bytes = ReadAll(File());
  ASSERT_EQ(bytes.size() % kDataUnitBytes, 0u);
  std::u16string gathering;
  for (std::size_t at = 0; at < bytes.size(); at += kDataUnitBytes) {
    const DataUnit unit = DecodeDataUnit(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
    gathering += static_cast<char16_t>(unit.unit);
    if (unit.end_flag == 1) {
      values[unit.record].push_back(gathering);
      gathering.clear();
    }
  }
  ASSERT_EQ(values.size(), 2u * kRecordsEach);
  std::set<std::u16string> seen;
  std::int64_t expected = 1;
  for (const auto& [record, stored] : values) {
    EXPECT_EQ(record, expected++);
    ASSERT_EQ(stored.size(), 2u) << "record " << record << " holds the values of more than one record";
    // Both values of a record name the same writer and the same turn.
    EXPECT_EQ(stored[1], stored[0] + u"-nota") << "record " << record;
    EXPECT_TRUE(seen.insert(stored[0]).second) << "record " << record;
  }
}

}  // namespace
}  // namespace zentora
