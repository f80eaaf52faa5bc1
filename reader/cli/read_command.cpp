#include "reader/cli/read_command.h"

#include <charconv>
#include <cstdint>
#include <exception>
#include <new>

#include "display/failure_words.h"
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

constexpr char kUsageHead[] =
    "usage: zentora-read [--folder DIR] [--lang es|en] COMMAND DATABASE [ARGUMENTS]\n"
    "       zentora-read --help | --version\n"
    "  fields DATABASE                         the description of the fields\n"
    "  count DATABASE                          the number of records\n"
    "  value DATABASE FIELD RECORD             one value, shown as Zentora's viewers show it\n"
    "  attachment DATABASE FIELD RECORD FILE   write an image or sound value to FILE\n"
    "                                          (- writes it to standard output)\n"
    "  csv DATABASE                            one CSV row per record that holds at least one value,\n"
    "                                          in record order (a record with no value has no row),\n"
    "                                          numbers as stored, images and sounds as their size in bytes\n"
    "Options take their value as the next word or after '=' (--folder=DIR); -- ends the options.\n"
    "  -f, --folder DIR    the folder that holds the database folders\n"
    "  -l, --lang es|en    the language of values shown (default: es)\n"
    "  -h, --help          this text\n"
    "  -V, --version       the version\n";

constexpr char kWriteFailure[] = "the output could not be written (the disk is full or its reader has gone)";

// Thrown inside the command, caught once at its top.
struct Failure {
  std::string message;
  int code = kExitError;
};

// The command line, read once: the words as given (for messages) and as the names they are in
// the files (for finding), and the one text table every value shown is worded from.
struct Options {
  std::u16string folder;
  std::vector<std::string> words;
  bool help = false;
  bool version = false;
  std::vector<std::u16string> names;  // words[i] in UTF-16
  bool progress = false;  // progress lines on `err`
  Texts texts;  // in the language --lang names
};

// An option word: "--name", "--name=value" or a short "-x"; a lone "-" and a negative number
// are words (a file name, a record number).
bool IsOption(const std::string& word) {
  return word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9');
}

Options ParseOptions(const std::vector<std::string>& arguments, const std::u16string& default_folder) {
  Options options;
  std::u16string folder = default_folder.empty() ? u"." : default_folder;
  bool only_words = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (only_words || !IsOption(word)) {
      options.words.push_back(word);
      continue;
    }
    const std::size_t equals = word.starts_with("--") ? word.find('=') : std::string::npos;
    const std::string name = word.substr(0, equals);
    if (name == "--") {
      only_words = true;
    } else if (name == "-h" || name == "--help" || name == "-V" || name == "--version") {
      if (equals != std::string::npos) throw Failure{name + " takes no value", kExitUsage};
      (name == "-h" || name == "--help" ? options.help : options.version) = true;
    } else if (name == "-f" || name == "--folder" || name == "-l" || name == "--lang") {
      std::string value;
      if (equals != std::string::npos) {
        value = word.substr(equals + 1);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      } else {
        throw Failure{name + " needs a value", kExitUsage};
      }
      if (name == "-f" || name == "--folder") {
        if (value.empty()) throw Failure{"--folder takes a folder, not an empty name", kExitUsage};
        folder = platform::FileNameToUtf16(value);
      } else if (value == "es" || value == "en") {
        options.texts.language = static_cast<std::int32_t>(value == "es" ? Language::Spanish : Language::English);
      } else {
        throw Failure{"--lang takes es or en, not '" + value + "'", kExitUsage};
      }
    } else {
      throw Failure{"unknown option " + name, kExitUsage};
    }
  }
  options.folder = folder;
  for (const std::string& word : options.words) options.names.push_back(platform::FileNameToUtf16(word));
  if (options.folder.back() != u'/' && options.folder.back() != platform::PathSeparator())
    options.folder += platform::PathSeparator();
  return options;
}

// A stream that failed stops the command: a full disk never passes for a complete output.
void CheckWritten(std::ostream& out) {
  if (!out.flush()) throw Failure{kWriteFailure};
}

// Why, in the words of the text table: the tool speaks English whatever --lang says.
std::string Why(const Options& options, const IoStatus& status) {
  return platform::Utf16ToUtf8(FailureWords(options.texts.table, static_cast<std::int32_t>(Language::English), status));
}

// A failure says why and which file: "the data file of 'Base' cannot be read: permission
// denied (read-only or no access): /home/ana/Base/Base.zbd".
void Check(const Options& options, const IoStatus& status, const std::string& what) {
  if (status == IoStatus::Ok) return;
  if (status == IoStatus::NotRegularFile)
    throw Failure{what + " is not a regular file (a folder, a pipe or a device): " + platform::Utf16ToUtf8(status.path())};
  throw Failure{what + " cannot be read: " + Why(options, status) +
                (WorthTryingAgain(status.cause()) ? "; try again" : "")};
}

struct OpenDatabase {
  const Options* options = nullptr;
  std::string name;  // as given
  Database db;
  std::vector<FieldDefinition> fields;
  std::int64_t records = 0;
  bool has_data = false;
};

std::string DataFile(const OpenDatabase& open) { return "the data file of '" + open.name + "'"; }

// What a command reads of the database: its structure, its data file's last record number.
enum Reads { kStructure = 1, kRecords = 2, kBoth = kStructure | kRecords };

// Reads without creating anything: a missing data file is a database without records
// (creating one would stop Zentora from adding fields to it). Each file is read only when the
// command needs it, so a fault of the other one does not stop it.
OpenDatabase Open(const Options& options, Reads reads = kBoth) {
  const std::string& name = options.words[1];
  OpenDatabase open;
  open.options = &options;
  open.name = name;
  open.db = Database{options.folder, options.names[1]};
  if (name.empty() || !PathExists(StructureFilePath(open.db)))
    throw Failure{"no database '" + name + "' in " + platform::Utf16ToUtf8(options.folder)};
  if (reads & kStructure) {
    IoResult<std::vector<FieldDefinition>> structure = ReadStructure(open.db);
    if (structure.status == IoStatus::Damaged)
      throw Failure{"the structure file of '" + name + "' is damaged: it holds more than " +
                    std::to_string(kMostFields) + " fields"};
    Check(options, structure.status, "the structure file of '" + name + "'");
    open.fields = std::move(structure.value);
  }
  open.has_data = PathExists(DataFilePath(open.db));
  if ((reads & kRecords) && open.has_data) {
    const IoResult<std::int64_t> last = TryLastRecordNumber(open.db);
    Check(options, last.status, DataFile(open));
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

// The field the command's word `at` names.
const FieldDefinition& FindField(const OpenDatabase& open, std::size_t at) {
  const std::u16string padded = PadFieldName(open.options->names[at]);
  for (const FieldDefinition& field : open.fields)
    if (field.name == padded) return field;
  throw Failure{"no field '" + open.options->words[at] + "' in database '" + open.name + "'"};
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
  if (open.has_data) Check(*open.options, FindValueText(open.db, QueryFor(field, record), text).status, DataFile(open));
  return text;
}

std::string ReadBytes(const OpenDatabase& open, const FieldDefinition& field, std::int64_t record) {
  std::string bytes;
  if (open.has_data) Check(*open.options, FindValueBytes(open.db, QueryFor(field, record), bytes).status, DataFile(open));
  return bytes;
}

void Need(const Options& options, std::size_t count) {
  if (options.words.size() != count + 1)
    throw Failure{"'" + options.words[0] + "' takes " + std::to_string(count) + " argument(s)", kExitUsage};
}

void Fields(const Options& options, std::ostream& out) {
  Need(options, 1);
  const OpenDatabase open = Open(options, kStructure);
  // Written field by field, so the command's time and memory stay linear in one field's
  // lines, whatever the number of fields. Zentora's description ends its lines with CR LF for
  // its own text box; a shell wants LF.
    const auto write = [&](const std::u16string& piece) {
    const std::string lines = platform::Utf16ToUtf8(piece);
    std::string shown;
    shown.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (!(lines[i] == '\r' && i + 1 < lines.size() && lines[i + 1] == '\n')) shown += lines[i];
    out << shown;
  };
  for (const FieldDefinition& field : open.fields) write(DescribeField(field, options.texts.table, options.texts.language));
  write(DescribeFieldCount(open.fields.size(), options.texts.table, options.texts.language));
}

void Count(const Options& options, std::ostream& out) {
  Need(options, 1);
  out << Open(options, kRecords).records << '\n';
}

void Value(const Options& options, std::ostream& out) {
  Need(options, 3);
  const OpenDatabase open = Open(options, kBoth);
  const FieldDefinition& field = FindField(open, 2);
  const std::int64_t record = ParseRecord(open, options.words[3]);
  if (IsAttachment(field))
    throw Failure{"field '" + options.words[2] + "' holds images or sounds: use 'attachment' to write one out"};
  const std::u16string shown =
      ShownValue(options.texts, ShownAsFor(field.type), field.decimals, ReadText(open, field, record));
  out << platform::Utf16ToUtf8(shown) << '\n';
}

void WriteAttachment(const Options& options, std::ostream& out) {
  Need(options, 4);
  const OpenDatabase open = Open(options);
  const FieldDefinition& field = FindField(open, 2);
  const std::int64_t record = ParseRecord(open, options.words[3]);
  if (!IsAttachment(field)) throw Failure{"field '" + options.words[2] + "' holds no images or sounds"};
  const std::string bytes = ReadBytes(open, field, record);
  if (bytes.empty())
    throw Failure{"record " + options.words[3] + " has nothing in field '" + options.words[2] + "'"};
  const std::string& target = options.words[4];
  if (target == "-") {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return;
  }
  // The bytes go to a new file beside the target, which replaces it only once complete: a
  // failure leaves whatever stood there as it was, and a link there is never followed.
  switch (platform::WriteFileReplacing(options.names[4], bytes.data(), bytes.size(), platform::ReadOnlyTarget::Keep)) {
    case platform::ReplaceStatus::Ok: break;
    case platform::ReplaceStatus::NotRegularFile:
      throw Failure{"cannot write " + target + ": it is not a regular file (a link, a folder, a pipe or a device); " +
                    "it was left as it was"};
    case platform::ReplaceStatus::ReadOnly:
      throw Failure{"cannot write " + target + ": it is read-only; it was left as it was"};
    case platform::ReplaceStatus::Failed:
      throw Failure{"cannot write " + target + ": " +
                    Why(options, IoStatus{IoStatus::Failed, platform::LastFailure(), options.names[4]}) +
                    "; nothing was changed"};
  }
  out << bytes.size() << " bytes written to " << target << '\n';
}

// Texts an export keeps from its one pass over the data file; past this (64 MB of text) the
// rest is read value by value through the index, so memory stays bounded whatever the file.
constexpr std::size_t kExportKeptUnits = std::size_t{32} << 20;
// An export of a data file this large tells how far it has come, when someone watches.
constexpr std::uint64_t kProgressEntries = std::uint64_t{1} << 20;

// One pass over the data file finds where every value lies and keeps the texts; the rows are
// then written record by record, as the value search would give each value. Time: O(entries)
// for the pass and the records that hold values, plus O(fields) per row written; a record
// with no value costs nothing, whatever its number.
void Csv(const Options& options, std::ostream& out, std::ostream& err) {
  Need(options, 1);
  const OpenDatabase open = Open(options, kBoth);
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
    Check(options, index.Update(progress, kExportKeptUnits, kTextTypes), DataFile(open));
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
        const std::uint64_t resets = index.Resets();
        Check(options, index.FindText(QueryFor(field, record), text).status, DataFile(open));
        if (index.Resets() != resets) find_columns();
      }
      row += CsvField(platform::Utf16ToUtf8(text));
    }
    out << row << "\r\n";
    if (!out) throw Failure{kWriteFailure};  // a full disk ends a long export at once
  }
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

std::string Usage(const std::u16string& default_folder) {
  return kUsageHead + std::string("DIR defaults to ") +
         (default_folder.empty() ? std::string("the current folder") : platform::Utf16ToUtf8(default_folder)) + ".\n";
}

int RunReadCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const ToolSetting& setting) {
  try {
    Options options = ParseOptions(arguments, setting.default_folder);
    options.progress = setting.progress;
    const std::string command = options.words.empty() ? "" : options.words[0];
    if (options.help || command == "help") out << Usage(setting.default_folder);
    else if (options.version) out << "zentora-read " ZENTORA_VERSION "\n";
    else if (command.empty()) throw Failure{"no command given", kExitUsage};
    else if (command == "fields") Fields(options, out);
    else if (command == "count") Count(options, out);
    else if (command == "value") Value(options, out);
    else if (command == "attachment") WriteAttachment(options, out);
    else if (command == "csv") Csv(options, out, err);
    else throw Failure{"unknown command '" + command + "'", kExitUsage};
    CheckWritten(out);
    return kExitOk;
  } catch (const Failure& failure) {
    err << "zentora-read: " << failure.message << '\n';
    if (failure.code == kExitUsage) err << "Try 'zentora-read --help'.\n";
    return failure.code;
  } catch (const std::bad_alloc&) {
    err << "zentora-read: not enough memory for this command\n";
    return kExitError;
  } catch (const std::exception& failure) {
    err << "zentora-read: " << failure.what() << '\n';
    return kExitError;
  }
}

}  // namespace zentora::cli
