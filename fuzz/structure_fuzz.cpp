// The structure file as another program may have left it: any length, any bytes. Every
// reader of it must answer without crashing, reading out of bounds or looping.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_database.h"
#include "display/structure_description.h"
#include "storage/structure_file.h"
#include "texts/text_table.h"

using namespace zentora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const std::int16_t number = static_cast<std::int16_t>(input.Word());
  const std::string_view structure = input.Rest();
  fuzz::WriteDatabase(structure, {});
  const Database& db = fuzz::FuzzDatabase();

  const auto fields = ReadStructure(db);
  if (fields.ok() && fields.value.size() != structure.size() / kFieldDefinitionBytes) __builtin_trap();
  static const TextTable texts;
  DescribeStructure(db, texts, 1);
  DescribeStructure(db, texts, 5);
  FieldTypeAt(db, number);
  const std::u16string name = FieldNameAt(db, number);
  if (name.size() != kFieldNameUnits) __builtin_trap();
  FieldNameExists(db, name);
  FieldDecimalsByName(db, name);
  return 0;
}
