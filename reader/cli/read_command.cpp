#include "reader/cli/read_command.h"

#include <charconv>
#include <cstdint>

#include "display/shown_value.h"
#include "display/structure_description.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/database.h"
#include "storage/structure_file.h"
#include "storage/value_index.h"
#include "texts/text_table.h"

namespace zentora::cli {
namespace {

constexpr char kUsage[] =
    "usage: zentora-read [--folder DIR] [--lang es|en] COMMAND DATABASE [ARGUMENTS]\n"
    "  fields DATABASE                         the description of the fields\n"
    "  count DATABASE                          the number of records\n"
    "  value DATABASE FIELD RECORD             one value, shown as Zentora's viewers show it\n"
    "  attachment DATABASE FIELD RECORD FILE   write an image or sound value to FILE\n"
    "  csv DATABASE                            one CSV row per record that holds at least one value,\n"
    "                                          in record order (a record with no value has no row),\n"
    "                                          numbers as stored, images and sounds as their size in bytes\n"
    "DIR is the folder that holds the database folders (default: the current folder).\n";

// Thrown inside the command, caught once at its top.
struct Failure {
  std::string message;
  int code = kExitError;
};

struct Options {
  std::u16string folder;
  std::int32_t language = static_cast<std::int32_t>(Language::Spanish);
  std::vector<std::string> words;
  bool progress = false;  // progress lines on `err`
};

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  std::string folder = ".";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--folder" || word == "--lang") {
      if (i + 1 == arguments.size()) throw Failure{word + " needs a value", kExitUsage};
      const std::string& value = arguments[++i];
      if (word == "--folder") {
        folder = value;
      } else if (value == "es" || value == "en") {
        options.language = static_cast<std::int32_t>(value == "es" ? Language::Spanish : Language::English);
      } else {
        throw Failure{"--lang takes es or en, not '" + value + "'", kExitUsage};
      }
    } else if (word.starts_with("--")) {
      throw Failure{"unknown option " + word, kExitUsage};
    } else {
      options.words.push_back(word);
    }
  }
  if (folder.empty()) throw Failure{"--folder takes a folder, not an empty name", kExitUsage};
  options.folder = platform::Utf8ToUtf16(folder);
  if (options.folder.back() != u'/' && options.folder.back() != platform::PathSeparator())
    options.folder += platform::PathSeparator();
  return options;
}

void Check(IoStatus status, const std::string& what) {
  if (status == IoStatus::Busy) throw Failure{what + " is held open by another program; try again"};
  if (status == IoStatus::NotRegularFile) throw Failure{what + " is not a regular file (a folder, a pipe or a device)"};
  if (status != IoStatus::Ok) throw Failure{what + " cannot be read"};
}

struct OpenDatabase {
  Database db;
  std::vector<FieldDefinition> fields;
  std::int64_t records = 0;
  bool has_data = false;
};

// What a command reads of the database: its structure, its data file's last record number.
enum Reads { kStructure = 1, kRecords = 2, kBoth = kStructure | kRecords };

// Reads without creating anything: a missing data file is a database without records
// (creating one would stop Zentora from adding fields to it). Each file is read only when the
// command needs it, so a fault of the other one does not stop it.
OpenDatabase Open(const Options& options, const std::string& name, Reads reads = kBoth) {
  OpenDatabase open;
  open.db = Database{options.folder, platform::Utf8ToUtf16(name)};
  if (name.empty() || !PathExists(StructureFilePath(open.db)))
    throw Failure{"no database '" + name + "' in " + platform::Utf16ToUtf8(options.folder)};
  if (reads & kStructure) {
    IoResult<std::vector<FieldDefinition>> structure = ReadStructure(open.db);
    if (structure.status == IoStatus::Damaged)
      throw Failure{"the structure file of '" + name + "' is damaged: it holds more than " +
                    std::to_string(kMostFields) + " fields"};
    Check(structure.status, "the structure file of '" + name + "'");
    open.fields = std::move(structure.value);
  }
  open.has_data = PathExists(DataFilePath(open.db));
  if ((reads & kRecords) && open.has_data) {
    const IoResult<std::int64_t> last = TryLastRecordNumber(open.db);
    Check(last.status, "the data file of '" + name + "'");
    if (last.value < 0)
      throw Failure{"the data file of '" + name + "' is damaged: its last entry holds the record number " +
                    std::to_string(last.value)};
    open.records = last.value;
  }
  return open;
}

std::string Trimmed(const std::u16string& padded_name) {
  const std::size_t end = padded_name.find_last_not_of(u' ');
  return platform::Utf16ToUtf8(padded_name.substr(0, end == std::u16string::npos ? 0 : end + 1));
}

const FieldDefinition& FindField(const OpenDatabase& open, const std::string& name) {
  const std::u16string padded = PadFieldName(platform::Utf8ToUtf16(name));
  for (const FieldDefinition& field : open.fields)
    if (field.name == padded) return field;
  throw Failure{"no field '" + name + "' in database '" + platform::Utf16ToUtf8(open.db.name) + "'"};
}

std::int64_t ParseRecord(const OpenDatabase& open, const std::string& text) {
  std::int64_t record = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), record);
  if (error != std::errc() || end != text.data() + text.size() || record < 1 || record > open.records) {
    throw Failure{"bad record number '" + text + "': the database holds " +
                  (open.records == 0   ? std::string("no records")
                   : open.records == 1 ? std::string("only record 1")
                                       : "records 1 to " + std::to_string(open.records))};
  }
  return record;
}

bool IsAttachment(const FieldDefinition& field) {
  return field.type == static_cast<std::int16_t>(FieldType::Image) ||
         field.type == static_cast<std::int16_t>(FieldType::WavSound);
}

// The query the reader library makes: text values are types 1 to 5, attachments 6 and 7.
ValueQuery QueryFor(const FieldDefinition& field, std::int64_t record) {
  return IsAttachment(field) ? ValueQuery{field.name, record, 6, 7} : ValueQuery{field.name, record, 1, 5};
}

std::u16string ReadText(const OpenDatabase& open, const FieldDefinition& field, std::int64_t record) {
  std::u16string text;
  if (open.has_data) Check(FindValueText(open.db, QueryFor(field, record), text).status, "the data file");
  return text;
}

std::string ReadBytes(const OpenDatabase& open, const FieldDefinition& field, std::int64_t record) {
  std::string bytes;
  if (open.has_data) Check(FindValueBytes(open.db, QueryFor(field, record), bytes).status, "the data file");
  return bytes;
}

void Need(const Options& options, std::size_t count) {
  if (options.words.size() != count + 1)
    throw Failure{"'" + options.words[0] + "' takes " + std::to_string(count) + " argument(s)", kExitUsage};
}

void Fields(const Options& options, std::ostream& out) {
  Need(options, 1);
  const OpenDatabase open = Open(options, options.words[1], kStructure);
  std::u16string text = DescribeFields(open.fields, FillTextTable(), options.language);
  // Zentora's description ends its lines with CR LF for its own text box; a shell wants LF.
  for (std::size_t at = text.find(u"\r\n"); at != std::u16string::npos; at = text.find(u"\r\n", at))
    text.erase(at, 1);
  out << platform::Utf16ToUtf8(text);
}

void Count(const Options& options, std::ostream& out) {
  Need(options, 1);
  out << Open(options, options.words[1], kRecords).records << '\n';
}

void Value(const Options& options, std::ostream& out) {
  Need(options, 3);
  const OpenDatabase open = Open(options, options.words[1], kBoth);
  const FieldDefinition& field = FindField(open, options.words[2]);
  const std::int64_t record = ParseRecord(open, options.words[3]);
  if (IsAttachment(field))
    throw Failure{"field '" + options.words[2] + "' holds images or sounds: use 'attachment' to write one out"};
  const Texts texts{options.language};
  const std::u16string shown = ShownValue(texts, ShownAsFor(field.type), field.decimals, ReadText(open, field, record));
  out << platform::Utf16ToUtf8(shown) << '\n';
}

void WriteAttachment(const Options& options, std::ostream& out) {
  Need(options, 4);
  const OpenDatabase open = Open(options, options.words[1]);
  const FieldDefinition& field = FindField(open, options.words[2]);
  const std::int64_t record = ParseRecord(open, options.words[3]);
  if (!IsAttachment(field)) throw Failure{"field '" + options.words[2] + "' holds no images or sounds"};
  const std::string bytes = ReadBytes(open, field, record);
  if (bytes.empty())
    throw Failure{"record " + options.words[3] + " has nothing in field '" + options.words[2] + "'"};
  // The bytes go to a new file beside the target, which replaces it only once complete: a
  // failure leaves whatever stood there as it was, and a link there is never followed.
  const std::string& target = options.words[4];
  switch (platform::WriteFileReplacing(platform::Utf8ToUtf16(target), bytes.data(), bytes.size(),
                                       platform::ReadOnlyTarget::Keep)) {
    case platform::ReplaceStatus::Ok: break;
    case platform::ReplaceStatus::NotRegularFile:
      throw Failure{"cannot write " + target + ": it is not a regular file (a link, a folder, a pipe or a device); " +
                    "it was left as it was"};
    case platform::ReplaceStatus::ReadOnly:
      throw Failure{"cannot write " + target + ": it is read-only; it was left as it was"};
    case platform::ReplaceStatus::Failed:
      throw Failure{"cannot write " + target + " (no such folder, no permission or the disk is full); " +
                    "nothing was changed"};
  }
  out << bytes.size() << " bytes written to " << options.words[4] << '\n';
}

// Texts an export keeps from its one pass over the data file; past this (64 MB of text) the
// rest is read value by value through the index, so memory stays bounded whatever the file.
constexpr std::size_t kExportKeptUnits = std::size_t{32} << 20;
// An export of a data file this large tells how far it has come, when someone watches.
constexpr std::uint64_t kProgressEntries = std::uint64_t{1} << 20;

// One pass over the data file finds where every value lies and keeps the texts; the rows are
// then written record by record, as the value search would give each value.
void Csv(const Options& options, std::ostream& out, std::ostream& err) {
  Need(options, 1);
  const OpenDatabase open = Open(options, options.words[1], kBoth);
  std::string row;
  for (const FieldDefinition& field : open.fields) {
    if (!row.empty()) row += ',';
    row += CsvField(Trimmed(field.name));
  }
  out << row << "\r\n";
  ValueIndex index(open.db, {kTextTypes, kAttachmentTypes});
  if (open.has_data) {
    int shown = -1;
    const ScanProgress progress = [&](std::uint64_t done, std::uint64_t total) {
      if (!options.progress || total < kProgressEntries) return;
      const int percent = static_cast<int>(done * 100 / total);
      if (percent == shown) return;
      shown = percent;
      err << "\rzentora-read: reading " << options.words[1] << ", " << percent << "%" << (done == total ? "\n" : "")
          << std::flush;
    };
    Check(index.Update(progress, kExportKeptUnits, kTextTypes), "the data file");
  }
  // Each field's values, found once rather than by name for every record; a read through the
  // index may start it afresh, after which they are found again.
  std::vector<std::size_t> columns(open.fields.size());
  const auto find_columns = [&] {
    for (std::size_t i = 0; i < open.fields.size(); ++i)
      columns[i] = index.ColumnOf(open.fields[i].name, IsAttachment(open.fields[i]) ? kAttachmentTypes : kTextTypes);
  };
  find_columns();
  // A row for each record that holds a value: never one per number up to the last, which a
  // damaged last entry may put at 2^63 - 1.
  const std::vector<std::int64_t> records = index.RecordsHolding(columns, open.records);
  std::u16string text;
  for (const std::int64_t record : records) {
    row.clear();
    for (std::size_t i = 0; i < open.fields.size(); ++i) {
      const FieldDefinition& field = open.fields[i];
      if (i > 0) row += ',';
      if (IsAttachment(field)) {
        row += std::to_string(index.IndexedLength(columns[i], record));
        continue;
      }
      text.clear();
      if (!index.TakeKeptText(columns[i], record, text) && index.IndexedLength(columns[i], record) > 0) {
        Check(index.FindText(QueryFor(field, record), text).status, "the data file");
        find_columns();
      }
      row += CsvField(platform::Utf16ToUtf8(text));
    }
    out << row << "\r\n";
  }
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

int RunReadCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, bool progress) {
  try {
    Options options = ParseOptions(arguments);
    options.progress = progress;
    if (options.words.empty()) throw Failure{"no command given", kExitUsage};
    const std::string& command = options.words[0];
    if (command == "fields") Fields(options, out);
    else if (command == "count") Count(options, out);
    else if (command == "value") Value(options, out);
    else if (command == "attachment") WriteAttachment(options, out);
    else if (command == "csv") Csv(options, out, err);
    else if (command == "help") out << kUsage;
    else throw Failure{"unknown command '" + command + "'", kExitUsage};
    return kExitOk;
  } catch (const Failure& failure) {
    err << "zentora-read: " << failure.message << '\n';
    if (failure.code == kExitUsage) err << kUsage;
    return failure.code;
  }
}

}  // namespace zentora::cli
