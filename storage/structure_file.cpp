#include "storage/structure_file.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "storage/locked_file.h"

namespace zentora {
namespace {

// Definitions read in one go: 20 KB, whatever the file's length.
constexpr std::size_t kDefinitionsPerBlock = 256;

// Hands the definitions of the file to `visit` in order, a block at a time, until it returns
// true; never past kMostFields. Damaged when the file holds more than that.
IoStatus VisitDefinitions(const LockedFile& file, const std::function<bool(const FieldDefinition&)>& visit) {
  std::uint64_t size = 0;
  if (!file.Size(size)) return file.Status();
  const std::uint64_t count = size / kFieldDefinitionBytes;
  std::uint8_t block[kDefinitionsPerBlock * kFieldDefinitionBytes];
  for (std::uint64_t first = 0; first < std::min<std::uint64_t>(count, kMostFields); first += kDefinitionsPerBlock) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count - first, kDefinitionsPerBlock));
    std::size_t done = 0;
    if (!file.ReadAt(first * kFieldDefinitionBytes, block, n * kFieldDefinitionBytes, done)) return file.Status();
    for (std::size_t at = 0; at + kFieldDefinitionBytes <= done; at += kFieldDefinitionBytes)
      if (visit(DecodeFieldDefinition(block + at))) return IoStatus::Ok;
    if (done < n * kFieldDefinitionBytes) return IoStatus::Ok;  // cut short while read: what is there
  }
  return count > kMostFields ? file.Status(IoStatus::Damaged) : IoStatus(IoStatus::Ok);
}

std::optional<FieldDefinition> FindByName(const Database& db, const std::u16string& padded_name) {
  LockedFile file;
  if (file.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms) != IoStatus::Ok) return {};
  const std::u16string name = PadFieldName(padded_name);
  std::optional<FieldDefinition> found;
  VisitDefinitions(file, [&](const FieldDefinition& field) {
    if (field.name == name) found = field;
    return found.has_value();
  });
  return found;
}

std::optional<FieldDefinition> FindByNumber(const Database& db, std::int16_t number) {
  if (number < 1) return {};
  LockedFile file;
  if (file.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms) != IoStatus::Ok) return {};
  std::uint8_t record[kFieldDefinitionBytes];
  std::size_t done = 0;
  const std::uint64_t offset = static_cast<std::uint64_t>(number - 1) * kFieldDefinitionBytes;
  if (!file.ReadAt(offset, record, sizeof record, done) || done != sizeof record) return {};
  return DecodeFieldDefinition(record);
}

}  // namespace

IoResult<std::vector<FieldDefinition>> ReadStructure(const Database& db) {
  LockedFile file;
  const IoStatus status = file.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms);
  if (status != IoStatus::Ok) return {status, {}};
  return ReadFieldDefinitions(file);
}

IoResult<std::vector<FieldDefinition>> ReadFieldDefinitions(const LockedFile& file) {
  // Refused from its length alone: nothing is read of a structure that will not be used.
  std::uint64_t size = 0;
  if (!file.Size(size)) return {file.Status(), {}};
  if (size / kFieldDefinitionBytes > kMostFields) return {file.Status(IoStatus::Damaged), {}};
  IoResult<std::vector<FieldDefinition>> result{IoStatus::Ok, {}};
  result.value.reserve(static_cast<std::size_t>(size / kFieldDefinitionBytes));
  result.status = VisitDefinitions(file, [&](const FieldDefinition& field) {
    result.value.push_back(field);
    return false;
  });
  if (result.status != IoStatus::Ok) result.value.clear();
  return result;
}

IoStatus AppendFieldDefinition(const Database& db, const FieldDefinition& field) {
  LockedFile file;
  const IoStatus status = file.Open(StructureFilePath(db), platform::Access::Write, db.busy_wait_ms);
  if (status != IoStatus::Ok) return status;
  std::uint64_t size = 0;
  if (!file.Size(size)) return file.Status();
  const std::uint64_t count = size / kFieldDefinitionBytes;
  if (count >= kMostFields) return file.Status(IoStatus::Damaged);
  std::uint8_t record[kFieldDefinitionBytes];
  EncodeFieldDefinition(field, record);
  return file.WriteAt(count * kFieldDefinitionBytes, record, sizeof record) ? IoStatus(IoStatus::Ok) : file.Status();
}

bool FieldNameExists(const Database& db, const std::u16string& padded_name) {
  return FindByName(db, padded_name).has_value();
}

std::int16_t FieldDecimalsByName(const Database& db, const std::u16string& padded_name) {
  const std::optional<FieldDefinition> field = FindByName(db, padded_name);
  return field ? field->decimals : 0;
}

std::int16_t FieldTypeAt(const Database& db, std::int16_t number) {
  const std::optional<FieldDefinition> field = FindByNumber(db, number);
  return field ? field->type : 0;
}

std::u16string FieldNameAt(const Database& db, std::int16_t number) {
  const std::optional<FieldDefinition> field = FindByNumber(db, number);
  return field ? field->name : PadFieldName(u"");
}

}  // namespace zentora
