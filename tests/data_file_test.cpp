#include <gtest/gtest.h>

#include <filesystem>

#include "storage/data_file.h"
#include "storage/little_endian.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const std::u16string kNoData = u"No datos";

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(root.fs() / "Agenda"); }
  std::filesystem::path File() const { return root.fs() / "Agenda" / "Agenda.zbd"; }
  std::vector<DataUnit> Entries() const {
    const std::string bytes = ReadAll(File());
    std::vector<DataUnit> units;
    for (std::size_t at = 0; at + kDataUnitBytes <= bytes.size(); at += kDataUnitBytes)
      units.push_back(DecodeDataUnit(reinterpret_cast<const std::uint8_t*>(bytes.data() + at)));
    return units;
  }
  IoStatus Store(const FieldDefinition& field, std::int64_t record, std::u16string_view text) {
    return AppendTextUnits(db, field, record, text, true);
  }

  TempFolder root;
  Database db{root.path(), u"Agenda", 100};
  FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
  FieldDefinition foto{1, PadFieldName(u"Foto"), 6, 0, 0};
};

TEST_F(DataFileTest, EmptyOrAbsentFileHasNoRecordAndIsCreated) {
  const IoResult<std::int64_t> last = TryLastRecordNumber(db);
  EXPECT_TRUE(last.ok());
  EXPECT_EQ(last.value, 0);
  EXPECT_TRUE(std::filesystem::exists(File()));
  EXPECT_EQ(std::filesystem::file_size(File()), 0u);
}

TEST_F(DataFileTest, AnUnopenableFileIsAFailureNotAnEmptyFile) {
  const Database missing{root.path(), u"Otra", 100};
  const IoResult<std::int64_t> last = TryLastRecordNumber(missing);
  EXPECT_EQ(last.status, IoStatus::Failed);
  EXPECT_EQ(LastRecordNumber(missing), 0);
  EXPECT_EQ(Store(nombre, 1, u"x"), IoStatus::Ok);
  EXPECT_EQ(AppendTextUnits(missing, nombre, 1, u"x", true), IoStatus::Failed);
  EXPECT_EQ(ReadFieldText(missing, nombre.name, 1, kNoData), kNoData);
}

TEST_F(DataFileTest, AnoInRecordThreeIsThreeEntriesWithTheEndFlagOnTheLast) {
  ASSERT_EQ(Store(nombre, 3, u"Año"), IoStatus::Ok);
  const std::vector<DataUnit> units = Entries();
  ASSERT_EQ(units.size(), 3u);
  const int expected_units[] = {65, 241, 111};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(units[i].unit, expected_units[i]);
    EXPECT_EQ(units[i].record, 3);
    EXPECT_EQ(units[i].name, PadFieldName(u"Nombre"));
    EXPECT_EQ(units[i].type, 3);
    EXPECT_EQ(units[i].size, 20);
    EXPECT_EQ(units[i].end_flag, i == 2 ? 1 : 0);
  }
  EXPECT_EQ(LastRecordNumber(db), 3);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 3, kNoData), u"Año");
}

TEST_F(DataFileTest, BatchedAppendWritesTheSameBytesAsOneEntryPerCall) {
  const std::u16string text = u"Sí 😀";
  ASSERT_EQ(Store(nombre, 2, text), IoStatus::Ok);
  const std::uint8_t bytes[] = {0x00, 0xFF, 0x80};
  ASSERT_EQ(AppendByteUnits(db, foto, 2, bytes, 3, true), IoStatus::Ok);
  const std::string batched = ReadAll(File());
  std::filesystem::remove(File());
  for (std::size_t i = 0; i < text.size(); ++i)
    ASSERT_EQ(AppendDataUnit(db, text[i], 0, nombre.name, 3, 20, 0, 2, i + 1 == text.size()), IoStatus::Ok);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(AppendByteUnit(db, bytes[i], 1, foto.name, 6, 0, 0, 2, i == 2), IoStatus::Ok);
  EXPECT_EQ(ReadAll(File()), batched);
  EXPECT_EQ(batched.size(), (text.size() + 3) * kDataUnitBytes);
}

TEST_F(DataFileTest, AppendWritesOverAShortTail) {
  ASSERT_EQ(Store(nombre, 1, u"ab"), IoStatus::Ok);
  WriteAll(File(), ReadAll(File()) + std::string(8, '\x55'));  // 200 bytes
  EXPECT_EQ(LastRecordNumber(db), 1);
  ASSERT_EQ(Store(nombre, 2, u"c"), IoStatus::Ok);
  EXPECT_EQ(std::filesystem::file_size(File()), 288u);
  EXPECT_EQ(Entries()[2].unit, u'c');
  EXPECT_EQ(LastRecordNumber(db), 2);
}

TEST_F(DataFileTest, ValuesComeBackWholeAndApart) {
  const FieldDefinition lower{0, PadFieldName(u"nombre"), 3, 20, 0};
  const std::u16string astral = u"𝄞 clave";
  ASSERT_EQ(Store(nombre, 1, u"Ana"), IoStatus::Ok);
  ASSERT_EQ(Store(lower, 1, u"minúscula"), IoStatus::Ok);
  const std::uint8_t bytes[] = {'J', 0, 0xD8, 0xFF};
  ASSERT_EQ(AppendByteUnits(db, foto, 1, bytes, 4, true), IoStatus::Ok);
  ASSERT_EQ(Store(nombre, 2, astral), IoStatus::Ok);

  EXPECT_EQ(ReadFieldText(db, nombre.name, 1, kNoData), u"Ana");
  EXPECT_EQ(ReadFieldText(db, lower.name, 1, kNoData), u"minúscula");
  EXPECT_EQ(ReadFieldText(db, nombre.name, 2, kNoData), astral);
  EXPECT_EQ(ReadFieldBytes(db, foto.name, 1), std::string("J\0\xD8\xFF", 4));
  // Nothing stored, wrong record, wrong padding: not found.
  EXPECT_EQ(ReadFieldText(db, lower.name, 2, kNoData), kNoData);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 0, kNoData), kNoData);
  EXPECT_EQ(ReadFieldBytes(db, foto.name, 2), "");
  std::u16string nul_padded = u"Nombre";
  nul_padded.resize(35, u'\0');
  EXPECT_EQ(ReadFieldText(db, nul_padded, 1, kNoData), kNoData);
}

TEST_F(DataFileTest, AValueWithoutItsEndFlagIsNotFound) {
  ASSERT_EQ(AppendTextUnits(db, nombre, 1, u"cortado", false), IoStatus::Ok);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 1, kNoData), kNoData);
  EXPECT_EQ(LastRecordNumber(db), 1);
}

TEST_F(DataFileTest, AnotherFieldBetweenUnitsStartsTheGatheringAfresh) {
  // Written by hand the way no writer of ours does: units of one value split by another field.
  ASSERT_EQ(AppendTextUnits(db, nombre, 1, u"ab", false), IoStatus::Ok);
  ASSERT_EQ(Store(foto, 1, u"z"), IoStatus::Ok);
  ASSERT_EQ(Store(nombre, 1, u"cd"), IoStatus::Ok);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 1, kNoData), u"cd");
  // Same field, other record in between: kept.
  ASSERT_EQ(AppendTextUnits(db, nombre, 5, u"ef", false), IoStatus::Ok);
  ASSERT_EQ(Store(nombre, 6, u"x"), IoStatus::Ok);
  ASSERT_EQ(Store(nombre, 5, u"g"), IoStatus::Ok);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 5, kNoData), u"efg");
}

TEST_F(DataFileTest, TypeRangeLimitsWhatIsGathered) {
  ASSERT_EQ(Store(nombre, 1, u"texto"), IoStatus::Ok);
  std::string bytes;
  IoResult<bool> found = FindValueBytes(db, ValueQuery{nombre.name, 1, 6, 7}, bytes);
  EXPECT_TRUE(found.ok());
  EXPECT_FALSE(found.value);
  std::u16string text;
  found = FindValueText(db, ValueQuery{nombre.name, 1, 1, 5}, text);
  EXPECT_TRUE(found.value);
  EXPECT_EQ(text, u"texto");
}

TEST_F(DataFileTest, ValuesSpanningReadBlocksComeBackWhole) {
  std::u16string memo;
  for (int i = 0; i < 20000; ++i) memo += static_cast<char16_t>(u'a' + i % 26);
  ASSERT_EQ(Store(nombre, 1, u"x"), IoStatus::Ok);
  ASSERT_EQ(Store(nombre, 2, memo), IoStatus::Ok);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 2, kNoData), memo);
  EXPECT_EQ(LastRecordNumber(db), 2);
}

}  // namespace
}  // namespace zentora

namespace zentora {
namespace {

// A 45 MB sound makes a data file past 4 GB: offsets must never wrap. The file is sparse,
// so this costs no disk.
TEST_F(DataFileTest, FilesPastFourGigabytesKeepTheirOffsets) {
  const std::uint64_t entries = (std::uint64_t{1} << 32) / kDataUnitBytes + 7;
  ASSERT_EQ(TryLastRecordNumber(db).status, IoStatus::Ok);  // creates the file
  std::filesystem::resize_file(File(), entries * kDataUnitBytes + 50);  // and a short tail
  ASSERT_EQ(Store(nombre, 12345678901LL, u"z"), IoStatus::Ok);
  EXPECT_EQ(std::filesystem::file_size(File()), (entries + 1) * kDataUnitBytes);
  EXPECT_EQ(LastRecordNumber(db), 12345678901LL);
}

}  // namespace
}  // namespace zentora
