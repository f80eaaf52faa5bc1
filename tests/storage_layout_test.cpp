// The byte layouts other programs read: checked against bytes built by hand.
#include <gtest/gtest.h>

#include <string>

#include "storage/data_file.h"
#include "storage/field_definition.h"

namespace zentora {
namespace {

std::string NameBytes(const std::u16string& name) {
  std::string bytes;
  for (char16_t c : PadFieldName(name)) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::string Le(long long value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

TEST(FieldNameForm, CutsAndPadsToThirtyFiveUnits) {
  EXPECT_EQ(PadFieldName(u"Precio"), u"Precio" + std::u16string(29, u' '));
  EXPECT_EQ(PadFieldName(std::u16string(40, u'x')), std::u16string(35, u'x'));
  EXPECT_EQ(PadFieldName(u""), std::u16string(35, u' '));
}

TEST(StructureRecord, EncodesEightyBytesInFileOrder) {
  const FieldDefinition field{1, PadFieldName(u"Precio"), 1, 10, 2};
  std::uint8_t out[kFieldDefinitionBytes];
  EncodeFieldDefinition(field, out);
  const std::string expected = Le(1, 4) + NameBytes(u"Precio") + Le(1, 2) + Le(10, 2) + Le(2, 2);
  ASSERT_EQ(expected.size(), kFieldDefinitionBytes);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), sizeof out), expected);

  const FieldDefinition back = DecodeFieldDefinition(out);
  EXPECT_EQ(back.key_flag, 1);
  EXPECT_EQ(back.name, field.name);
  EXPECT_EQ(back.type, 1);
  EXPECT_EQ(back.size, 10);
  EXPECT_EQ(back.decimals, 2);
}

TEST(StructureRecord, NegativeValuesAreTwosComplement) {
  const FieldDefinition field{-1, PadFieldName(u"N"), 7, -5, -32768};
  std::uint8_t out[kFieldDefinitionBytes];
  EncodeFieldDefinition(field, out);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[76], 0xFB);
  EXPECT_EQ(out[77], 0xFF);
  EXPECT_EQ(out[78], 0x00);
  EXPECT_EQ(out[79], 0x80);
  EXPECT_EQ(DecodeFieldDefinition(out).decimals, -32768);
}

TEST(DataEntry, EncodesNinetySixBytesInFileOrder) {
  DataUnit unit;
  unit.key_flag = 0;
  unit.unit = 241;  // ñ
  unit.name = PadFieldName(u"Nombre");
  unit.type = 3;
  unit.size = 20;
  unit.record = 3;
  unit.decimals = 0;
  unit.end_flag = 0;
  std::uint8_t out[kDataUnitBytes];
  EncodeDataUnit(unit, out);
  const std::string expected =
      Le(0, 4) + Le(241, 4) + NameBytes(u"Nombre") + Le(3, 2) + Le(20, 2) + Le(3, 8) + Le(0, 2) + Le(0, 4);
  ASSERT_EQ(expected.size(), kDataUnitBytes);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), sizeof out), expected);
}

TEST(DataEntry, RoundTripsEveryFieldIncludingLargeRecordNumbers) {
  DataUnit unit;
  unit.key_flag = 1;
  unit.unit = 0xFFFF;
  unit.name = PadFieldName(u"Año 😀");
  unit.type = 7;
  unit.size = -1;
  unit.record = 0x0123456789ABCDEFLL;
  unit.decimals = 12;
  unit.end_flag = 1;
  std::uint8_t out[kDataUnitBytes];
  EncodeDataUnit(unit, out);
  const DataUnit back = DecodeDataUnit(out);
  EXPECT_EQ(back.key_flag, 1);
  EXPECT_EQ(back.unit, 0xFFFF);
  EXPECT_EQ(back.name, unit.name);
  EXPECT_EQ(back.type, 7);
  EXPECT_EQ(back.size, -1);
  EXPECT_EQ(back.record, 0x0123456789ABCDEFLL);
  EXPECT_EQ(back.decimals, 12);
  EXPECT_EQ(back.end_flag, 1);
  EXPECT_EQ(out[82], 0xEF);  // little-endian record number
  EXPECT_EQ(out[89], 0x01);
}

}  // namespace
}  // namespace zentora
