#include "display/structure_description.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::TempFolder;

class StructureDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(root.fs() / "Tienda"); }
  FieldDefinition Field(const std::u16string& name, std::int16_t type = 3, std::int16_t size = 10,
                        std::int16_t decimals = 0, std::int32_t key = 0) {
    return FieldDefinition{key, PadFieldName(name), type, size, decimals};
  }

  TempFolder root;
  Database db{root.path(), u"Tienda", 100};
  TextTable texts = FillTextTable();
};

TEST_F(StructureDescriptionTest, AMissingStructureHasNoField) {
  EXPECT_EQ(DescribeStructure(db, texts, 1), u"0 Registros ...\r\n");
  EXPECT_EQ(DescribeStructure(db, texts, 5), u"0 Records ...\r\n");
}

TEST_F(StructureDescriptionTest, DescribesEachFieldInSixLinesAndCountsThem) {
  ASSERT_EQ(AppendFieldDefinition(db, Field(u"Precio", 1, 10, 2, 1)), IoStatus::Ok);
  const std::u16string padded = u"Precio" + std::u16string(29, u' ');
  EXPECT_EQ(DescribeStructure(db, texts, 1), u"Llave: sí\r\nEtiqueta: " + padded +
                                                 u"\r\nDato: DECIMAL\r\nTamaño: 10\r\nDecimales: 2\r\n\r\n"
                                                 u"1 Registros ...\r\n");
  EXPECT_EQ(DescribeStructure(db, texts, 5), u"Key: yes\r\nLabel: " + padded +
                                                 u"\r\nData: DECIMAL\r\nSize: 10\r\nDecimals: 2\r\n\r\n"
                                                 u"1 Records ...\r\n");
}

TEST_F(StructureDescriptionTest, DamagedRecordsAreDescribedReadably) {
  const std::vector<FieldDefinition> fields = {Field(u"Raro", 9, -3, -1, 7), Field(u"Cero", 0, 0, 0, -1)};
  const std::u16string text = DescribeFields(fields, texts, 5);
  EXPECT_NE(text.find(u"Key: 7\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"Data: ? (9)\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"Size: -3\r\nDecimals: -1\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"Key: -1\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"Data: ? (0)\r\n"), std::u16string::npos);
  EXPECT_TRUE(text.ends_with(u"\r\n2 Records ...\r\n"));
}

}  // namespace
}  // namespace zentora
