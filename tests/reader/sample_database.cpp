#include "reader/sample_database.h"

#include <stdexcept>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/field_definition.h"
#include "storage/structure_file.h"

namespace zentora::testing {
namespace {

FieldDefinition Field(std::u16string_view name, FieldType type, std::int16_t size, std::int16_t decimals = 0) {
  return FieldDefinition{0, PadFieldName(name), static_cast<std::int16_t>(type), size, decimals};
}

void Require(IoStatus status) {
  if (status != IoStatus::Ok) throw std::runtime_error("cannot write the sample database");
}

}  // namespace

std::string SampleImage() {
  std::string bytes(300, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 256);
  return bytes;
}

std::string SampleSound(std::int64_t record) {
  static constexpr char kHeader[] = "RIFF\x24\x00\x00\x00WAVEfmt ";
  std::string bytes(kHeader, sizeof kHeader - 1);
  bytes.resize(bytes.size() + 40 * static_cast<std::size_t>(record), static_cast<char>(0x80 + record));
  return bytes;
}

void WriteSampleDatabase(const Database& db) {
  platform::CreateFolder(DatabaseFolder(db));
  const std::vector<FieldDefinition> fields = {
      Field(u"Nombre", FieldType::String, 40),  Field(u"Precio", FieldType::Decimal, 12, 2),
      Field(u"Activo", FieldType::Logical, 1),  Field(u"Notas", FieldType::Memo, 2000),
      Field(u"Foto", FieldType::Image, 0),      Field(u"Voz", FieldType::WavSound, 0),
      Field(u"nombre", FieldType::String, 40),
  };
  for (const FieldDefinition& field : fields) Require(AppendFieldDefinition(db, field));

  const std::vector<std::vector<std::u16string>> texts = {
      {kSampleName1, u"1234.5", u"1", kSampleNotes1, u"minúscula"},
      {u"Ana", u"-0.5", u"0", u"", u""},
      {kSampleName3, u"", u"", u"", u""},
  };
  const std::string image = SampleImage();
  for (std::int64_t record = 1; record <= kSampleRecords; ++record) {
    const auto& row = texts[static_cast<std::size_t>(record - 1)];
    for (std::size_t i = 0; i < 4; ++i) Require(AppendTextUnits(db, fields[i], record, row[i], true));
    if (record == 1)
      Require(AppendByteUnits(db, fields[4], record, reinterpret_cast<const std::uint8_t*>(image.data()),
                              image.size(), true));
    if (record < 3) {
      const std::string sound = SampleSound(record);
      Require(AppendByteUnits(db, fields[5], record, reinterpret_cast<const std::uint8_t*>(sound.data()),
                              sound.size(), true));
    }
    Require(AppendTextUnits(db, fields[6], record, row[4], true));
  }
}

std::string SampleCsv() {
  return "Nombre,Precio,Activo,Notas,Foto,Voz,nombre\r\n" + platform::Utf16ToUtf8(kSampleName1) + ",1234.5,1,\"" +
         platform::Utf16ToUtf8(kSampleNotes1) + "\",300,56,minúscula\r\n"
         "Ana,-0.5,0,,0,96,\r\n"
         "\"Zoë, \"\"Z\"\"\",,,,0,0,\r\n";
}

void WriteOneFieldDatabase(const Database& db, const std::u16string& field, const std::vector<std::u16string>& values) {
  platform::CreateFolder(DatabaseFolder(db));
  const FieldDefinition definition = Field(field, FieldType::String, 40);
  Require(AppendFieldDefinition(db, definition));
  for (std::size_t i = 0; i < values.size(); ++i)
    Require(AppendTextUnits(db, definition, static_cast<std::int64_t>(i + 1), values[i], true));
}

void WriteDatabaseEndingInEmptyValues(const Database& db) {
  platform::CreateFolder(DatabaseFolder(db));
  const FieldDefinition nombre = Field(u"Nombre", FieldType::String, 40), notas = Field(u"Notas", FieldType::Memo, 200);
  for (const FieldDefinition& field : {nombre, notas}) Require(AppendFieldDefinition(db, field));
  Require(AppendTextUnits(db, nombre, 1, u"Ana", true));
  Require(AppendTextUnits(db, notas, 1, u"nota", true));
  Require(AppendTextUnits(db, nombre, kRecordsBeforeEmptyOnes, u"Eva", true));
}

std::string FieldNameBuffer(const std::u16string& name, char16_t pad) {
  std::u16string units = name.substr(0, kFieldNameUnits);
  units.resize(kFieldNameUnits, pad);
  std::string buffer;
  for (char16_t unit : units) {
    buffer += static_cast<char>(unit & 0xFF);
    buffer += static_cast<char>(unit >> 8);
  }
  return buffer;
}

}  // namespace zentora::testing
