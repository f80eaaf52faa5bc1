#include "storage/field_definition.h"

#include "storage/little_endian.h"

namespace zentora {

std::u16string PadFieldName(std::u16string_view name) {
  std::u16string padded(name.substr(0, kFieldNameUnits));
  padded.resize(kFieldNameUnits, u' ');
  return padded;
}

void EncodeFieldDefinition(const FieldDefinition& field, std::uint8_t* out) {
  PutLittleEndian<std::int32_t>(out, field.key_flag);
  PutUtf16(out + 4, PadFieldName(field.name));
  PutLittleEndian<std::int16_t>(out + 74, field.type);
  PutLittleEndian<std::int16_t>(out + 76, field.size);
  PutLittleEndian<std::int16_t>(out + 78, field.decimals);
}

FieldDefinition DecodeFieldDefinition(const std::uint8_t* record) {
  FieldDefinition field;
  field.key_flag = GetLittleEndian<std::int32_t>(record);
  field.name = GetUtf16(record + 4, kFieldNameUnits);
  field.type = GetLittleEndian<std::int16_t>(record + 74);
  field.size = GetLittleEndian<std::int16_t>(record + 76);
  field.decimals = GetLittleEndian<std::int16_t>(record + 78);
  return field;
}

}  // namespace zentora
