// The structure file: one 80-byte field definition per field, in the order the fields
// were defined, no header. The field count is the length / 80; a shorter tail is ignored.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/field_definition.h"
#include "storage/io_status.h"

namespace zentora {

class LockedFile;

// All field definitions, in one open.
IoResult<std::vector<FieldDefinition>> ReadStructure(const Database& db);
// All field definitions of a structure file the caller holds open.
IoResult<std::vector<FieldDefinition>> ReadFieldDefinitions(const LockedFile& file);

// Writes the definition as record (length / 80) + 1, over a shorter tail if there is one.
IoStatus AppendFieldDefinition(const Database& db, const FieldDefinition& field);

// Lookups by the 35-unit padded name (exact, case-sensitive) or by field number from 1.
// A file that cannot be read answers as an empty one.
bool FieldNameExists(const Database& db, const std::u16string& padded_name);
std::int16_t FieldDecimalsByName(const Database& db, const std::u16string& padded_name);
std::int16_t FieldTypeAt(const Database& db, std::int16_t number);      // 0 past the end
std::u16string FieldNameAt(const Database& db, std::int16_t number);    // 35 spaces past the end

}  // namespace zentora
