// Databases as an attacker would write them, small files (28 KB to 400 KB of data) whose
// record numbers, names and end flags are chosen to cost a reader the most: numbers far apart
// or near the largest, a new field name in every entry, values never ended, values scattered
// between others, a structure of the most fields there may be. Each comes with one value it
// holds (or none), so that a reader's answer can be checked as well as its cost.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "storage/data_file.h"
#include "storage/field_definition.h"

namespace zentora::testing {

struct HostileFile {
  const char* what;
  std::vector<FieldDefinition> fields;  // the structure file
  std::string data;                     // the data file's bytes
  std::int64_t record = 0;              // a record to ask for
  std::u16string text;                  // what Nombre holds there; empty: nothing
  std::size_t image_bytes = 0;          // the size of Foto there; 0: nothing
};

inline constexpr std::size_t kEntriesIn28KB = 300, kEntriesIn400KB = 4266;

inline FieldDefinition HostileText(std::u16string_view name) { return {0, PadFieldName(name), 3, 30, 0}; }
// A name of its own for each number: a letter and one CJK character.
inline FieldDefinition HostileText(char16_t letter, std::size_t number) {
  const char16_t name[] = {letter, static_cast<char16_t>(0x4E00 + number), u'\0'};
  return HostileText(name);
}
inline FieldDefinition HostileImage() { return {0, PadFieldName(u"Foto"), 6, 0, 0}; }

inline std::string HostileEntry(const FieldDefinition& field, std::int64_t record, std::int32_t unit, bool ends) {
  DataUnit entry;
  entry.name = field.name;
  entry.type = field.type;
  entry.record = record;
  entry.unit = unit;
  entry.end_flag = ends ? 1 : 0;
  std::string bytes(kDataUnitBytes, '\0');
  EncodeDataUnit(entry, reinterpret_cast<std::uint8_t*>(bytes.data()));
  return bytes;
}

// `entries` one-unit values of Nombre, alternating with one-byte images of Foto, the record of
// value k being number_of(k); the query is the last value's record.
template <typename NumberOf>
HostileFile HostileValues(const char* what, std::size_t entries, NumberOf number_of, bool ended = true) {
  HostileFile file{what, {HostileText(u"Nombre"), HostileImage()}, {}, 0, {}, 0};
  const auto letter = [](std::size_t value) { return static_cast<char16_t>(u'a' + value % 26); };
  for (std::size_t k = 0; k < entries; ++k)
    file.data += HostileEntry(file.fields[k % 2], number_of(k / 2), k % 2 ? 0xFF : letter(k / 2), ended);
  const std::size_t last = (entries - 1) / 2;  // its Nombre is there; its Foto when entries is even
  file.record = number_of(last);
  if (ended) {
    file.text = std::u16string(1, letter(last));
    file.image_bytes = entries % 2 == 0 ? 1 : 0;
  }
  return file;
}

inline std::vector<HostileFile> HostileFiles() {
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
  std::vector<HostileFile> files;
  const auto apart = [](std::size_t k) { return 1 + static_cast<std::int64_t>(k) * 65536; };
  files.push_back(HostileValues("numbers 65,536 apart, 28 KB", kEntriesIn28KB, apart));
  files.push_back(HostileValues("numbers 65,536 apart, 400 KB", kEntriesIn400KB, apart));
  files.push_back(HostileValues("numbers falling from far away", kEntriesIn400KB, [](std::size_t k) {
    return (std::int64_t{1} << 40) - static_cast<std::int64_t>(k) * 65536;
  }));
  files.push_back(HostileValues("numbers near the largest and below 0", kEntriesIn400KB, [&](std::size_t k) {
    return k % 2 ? kLargest - static_cast<std::int64_t>(k) * 1000003 : -static_cast<std::int64_t>(k) * 1000003;
  }));
  files.push_back(HostileValues("values never ended, numbers apart", kEntriesIn400KB, apart, false));
  {
    // Every entry names a field of its own: every name is a column of the index.
    HostileFile file{"a new field name in every entry", {HostileText(u"Nombre"), HostileImage()}, {}, 1, u"z", 0};
    for (std::size_t k = 0; k + 1 < kEntriesIn400KB; ++k)
      file.data += HostileEntry(HostileText(u'F', k),
                                1 + static_cast<std::int64_t>(k) * 65536, 'x', true);
    file.data += HostileEntry(file.fields[0], 1, 'z', true);
    files.push_back(std::move(file));
  }
  {
    // Two values of one field, their units taking turns: each is scattered in runs of one.
    HostileFile file{"two values scattered entry by entry", {HostileText(u"Nombre"), HostileImage()}, {}, kLargest, {}, 0};
    const std::size_t units = kEntriesIn400KB / 2;
    for (std::size_t k = 0; k < units; ++k) {
      const bool last = k + 1 == units;
      file.data += HostileEntry(file.fields[0], 1, 'a', last);
      file.data += HostileEntry(file.fields[0], kLargest, 'b', last);
    }
    file.text = std::u16string(units, u'b');
    files.push_back(std::move(file));
  }
  {
    // The most fields a structure holds, over a 2,880-byte data file of numbers far apart.
    HostileFile file = HostileValues("the most fields over 2,880 bytes", 30, apart);
    for (std::size_t k = file.fields.size(); k < 32767; ++k)
      file.fields.push_back(HostileText(u'G', k));
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace zentora::testing
