#include "reader/value_index_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace zentora::reader {
namespace {

using testing::TempFolder;

const FieldDefinition kNombre{0, PadFieldName(u"Nombre"), 3, 20, 0};

std::u16string Expected(int database, std::int64_t record) {
  return u"db" + std::u16string(1, static_cast<char16_t>(u'0' + database)) + u"-" +
         std::u16string(static_cast<std::size_t>(record % 7 + 1), u'x');
}

class ValueIndexCacheTest : public ::testing::Test {
 protected:
  Database Make(int number, std::int64_t records) {
    const Database db{root.path(), u"base" + std::u16string(1, static_cast<char16_t>(u'0' + number)), 200};
    std::filesystem::create_directory(root.fs() / std::filesystem::path(db.name));
    for (std::int64_t record = 1; record <= records; ++record)
      AppendTextUnits(db, kNombre, record, Expected(number, record), true);
    return db;
  }
  static std::u16string Read(ValueIndexCache& cache, const Database& db, std::int64_t record) {
    std::u16string text;
    const IoResult<bool> found = cache.FindText(db, ValueQuery{kNombre.name, record, 1, 5}, text);
    return found.ok() && found.value ? text : u"-";
  }

  TempFolder root;
};

// A database without a data file: nothing found, the file never made (its existence would
// stop Zentora adding fields), no index held for it; once the file is written, it is read.
TEST_F(ValueIndexCacheTest, ReadsNothingFromAMissingDataFileAndMakesNone) {
  const Database db{root.path(), u"nueva", 200};
  std::filesystem::create_directory(root.fs() / "nueva");
  const std::filesystem::path data = root.fs() / "nueva" / "nueva.zbd";
  ValueIndexCache cache(std::size_t{1} << 26);
  std::string bytes;
  for (const TypeRange range : {kTextTypes, kAttachmentTypes, kAnyType}) {
    std::u16string text;
    EXPECT_FALSE(cache.FindText(db, ValueQuery{kNombre.name, 1, range.min, range.max}, text).value);
    EXPECT_FALSE(cache.FindBytes(db, ValueQuery{kNombre.name, 1, range.min, range.max}, bytes).value);
  }
  EXPECT_FALSE(std::filesystem::exists(data));
  EXPECT_EQ(cache.HeldDatabases(), 0u);
  AppendTextUnits(db, kNombre, 1, u"Ana", true);
  EXPECT_EQ(Read(cache, db, 1), u"Ana");
  EXPECT_EQ(cache.HeldDatabases(), 1u);
}

// Several databases read in turn past the memory limit: the least recently used index is
// dropped, and every answer stays the stored value, also for a value appended meanwhile.
TEST_F(ValueIndexCacheTest, DropsTheLeastRecentlyUsedIndexAndStillAnswersRight) {
  std::vector<Database> databases;
  for (int number = 0; number < 4; ++number) databases.push_back(Make(number, 50));
  // Room for one index only: what one of them takes, and half as much again.
  ValueIndex one(databases[0], {kTextTypes, kAttachmentTypes}, platform::Access::ReadExisting);
  std::u16string text;
  ASSERT_TRUE(one.FindText(ValueQuery{kNombre.name, 1, kTextTypes.min, kTextTypes.max}, text).ok());
  ValueIndexCache cache(one.MemoryBytes() * 3 / 2);
  for (int round = 0; round < 2; ++round) {
    for (int number = 0; number < 4; ++number) {
      for (std::int64_t record = 1; record <= 50; record += 7)
        EXPECT_EQ(Read(cache, databases[number], record), Expected(number, record));
      EXPECT_EQ(cache.HeldDatabases(), 1u);
    }
    AppendTextUnits(databases[0], kNombre, 51 + round, Expected(0, 51 + round), true);
  }
  EXPECT_EQ(Read(cache, databases[0], 52), Expected(0, 52));
  EXPECT_EQ(Read(cache, databases[0], 53), u"-");

  // An index larger than the whole limit is not kept past the call that made it, even alone:
  // every answer is still right, read afresh.
  ValueIndexCache tiny(1);
  for (int round = 0; round < 2; ++round) {
    for (std::int64_t record = 1; record <= 50; record += 7)
      EXPECT_EQ(Read(tiny, databases[1], record), Expected(1, record));
    EXPECT_EQ(tiny.HeldDatabases(), 1u);  // its turn is kept, its index is not
  }

  ValueIndexCache roomy(std::size_t{1} << 26);
  for (int number = 0; number < 4; ++number) EXPECT_EQ(Read(roomy, databases[number], 3), Expected(number, 3));
  EXPECT_EQ(roomy.HeldDatabases(), 4u);
}

// Threads reading the same and different databases at once each get their own values.
TEST_F(ValueIndexCacheTest, ThreadsReadingAtOnceGetTheirValues) {
  const std::vector<Database> databases = {Make(0, 300), Make(1, 300)};
  ValueIndexCache cache(std::size_t{1} << 26);
  std::vector<int> wrong(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const int number = t % 2;
      for (std::int64_t record = 300; record >= 1; --record)
        if (Read(cache, databases[number], record) != Expected(number, record)) ++wrong[t];
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace zentora::reader
