#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/value_index.h"
#include "support/hostile_files.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

// Two names that differ in their last code unit only, a third, and one never stored.
std::u16string NearName() {
  std::u16string name = PadFieldName(u"Nombre");
  name.back() = u'x';
  return name;
}
const std::vector<std::u16string> kNames = {PadFieldName(u"Nombre"), NearName(), PadFieldName(u"Foto"),
                                            PadFieldName(u"Nunca")};
const std::vector<std::int64_t> kRecords = {-1, 0, 1, 2, 3, 4, 5, std::int64_t{1} << 40};
const std::vector<TypeRange> kRanges = {kAnyType, kTextTypes, kAttachmentTypes};

std::string Entry(const std::u16string& name, std::int64_t record, std::int16_t type, std::int32_t unit,
                  std::int32_t end_flag) {
  DataUnit unit_of;
  unit_of.name = name;
  unit_of.record = record;
  unit_of.type = type;
  unit_of.unit = unit;
  unit_of.end_flag = end_flag;
  std::string bytes(kDataUnitBytes, '\0');
  EncodeDataUnit(unit_of, reinterpret_cast<std::uint8_t*>(bytes.data()));
  return bytes;
}

// A data file as Zentora writes it, then damaged every way the search must survive: values
// of one field interleaved by record, entries of other fields between a value's units,
// missing end flags, end flags other than 0 and 1, repeated record numbers, odd types.
std::string RandomDataFile(std::mt19937& random) {
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::int16_t types[] = {3, 3, 5, 6, 7, 0, 9, -2};
  const std::int32_t ends[] = {0, 0, 0, 1, 1, 2, -1};
  std::string file;
  const int values = 1 + pick(12);
  for (int v = 0; v < values; ++v) {
    const std::u16string& name = kNames[pick(3)];
    const std::int64_t record = kRecords[1 + pick(static_cast<int>(kRecords.size()) - 1)];
    const std::int16_t type = types[pick(8)];
    const int units = 1 + pick(4);
    for (int u = 0; u < units; ++u) {
      if (pick(6) == 0) {  // a stray entry of any kind in the middle of the value
        file += Entry(kNames[pick(3)], kRecords[pick(static_cast<int>(kRecords.size()))], types[pick(8)],
                      pick(70000), ends[pick(7)]);
      }
      const bool last = u + 1 == units;
      const std::int32_t end = last ? (pick(5) == 0 ? ends[pick(7)] : 1) : (pick(10) == 0 ? ends[pick(7)] : 0);
      file += Entry(name, record, pick(8) == 0 ? types[pick(8)] : type, 0x41 + pick(0x10000 + 300), end);
    }
  }
  return file;
}

struct DifferentialCase {
  std::u16string name;
  std::int64_t record;
  TypeRange range;
};

std::vector<DifferentialCase> EveryQuery() {
  std::vector<DifferentialCase> cases;
  for (const auto& name : kNames)
    for (std::int64_t record : kRecords)
      for (TypeRange range : kRanges) cases.push_back({name, record, range});
  return cases;
}

// For every field, record and type range of thousands of random files, the index (built in
// one pass, or on a part of the file and then followed as the rest is appended over a torn
// tail) and the texts kept by one pass give what the one-value search gives.
TEST(ValueIndex, AnswersEveryValueAsTheSearchDoesOnRandomFiles) {
  TempFolder root;
  std::filesystem::create_directory(root.fs() / "Azar");
  const Database db{root.path(), u"Azar", 100};
  const std::filesystem::path path = root.fs() / "Azar" / "Azar.zbd";
  const std::vector<DifferentialCase> queries = EveryQuery();
  int found = 0;
  for (unsigned seed = 0; seed < VALUE_INDEX_RANDOM_FILES; ++seed) {
    std::mt19937 random(seed);
    const std::string whole = RandomDataFile(random);
    const std::size_t split = random() % (whole.size() + 1);
    const std::string tail(random() % kDataUnitBytes, '\x5A');

    ValueIndex followed(db, kRanges);
    WriteAll(path, whole.substr(0, split) + tail);
    ASSERT_EQ(followed.Update(), IoStatus::Ok);
    WriteAll(path, whole + tail);
    ValueIndex one_pass(db, kRanges);
    ASSERT_EQ(one_pass.Update({}, 1 << 20, kTextTypes), IoStatus::Ok);

    for (const DifferentialCase& query : queries) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", record " + std::to_string(query.record) + ", name " +
                   platform::Utf16ToUtf8(query.name.substr(0, 6)) + ", types " + std::to_string(query.range.min));
      const ValueQuery value_query{query.name, query.record, query.range.min, query.range.max};
      std::u16string searched, indexed, kept;
      const IoResult<bool> search = FindValueText(db, value_query, searched);
      ASSERT_TRUE(search.ok());
      found += search.value;
      EXPECT_EQ(one_pass.IndexedLength(query.name, query.record, query.range), searched.size());
      if (query.range == kTextTypes) {
        EXPECT_EQ(one_pass.TakeKeptText(query.name, query.record, query.range, kept), search.value);
        EXPECT_EQ(kept, searched);
      }
      for (ValueIndex* index : {&followed, &one_pass}) {
        const IoResult<bool> read = index->FindText(value_query, indexed);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value, search.value);
        EXPECT_EQ(indexed, searched);
      }
      if (query.range == kAttachmentTypes) {
        std::string searched_bytes, indexed_bytes;
        EXPECT_EQ(FindValueBytes(db, value_query, searched_bytes).value,
                  followed.FindBytes(value_query, indexed_bytes).value);
        EXPECT_EQ(indexed_bytes, searched_bytes);
      }
    }
  }
  // The files must hold values to find, or the comparison proves little.
  EXPECT_GT(found, VALUE_INDEX_RANDOM_FILES);
}

// The records that hold a value, for an export: those from 1 to the last number given whose
// value the index finds in at least one of the columns asked for, in order, the far ones
// (kept apart from the others) among them.
TEST(ValueIndex, ListsTheRecordsThatHoldAValueOnRandomFiles) {
  TempFolder root;
  std::filesystem::create_directory(root.fs() / "Azar");
  const Database db{root.path(), u"Azar", 100};
  const std::int64_t lasts[] = {-1, 0, 3, std::int64_t{1} << 40, std::numeric_limits<std::int64_t>::max()};
  std::size_t listed = 0;
  for (unsigned seed = 0; seed < 300; ++seed) {
    std::mt19937 random(seed);
    WriteAll(root.fs() / "Azar" / "Azar.zbd", RandomDataFile(random));
    ValueIndex index(db, kRanges);
    ASSERT_EQ(index.Update(), IoStatus::Ok);
    for (const TypeRange range : kRanges) {
      std::vector<std::size_t> columns;
      for (const std::u16string& name : kNames) columns.push_back(index.ColumnOf(name, range));
      for (const std::int64_t last : lasts) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", types " + std::to_string(range.min) + ", last " +
                     std::to_string(last));
        std::vector<std::int64_t> expected;
        for (const std::int64_t record : kRecords) {  // in ascending order
          bool holds = false;
          for (const std::size_t column : columns) holds = holds || index.IndexedLength(column, record) > 0;
          if (holds && record >= 1 && record <= last) expected.push_back(record);
        }
        const std::vector<std::int64_t> records = index.RecordsHolding(columns, last);
        EXPECT_EQ(records, expected);
        listed += records.size();
      }
    }
  }
  EXPECT_GT(listed, 300u);  // the files must hold values to list
}

class ValueIndexFileTest : public ::testing::Test {
 public:
  void SetUp() override { std::filesystem::create_directory(root.fs() / "Agenda"); }
  std::filesystem::path File() const { return root.fs() / "Agenda" / "Agenda.zbd"; }
  void Store(std::int64_t record, std::u16string_view text) { AppendTextUnits(db, nombre, record, text, true); }
  std::u16string Read(std::int64_t record) { return ReadFieldText(index, nombre.name, record, u"-"); }
  // A fresh file of records 1 to 3 (entries 0-2, 3-6, 7-9) and a fresh index.
  void StoreAnew() {
    std::filesystem::remove(File());
    index = ValueIndex(db, {kAnyType});
    Store(1, u"Ana");
    Store(2, u"Luis");
    Store(3, u"Eva");
  }

  TempFolder root;
  Database db{root.path(), u"Agenda", 100};
  FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
  ValueIndex index{db, {kAnyType}};
};

TEST_F(ValueIndexFileTest, ARepeatedReadScansOnlyWhatWasAppended) {
  Store(1, u"Ana");
  Store(2, u"Luis");
  EXPECT_EQ(Read(2), u"Luis");
  EXPECT_EQ(index.IndexedEntries(), 7u);
  Store(3, u"Eva");
  EXPECT_EQ(Read(3), u"Eva");
  EXPECT_EQ(index.IndexedEntries(), 10u);
  EXPECT_EQ(index.IndexedValues(), 3u);
}

// A file changed behind the index's back never gives a wrong value: each way of changing it
// is followed by reads of what it now holds.
TEST_F(ValueIndexFileTest, AFileReplacedOrCutBehindItsBackIsIndexedAnew) {
  struct Change {
    const char* what;
    void (*change)(ValueIndexFileTest& test);
    std::vector<std::u16string> expected;  // records 1, 2, 3
  };
  const Change changes[] = {
      {"replaced by another file of the same size",
       [](ValueIndexFileTest& test) {
         Database scratch = test.db;
         scratch.name = u"Otra";
         std::filesystem::create_directory(test.root.fs() / "Otra");
         AppendTextUnits(scratch, test.nombre, 1, u"Bea", true);
         AppendTextUnits(scratch, test.nombre, 2, u"Olga", true);
         AppendTextUnits(scratch, test.nombre, 3, u"Pía", true);
         std::filesystem::rename(DataFilePath(scratch).c_str(), test.File());
       },
       {u"Bea", u"Olga", u"Pía"}},
      {"rewritten in place with the same size",
       [](ValueIndexFileTest& test) {
         std::string bytes = ReadAll(test.File());
         bytes[4] = 'E';                           // record 1: Ana -> Ena
         bytes[bytes.size() - 96 + 4] = 'x';       // the last entry changes too
         WriteAll(test.File(), bytes);
       },
       {u"Ena", u"Luis", u"Evx"}},
      {"cut in the middle of record 3",
       [](ValueIndexFileTest& test) {
         std::filesystem::resize_file(test.File(), 8 * kDataUnitBytes + 50);
       },
       {u"Ana", u"Luis", u"-"}},
      {"cut and written again to the same length",
       [](ValueIndexFileTest& test) {
         std::filesystem::resize_file(test.File(), 3 * kDataUnitBytes);
         AppendTextUnits(test.db, test.nombre, 2, u"Juan", true);
         AppendTextUnits(test.db, test.nombre, 3, u"Eva", true);
       },
       {u"Ana", u"Juan", u"Eva"}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    StoreAnew();
    EXPECT_EQ(Read(3), u"Eva");
    change.change(*this);
    for (std::int64_t record = 1; record <= 3; ++record) EXPECT_EQ(Read(record), change.expected[record - 1]);
  }
}

// The entries of one value written over in place, the file's size, first and last entries
// unchanged: reading that value finds its entries no longer hold what was indexed, and what is
// read is what the file now holds. Record 2 ("Luis") lies in entries 3 to 6.
TEST_F(ValueIndexFileTest, AValueWrittenOverInPlaceIsNotReadFromTheOldIndex) {
  struct Change {
    const char* what;
    std::size_t entry;  // 3 to 6
    std::size_t at;     // byte within the entry
    std::string bytes;
    std::u16string record_2, record_4;
  };
  const Change changes[] = {
      {"the record numbers of its first entry", 3, 82, std::string("\x04", 1), u"uis", u"-"},
      {"the record numbers of its last entry", 6, 82, std::string("\x04", 1), u"-", u"s"},
      {"a unit of the name of its second entry", 4, 8, "X", u"is", u"-"},
      {"the end flag of its second entry", 4, 92, std::string("\x01", 1), u"Lu", u"-"},
      {"the end flag of its last entry", 6, 92, std::string("\x00", 1), u"-", u"-"},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    StoreAnew();
    EXPECT_EQ(Read(2), u"Luis");
    std::string bytes = ReadAll(File());
    bytes.replace(change.entry * kDataUnitBytes + change.at, change.bytes.size(), change.bytes);
    WriteAll(File(), bytes);
    EXPECT_EQ(Read(2), change.record_2);
    EXPECT_EQ(Read(4), change.record_4);
    for (std::int64_t record = 1; record <= 4; ++record)
      EXPECT_EQ(Read(record), zentora::ReadFieldText(db, nombre.name, record, u"-"));
  }
}

std::string HolderPath() { return platform::Utf16ToUtf8(platform::ProgramFolder()) + LOCK_HOLDER_NAME; }

TEST_F(ValueIndexFileTest, FollowsWhatAnotherProcessAppendsBetweenTwoReads) {
  Store(1, u"Ana");
  EXPECT_EQ(Read(2), u"-");
  // Record 2 written by another program, after a torn entry that the append writes over.
  std::filesystem::resize_file(File(), 3 * kDataUnitBytes + 40);
  const std::filesystem::path appended = root.fs() / "appended.bin";
  WriteAll(appended, Entry(nombre.name, 2, 3, u'O', 0) + Entry(nombre.name, 2, 3, u'K', 1));
  const std::filesystem::path ready = root.fs() / "ready";
  const testing::ChildProcess child =
      testing::StartProcess(HolderPath(), {platform::Utf16ToUtf8(File().u16string()),
                                           platform::Utf16ToUtf8(ready.u16string()), "0",
                                           platform::Utf16ToUtf8(appended.u16string())});
  ASSERT_EQ(testing::WaitProcess(child), 0);
  EXPECT_EQ(Read(2), u"OK");
  EXPECT_EQ(Read(1), u"Ana");
  EXPECT_EQ(index.IndexedEntries(), 5u);
}

// Whatever numbers, names and end flags a file holds, the index stays within its bound of the
// entries it indexed (and far below what numbers 65,536 apart once cost: a megabyte an entry),
// answers as the search does, and lists the records that hold values without a step per number.
TEST(ValueIndex, StaysWithinItsMemoryBoundOnHostileFiles) {
  for (const testing::HostileFile& file : testing::HostileFiles()) {
    SCOPED_TRACE(file.what);
    TempFolder root;
    const Database db{root.path(), u"Hostil"};
    std::filesystem::create_directory(root.fs() / "Hostil");
    WriteAll(root.fs() / "Hostil" / "Hostil.zbd", file.data);
    ValueIndex index(db, {kTextTypes, kAttachmentTypes});
    ASSERT_EQ(index.Update({}, std::size_t{1} << 20), IoStatus::Ok);
    const std::uint64_t entries = file.data.size() / kDataUnitBytes;
    EXPECT_EQ(index.IndexedEntries(), entries);
    EXPECT_LE(index.MemoryBytes(), ValueIndex::MemoryBound(entries));
    std::u16string indexed, searched;
    const ValueQuery query{PadFieldName(u"Nombre"), file.record, kTextTypes.min, kTextTypes.max};
    ASSERT_TRUE(index.FindText(query, indexed).ok());
    ASSERT_TRUE(FindValueText(db, query, searched).ok());
    EXPECT_EQ(indexed, file.text);
    EXPECT_EQ(searched, file.text);
    const std::size_t nombre = index.ColumnOf(PadFieldName(u"Nombre"), kTextTypes);
    const std::vector<std::int64_t> records =
        index.RecordsHolding({nombre}, std::numeric_limits<std::int64_t>::max());
    EXPECT_LE(records.size(), index.IndexedValues());
    EXPECT_TRUE(std::is_sorted(records.begin(), records.end()));
    if (!file.text.empty() && file.record >= 1) {
      EXPECT_TRUE(std::binary_search(records.begin(), records.end(), file.record));
    }
  }
}

// A rewrite in the middle at the same size, the first and last entries kept, is seen by its
// time of modification: the index starts afresh rather than pointing into other entries.
TEST_F(ValueIndexFileTest, ARewriteInTheMiddleAtTheSameSizeIsSeenByItsTime) {
  StoreAnew();
  EXPECT_EQ(Read(2), u"Luis");
  const std::uint64_t resets = index.Resets();
  std::string bytes = ReadAll(File());
  bytes[4 * kDataUnitBytes + 4] = 'o';  // record 2: Luis -> Lois
  const auto before = std::filesystem::last_write_time(File());
  WriteAll(File(), bytes);
  std::filesystem::last_write_time(File(), before + std::chrono::seconds(1));
  EXPECT_EQ(Read(1), u"Ana");
  EXPECT_GT(index.Resets(), resets);
  EXPECT_EQ(Read(2), u"Lois");
}

}  // namespace
}  // namespace zentora
