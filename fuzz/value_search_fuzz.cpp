// The data file as another program may have left it: torn entries, values without an end
// flag, any record numbers. The value search and the record count must answer without
// crashing, a value found must hold what its entries hold, and the value index must answer
// exactly what the search answers, within its bound of memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_database.h"
#include "storage/data_file.h"
#include "storage/field_definition.h"
#include "storage/value_index.h"

using namespace zentora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  // The query: a field name of up to 35 units, a record number and a type range.
  const std::string_view raw_name = input.Bytes(input.Byte() % 8);
  std::u16string name(raw_name.begin(), raw_name.end());
  ValueQuery query{PadFieldName(name), input.Number(), static_cast<std::int16_t>(input.Word()),
                   static_cast<std::int16_t>(input.Word())};
  fuzz::WriteDatabase({}, input.Rest());
  const Database& db = fuzz::FuzzDatabase();

  std::u16string text;
  const auto found_text = FindValueText(db, query, text);
  if (found_text.ok() && !found_text.value && !text.empty()) __builtin_trap();
  std::string bytes;
  const auto found_bytes = FindValueBytes(db, query, bytes);
  if (found_bytes.ok() && found_text.ok() && found_bytes.value != found_text.value) __builtin_trap();
  if (found_bytes.ok() && found_bytes.value && bytes.size() != text.size()) __builtin_trap();
  ValueIndex index(db, {TypeRange{query.type_min, query.type_max}});
  std::u16string indexed;
  const auto by_index = index.FindText(query, indexed);
  if (found_text.ok() && by_index.ok() && (by_index.value != found_text.value || indexed != text)) __builtin_trap();
  // Its memory is bounded by the entries it indexed, whatever numbers and names they hold.
  if (index.MemoryBytes() > ValueIndex::MemoryBound(index.IndexedEntries())) __builtin_trap();
  ValueIndex both(db, {kTextTypes, kAttachmentTypes});
  if (both.Update({}, std::size_t{1} << 16) == IoStatus::Ok &&
      both.MemoryBytes() > ValueIndex::MemoryBound(both.IndexedEntries()) + (std::size_t{1} << 17))
    __builtin_trap();
  TryLastRecordNumber(db);
  ReadFieldText(db, query.name, query.record, u"No datos");
  ReadFieldBytes(db, query.name, query.record);
  return 0;
}
