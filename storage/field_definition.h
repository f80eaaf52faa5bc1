// A field of a database: its 35-unit name form and the 80-byte record the structure file
// holds for it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentora {

enum class FieldType : std::int16_t {
  Decimal = 1,
  Integer = 2,
  String = 3,
  Logical = 4,
  Memo = 5,
  Image = 6,
  WavSound = 7,
};

// Every field name is held and compared as exactly this many UTF-16 code units.
inline constexpr std::size_t kFieldNameUnits = 35;

// Cuts a name to 35 code units or pads it on the right with spaces.
std::u16string PadFieldName(std::u16string_view name);

struct FieldDefinition {
  std::int32_t key_flag = 0;
  std::u16string name = PadFieldName(u"");  // always 35 code units
  std::int16_t type = 0;
  std::int16_t size = 0;
  std::int16_t decimals = 0;
};

inline constexpr std::size_t kFieldDefinitionBytes = 80;

// Structure record layout: key flag @0 (i32), name @4 (35 x UTF-16LE), type @74, size @76,
// decimals @78 (i16 each).
void EncodeFieldDefinition(const FieldDefinition& field, std::uint8_t* out);
FieldDefinition DecodeFieldDefinition(const std::uint8_t* record);

}  // namespace zentora
