#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

class StructureFileTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(root.fs() / "Tienda"); }
  std::filesystem::path File() const { return root.fs() / "Tienda" / "Tienda.z04"; }
  FieldDefinition Field(const std::u16string& name, std::int16_t type = 3, std::int16_t size = 10,
                        std::int16_t decimals = 0, std::int32_t key = 0) {
    return FieldDefinition{key, PadFieldName(name), type, size, decimals};
  }

  TempFolder root;
  Database db{root.path(), u"Tienda", 100};
};

TEST_F(StructureFileTest, ReadingAMissingFileLeavesAnEmptyOneAndSeesNoField) {
  EXPECT_FALSE(FieldNameExists(db, PadFieldName(u"Precio")));
  EXPECT_TRUE(std::filesystem::exists(File()));
  EXPECT_EQ(std::filesystem::file_size(File()), 0u);
  EXPECT_EQ(FieldTypeAt(db, 1), 0);
  EXPECT_EQ(FieldNameAt(db, 1), std::u16string(35, u' '));
}

TEST_F(StructureFileTest, AppendWritesOverAShortTail) {
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Uno")), IoStatus::Ok);
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Dos")), IoStatus::Ok);
  std::string bytes = ReadAll(File());
  WriteAll(File(), bytes + std::string(10, '\x7F'));  // 170 bytes: two fields and a tail
  EXPECT_EQ(ReadStructure(db).value.size(), 2u);
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Tres", 2)), IoStatus::Ok);
  bytes = ReadAll(File());
  ASSERT_EQ(bytes.size(), 240u);
  EXPECT_EQ(FieldNameAt(db, 3), PadFieldName(u"Tres"));
  EXPECT_EQ(FieldTypeAt(db, 3), 2);
  EXPECT_EQ(FieldTypeAt(db, 4), 0);
  EXPECT_EQ(FieldNameAt(db, 4), std::u16string(35, u' '));
  EXPECT_EQ(FieldTypeAt(db, 0), 0);
  EXPECT_EQ(FieldTypeAt(db, -1), 0);
}

TEST_F(StructureFileTest, NamesCompareOverAllThirtyFiveUnitsAndCase) {
  const std::u16string forty = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Precio", 1, 10, 2)), IoStatus::Ok);
  ASSERT_EQ(AppendFieldDefinition(db, Field(forty)), IoStatus::Ok);
  EXPECT_TRUE(FieldNameExists(db, PadFieldName(u"Precio")));
  EXPECT_TRUE(FieldNameExists(db, PadFieldName(u"Precio ")));
  EXPECT_FALSE(FieldNameExists(db, PadFieldName(u"precio")));
  EXPECT_TRUE(FieldNameExists(db, PadFieldName(forty.substr(0, 35) + u"zzz")));
  EXPECT_EQ(FieldNameAt(db, 2), forty.substr(0, 35));
  EXPECT_EQ(FieldDecimalsByName(db, PadFieldName(u"Precio")), 2);
  EXPECT_EQ(FieldDecimalsByName(db, PadFieldName(u"Nada")), 0);
}

TEST_F(StructureFileTest, AFolderThatIsMissingFailsInsteadOfPretending) {
  const Database missing{root.path(), u"NoExiste", 100};
  EXPECT_EQ(AppendFieldDefinition(missing, Field(u"Uno")), IoStatus::Failed);
  EXPECT_EQ(ReadStructure(missing).status, IoStatus::Failed);
  EXPECT_FALSE(FieldNameExists(missing, PadFieldName(u"Uno")));
}

// The field count is length / 80, up to the most fields a structure holds; a longer file
// (here up to a sparse gigabyte) is refused as damaged, never read whole into memory.
TEST_F(StructureFileTest, ReadsUpToTheMostFieldsAndRefusesLongerFiles) {
  struct Case {
    std::uint64_t bytes;
    IoStatus status;
    std::size_t fields;
  };
  const std::uint64_t most = kMostFields * kFieldDefinitionBytes;
  const Case cases[] = {
      {0, IoStatus::Ok, 0},
      {170, IoStatus::Ok, 2},
      {most + kFieldDefinitionBytes - 1, IoStatus::Ok, kMostFields},
      {most + kFieldDefinitionBytes, IoStatus::Damaged, 0},
      {std::uint64_t{1} << 30, IoStatus::Damaged, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    WriteAll(File(), "");
    std::filesystem::resize_file(File(), c.bytes);  // sparse: zeros, read as unnamed fields
    const IoResult<std::vector<FieldDefinition>> read = ReadStructure(db);
    EXPECT_EQ(read.status, c.status);
    EXPECT_EQ(read.value.size(), c.fields);
  }
}

// Lookups read only what they need, so a damaged length does not stop them finding a field,
// and a structure with the most fields takes no more.
TEST_F(StructureFileTest, LookupsReadOnlyWhatTheyNeedAndAFullStructureTakesNoMore) {
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Uno", 1, 10, 2)), IoStatus::Ok);
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Dos", 4, 1)), IoStatus::Ok);
  for (const std::uint64_t bytes : {std::uint64_t{kMostFields} * kFieldDefinitionBytes, std::uint64_t{1} << 30}) {
    SCOPED_TRACE(bytes);
    std::filesystem::resize_file(File(), bytes);
    EXPECT_EQ(FieldNameAt(db, 2), PadFieldName(u"Dos"));
    EXPECT_EQ(FieldTypeAt(db, 2), 4);
    EXPECT_EQ(FieldTypeAt(db, std::int16_t{kMostFields}), 0);  // a zeroed definition
    EXPECT_TRUE(FieldNameExists(db, PadFieldName(u"Uno")));
    EXPECT_EQ(FieldDecimalsByName(db, PadFieldName(u"Uno")), 2);
    EXPECT_FALSE(FieldNameExists(db, PadFieldName(u"Tres")));
    EXPECT_EQ(AppendFieldDefinition(db, Field(u"Tres")), IoStatus::Damaged);
    EXPECT_EQ(std::filesystem::file_size(File()), bytes);
  }
  std::filesystem::resize_file(File(), (kMostFields - 1) * kFieldDefinitionBytes);
  EXPECT_EQ(AppendFieldDefinition(db, Field(u"Tres")), IoStatus::Ok);
  EXPECT_EQ(FieldNameAt(db, std::int16_t{kMostFields}), PadFieldName(u"Tres"));
}

}  // namespace
}  // namespace zentora
