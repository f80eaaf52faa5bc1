// The structure file: one 80-byte field definition per field, in the order the fields
// were defined, no header. The field count is the length / 80; a shorter tail is ignored.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/field_definition.h"
#include "storage/io_status.h"

namespace zentora {

class LockedFile;

// The most fields a structure holds: fields are numbered by a signed 16-bit number, so no
// caller can ask for one past this. A longer file (over 2,621,360 bytes of definitions) was
// not written by the program and is refused as damaged, never read whole.
inline constexpr std::size_t kMostFields = 32767;

// All field definitions, in one open, read a block at a time; Damaged past kMostFields.
IoResult<std::vector<FieldDefinition>> ReadStructure(const Database& db);
// All field definitions of a structure file the caller holds open.
IoResult<std::vector<FieldDefinition>> ReadFieldDefinitions(const LockedFile& file);

// Writes the definition as record (length / 80) + 1, over a shorter tail if there is one.
// A structure that already holds kMostFields takes no more: Damaged, nothing written.
IoStatus AppendFieldDefinition(const Database& db, const FieldDefinition& field);

// Lookups by the 35-unit padded name (exact, case-sensitive) or by field number from 1. They
// read only what they need: by number the one definition, by name up to the first that has
// it (among the first kMostFields). A file that cannot be read answers as an empty one.
bool FieldNameExists(const Database& db, const std::u16string& padded_name);
std::int16_t FieldDecimalsByName(const Database& db, const std::u16string& padded_name);
std::int16_t FieldTypeAt(const Database& db, std::int16_t number);      // 0 past the end
std::u16string FieldNameAt(const Database& db, std::int16_t number);    // 35 spaces past the end

}  // namespace zentora
