// The structure of a database in words, as Zentora's Data structure command and zentora-read
// show it: six lines per field and a count line, in the language given.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/field_definition.h"
#include "texts/text_table.h"

namespace zentora {

// A structure file that cannot be read is described as one without fields.
std::u16string DescribeStructure(const Database& db, const TextTable& texts, std::int32_t language);
std::u16string DescribeFields(const std::vector<FieldDefinition>& fields, const TextTable& texts,
                              std::int32_t language);
// The same in pieces, for a caller that writes them out one by one: the lines of one field,
// then the count line. DescribeFields is every field's piece and the count line, in order.
std::u16string DescribeField(const FieldDefinition& field, const TextTable& texts, std::int32_t language);
std::u16string DescribeFieldCount(std::size_t count, const TextTable& texts, std::int32_t language);

}  // namespace zentora
