#include "storage/structure_file.h"

#include "storage/locked_file.h"

namespace zentora {

IoResult<std::vector<FieldDefinition>> ReadStructure(const Database& db) {
  LockedFile file;
  const IoStatus status = file.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms);
  if (status != IoStatus::Ok) return {status, {}};
  return ReadFieldDefinitions(file);
}

IoResult<std::vector<FieldDefinition>> ReadFieldDefinitions(const LockedFile& file) {
  IoResult<std::vector<FieldDefinition>> result{IoStatus::Ok, {}};
  std::uint64_t size = 0;
  if (!file.Size(size)) return {IoStatus::Failed, {}};
  const std::uint64_t count = size / kFieldDefinitionBytes;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count * kFieldDefinitionBytes));
  std::size_t done = 0;
  if (!file.ReadAt(0, bytes.data(), bytes.size(), done)) return {IoStatus::Failed, {}};
  for (std::size_t at = 0; at + kFieldDefinitionBytes <= done; at += kFieldDefinitionBytes)
    result.value.push_back(DecodeFieldDefinition(bytes.data() + at));
  return result;
}

IoStatus AppendFieldDefinition(const Database& db, const FieldDefinition& field) {
  LockedFile file;
  const IoStatus status = file.Open(StructureFilePath(db), platform::Access::Write, db.busy_wait_ms);
  if (status != IoStatus::Ok) return status;
  std::uint64_t size = 0;
  if (!file.Size(size)) return IoStatus::Failed;
  std::uint8_t record[kFieldDefinitionBytes];
  EncodeFieldDefinition(field, record);
  const std::uint64_t offset = size / kFieldDefinitionBytes * kFieldDefinitionBytes;
  return file.WriteAt(offset, record, sizeof record) ? IoStatus::Ok : IoStatus::Failed;
}

namespace {

const FieldDefinition* FindByName(const std::vector<FieldDefinition>& fields, const std::u16string& name) {
  for (const FieldDefinition& field : fields)
    if (field.name == name) return &field;
  return nullptr;
}

const FieldDefinition* FindByNumber(const std::vector<FieldDefinition>& fields, std::int16_t number) {
  if (number < 1 || static_cast<std::size_t>(number) > fields.size()) return nullptr;
  return &fields[static_cast<std::size_t>(number) - 1];
}

}  // namespace

bool FieldNameExists(const Database& db, const std::u16string& padded_name) {
  return FindByName(ReadStructure(db).value, PadFieldName(padded_name)) != nullptr;
}

std::int16_t FieldDecimalsByName(const Database& db, const std::u16string& padded_name) {
  const auto fields = ReadStructure(db).value;
  const FieldDefinition* field = FindByName(fields, PadFieldName(padded_name));
  return field ? field->decimals : 0;
}

std::int16_t FieldTypeAt(const Database& db, std::int16_t number) {
  const auto fields = ReadStructure(db).value;
  const FieldDefinition* field = FindByNumber(fields, number);
  return field ? field->type : 0;
}

std::u16string FieldNameAt(const Database& db, std::int16_t number) {
  const auto fields = ReadStructure(db).value;
  const FieldDefinition* field = FindByNumber(fields, number);
  return field ? field->name : PadFieldName(u"");
}

}  // namespace zentora
