#include "reader/reader_core.h"

#include <string>

#include "platform/system.h"
#include "texts/text_table.h"
#include "storage/data_file.h"
#include "storage/database.h"
#include "reader/value_index_cache.h"

namespace zentora::reader {
namespace {

// Types a text value may have (decimal to memo) and an attachment (image, sound).
constexpr std::int16_t kFirstTextType = kTextTypes.min, kLastTextType = kTextTypes.max;
constexpr std::int16_t kFirstAttachmentType = kAttachmentTypes.min, kLastAttachmentType = kAttachmentTypes.max;

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// ".." and what Windows turns into it by dropping trailing dots and spaces ("...", ".. ").
bool LeadsUpward(std::u16string_view component) {
  int dots = 0;
  for (char16_t c : component) {
    if (c == u'.') ++dots;
    else if (c != u' ') return false;
  }
  return dots >= 2;
}

const TextTable& Table() {
  static const TextTable table = FillTextTable();
  return table;
}

constexpr std::int32_t kSpanish = static_cast<std::int32_t>(Language::Spanish);

// A database inside the host folder; an empty name is none (it would read "<host>/.zbd"). A
// reader must not create its data file: an existing data file is what stops Zentora from
// adding fields to the database. Lirvak's indexes open it only when it exists; other reads
// ask OpenableDatabase first.
bool ReadableDatabase(const std::u16string& host_folder, const std::u16string& name, unsigned busy_wait_ms,
                      Database& db) {
  if (name.empty() || !StaysInHostFolder(name)) return false;
  db = Database{host_folder, name, busy_wait_ms};
  return true;
}

// The data file of a database, or nothing when it does not exist.
bool OpenableDatabase(const std::u16string& host_folder, const std::u16string& name, unsigned busy_wait_ms,
                      Database& db) {
  return ReadableDatabase(host_folder, name, busy_wait_ms, db) && platform::PathExists(DataFilePath(db));
}

}  // namespace

bool StaysInHostFolder(std::u16string_view name) {
  if (name.find(u'\0') != std::u16string_view::npos) return false;
  if (!name.empty() && IsSeparator(name.front())) return false;
  if (name.size() >= 2 && name[1] == u':') return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (LeadsUpward(name.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

std::u16string FieldNameFromBuffer(const unsigned char* buffer) {
  std::u16string name(kFieldNameUnits, u' ');
  if (buffer == nullptr) return name;
  for (std::size_t i = 0; i < kFieldNameUnits; ++i)
    name[i] = static_cast<char16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
  return name;
}

std::int64_t CountRecords(const std::u16string& host_folder, const std::u16string& database, unsigned busy_wait_ms) {
  Database db;
  if (!OpenableDatabase(host_folder, database, busy_wait_ms, db)) return 0;
  const IoResult<std::int64_t> last = TryLastRecordNumber(db);
  return last.ok() ? last.value : 0;
}

std::u16string ReadValueText(const std::u16string& host_folder, const std::u16string& database,
                             const std::u16string& field_name, std::int64_t record, unsigned busy_wait_ms) {
  Database db;
  if (!ReadableDatabase(host_folder, database, busy_wait_ms, db)) return NoDataText();
  std::u16string text;
  const IoResult<bool> found =
      ProcessValueIndexes().FindText(db, ValueQuery{field_name, record, kFirstTextType, kLastTextType}, text);
  if (!found.ok() || !found.value || text.empty()) return NoDataText();
  return text;  // moved, not copied as a conditional expression would
}

std::u16string AttachmentPath(const std::u16string& host_folder, const std::u16string& output, Attachment kind) {
  return host_folder + output + (kind == Attachment::Image ? u".jpg" : u".wav");
}

AttachmentResult WriteAttachment(const std::u16string& host_folder, const std::u16string& database,
                                 const std::u16string& field_name, std::int64_t record, const std::u16string& output,
                                 Attachment kind, unsigned busy_wait_ms) {
  // A refused database name reads as a missing database: the old output still goes and the
  // caller still hears that there is nothing. Only a refused output name stops here.
  if (!StaysInHostFolder(output)) return AttachmentResult::NotWritten;
  const std::u16string path = AttachmentPath(host_folder, output, kind);
  std::string bytes;
  Database db;
  if (ReadableDatabase(host_folder, database, busy_wait_ms, db))
    ProcessValueIndexes().FindBytes(db, ValueQuery{field_name, record, kFirstAttachmentType, kLastAttachmentType},
                                    bytes);
  if (bytes.empty()) {
    platform::DeleteFileForced(path);  // a regular file only; failures are ignored
    return AttachmentResult::Missing;
  }
  // The old output may be read-only: it is replaced as it would have been deleted.
  const platform::ReplaceStatus status =
      platform::WriteFileReplacing(path, bytes.data(), bytes.size(), platform::ReadOnlyTarget::Replace);
  if (status == platform::ReplaceStatus::Ok) return AttachmentResult::Written;
  if (status == platform::ReplaceStatus::Failed) platform::DeleteFileForced(path);
  return AttachmentResult::NotWritten;
}

std::u16string AttachmentMessage(AttachmentResult result, Attachment kind, const std::u16string& path) {
  if (result == AttachmentResult::Missing) return MissingAttachmentText(kind);
  if (result == AttachmentResult::Written) return {};
  return Texts{}.Filled(text::kOutputNotWritten, path);
}

std::u16string NoDataText() { return UiText(Table(), kSpanish, text::kNoData); }

std::u16string MissingAttachmentText(Attachment kind) {
  return UiText(Table(), kSpanish, kind == Attachment::Image ? text::kImageMissing : text::kSoundMissing);
}

std::u16string MessageCaption() { return UiText(Table(), kSpanish, text::kMessageCaption); }

}  // namespace zentora::reader
