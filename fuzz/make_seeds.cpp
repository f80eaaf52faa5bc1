// Writes the fuzzers' first inputs: a small database made by the program's own writers (a
// text, a number, a yes/no value and a picture in two records), laid out as each target
// reads its input.   make_seeds CORPUS_FOLDER   (one sub-folder per target)
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "storage/data_entry.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"

using namespace zentora;

namespace {

using Bytes = std::string;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

Bytes Word(std::uint16_t value) { return {char(value & 0xFF), char(value >> 8)}; }
Bytes Number(std::int64_t value) {
  Bytes bytes;
  for (int shift = 0; shift < 64; shift += 8) bytes += char((static_cast<std::uint64_t>(value) >> shift) & 0xFF);
  return bytes;
}

// The input bytes number_format_fuzz turns back into `text` (its alphabet, in its order).
Bytes NumberInput(const std::string& text) {
  static const std::string kAlphabet = "0123456789.,-+eEdD&HhBbOoQq \t\r\nx";
  Bytes bytes;
  for (char c : text) bytes += char(kAlphabet.find(c));
  return bytes;
}

FieldDefinition Field(const char16_t* name, FieldType type, std::int16_t size, std::int16_t decimals = 0) {
  return FieldDefinition{0, PadFieldName(name), static_cast<std::int16_t>(type), size, decimals};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::string corpus = std::string(argv[1]) + "/";
  for (const char* target : {"", "structure", "value_search", "number_format", "read_command", "db", "db/S"})
    ::mkdir((corpus + target).c_str(), 0755);

  const Database db{platform::Utf8ToUtf16(corpus + "db/"), u"S", 0};
  const std::vector<FieldDefinition> fields{Field(u"Nombre", FieldType::String, 20),
                                            Field(u"Precio", FieldType::Decimal, 12, 2),
                                            Field(u"Activo", FieldType::Logical, 1),
                                            Field(u"Foto", FieldType::Image, 0)};
  for (const auto& field : fields)
    if (AppendFieldDefinition(db, field) != IoStatus::Ok) return 1;
  const std::uint8_t picture[] = {0xFF, 0xD8, 0xFF, 0xD9};
  for (std::int64_t record : {1, 2}) {
    const bool ok = AppendTextUnits(db, fields[0], record, record == 1 ? u"Ana" : u"Luis", true) == IoStatus::Ok &&
                    AppendTextUnits(db, fields[1], record, u"1234.5", true) == IoStatus::Ok &&
                    AppendTextUnits(db, fields[2], record, u"1", true) == IoStatus::Ok &&
                    AppendByteUnits(db, fields[3], record, picture, sizeof picture, true) == IoStatus::Ok;
    if (!ok) return 1;
  }
  const Bytes structure = ReadAll(corpus + "db/S/S.z04");
  const Bytes data = ReadAll(corpus + "db/S/S.zbd");

  Put(corpus + "structure/sample", Word(2) + structure);
  Put(corpus + "structure/torn", Word(5) + structure.substr(0, structure.size() - 7));
  Put(corpus + "value_search/text", Bytes{6} + "Nombre" + Number(2) + Word(1) + Word(5) + data);
  Put(corpus + "value_search/picture", Bytes{4} + "Foto" + Number(1) + Word(6) + Word(7) + data);
  Put(corpus + "value_search/torn", Bytes{6} + "Precio" + Number(1) + Word(1) + Word(5) + data.substr(0, 1000));
  for (const char* text : {"1234.5", "-0.005e3", "&HFF", "  +12,5D-2", "99999999999999999999"})
    Put(corpus + "number_format/" + std::to_string(std::hash<std::string>{}(text) % 100000),
        Word(2) + Bytes{1} + NumberInput(text));
  const Bytes files = Word(static_cast<std::uint16_t>(structure.size())) + structure + data;
  Put(corpus + "read_command/fields", Bytes{0} + Bytes{0} + Number(0) + files);
  Put(corpus + "read_command/count", Bytes{1} + Bytes{0} + Number(0) + files);
  Put(corpus + "read_command/value", Bytes{2} + Bytes{6} + "Precio" + Number(2) + files);
  Put(corpus + "read_command/attachment", Bytes{3} + Bytes{4} + "Foto" + Number(1) + files);
  Put(corpus + "read_command/csv", Bytes{4} + Bytes{0} + Number(0) + files);
  // A last entry damaged to the largest record number: the export must still end.
  Bytes damaged = data;
  damaged.replace(damaged.size() - kDataUnitBytes + layout::kRecordAt, 8, Number(INT64_MAX));
  Put(corpus + "read_command/csv-damaged",
      Bytes{4} + Bytes{0} + Number(0) + Word(static_cast<std::uint16_t>(structure.size())) + structure + damaged);
  return 0;
}
