#include "reader/reader_core.h"

#include <new>
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

// What a read of a database that may not be there finds: NoDatabase when neither of its files
// is (or the name is refused), Missing when only the structure is (no record yet), else
// Answered: the data file is there to be read.
ReadOutcome FindDatabase(const std::u16string& host_folder, const std::u16string& name, unsigned busy_wait_ms,
                         Database& db) {
  if (!ReadableDatabase(host_folder, name, busy_wait_ms, db)) return ReadOutcome::NoDatabase;
  if (platform::PathExists(DataFilePath(db))) return ReadOutcome::Answered;
  return platform::PathExists(StructureFilePath(db)) ? ReadOutcome::Missing : ReadOutcome::NoDatabase;
}

ReadOutcome OutcomeOf(IoStatus status) {
  switch (status) {
    case IoStatus::Ok: return ReadOutcome::Answered;
    case IoStatus::Busy: return ReadOutcome::Busy;
    default: return ReadOutcome::Unreadable;
  }
}

void Tell(ReadOutcome* outcome, ReadOutcome what) {
  if (outcome) *outcome = what;
}

// Runs `read`, answering `fallback` with NoMemory (or Unreadable) when it throws: no
// exception leaves the library, whatever the file.
template <typename Read, typename Fallback>
auto Guarded(ReadOutcome* outcome, Read read, Fallback fallback) -> decltype(read()) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    Tell(outcome, ReadOutcome::NoMemory);
  } catch (...) {
    Tell(outcome, ReadOutcome::Unreadable);
  }
  return fallback();
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

std::int64_t CountRecords(const std::u16string& host_folder, const std::u16string& database, unsigned busy_wait_ms,
                          ReadOutcome* outcome) {
  return Guarded(outcome, [&]() -> std::int64_t {
    Database db;
    const ReadOutcome found = FindDatabase(host_folder, database, busy_wait_ms, db);
    // A database without a data file holds no record: 0 is its count.
    Tell(outcome, found == ReadOutcome::Missing ? ReadOutcome::Answered : found);
    if (found != ReadOutcome::Answered) return 0;
    const IoResult<std::int64_t> last = TryLastRecordNumber(db);
    Tell(outcome, OutcomeOf(last.status));
    return last.ok() ? last.value : 0;
  }, [] { return std::int64_t{0}; });
}

std::u16string ReadValueText(const std::u16string& host_folder, const std::u16string& database,
                             const std::u16string& field_name, std::int64_t record, unsigned busy_wait_ms,
                             ReadOutcome* outcome) {
  return Guarded(outcome, [&]() -> std::u16string {
    Database db;
    const ReadOutcome there = FindDatabase(host_folder, database, busy_wait_ms, db);
    Tell(outcome, there);
    if (there != ReadOutcome::Answered) return NoDataText();
    std::u16string text;
    const IoResult<bool> found =
        ProcessValueIndexes().FindText(db, ValueQuery{field_name, record, kFirstTextType, kLastTextType}, text);
    Tell(outcome, !found.ok() ? OutcomeOf(found.status) : found.value ? ReadOutcome::Answered : ReadOutcome::Missing);
    if (!found.ok() || !found.value || text.empty()) return NoDataText();
    return text;  // moved, not copied as a conditional expression would
  }, [] { return NoDataText(); });
}

std::u16string AttachmentPath(const std::u16string& host_folder, const std::u16string& output, Attachment kind) {
  return host_folder + output + (kind == Attachment::Image ? u".jpg" : u".wav");
}

AttachmentResult WriteAttachment(const std::u16string& host_folder, const std::u16string& database,
                                 const std::u16string& field_name, std::int64_t record, const std::u16string& output,
                                 Attachment kind, unsigned busy_wait_ms, ReadOutcome* outcome) {
  // A refused database name reads as a missing database: the old output still goes and the
  // caller still hears that there is nothing. Only a refused output name stops here; an empty
  // one names no file (it would be "<host>/.jpg").
  Tell(outcome, ReadOutcome::NotWritten);
  if (output.empty() || !StaysInHostFolder(output)) return AttachmentResult::NotWritten;
  const std::u16string path = AttachmentPath(host_folder, output, kind);
  // What was done, and whether an old regular file at the path goes: so no stale output stays.
  struct Done {
    AttachmentResult result;
    bool remove_old;
  };
  const Done done = Guarded(outcome, [&] {
    std::string bytes;
    Database db;
    const ReadOutcome there = FindDatabase(host_folder, database, busy_wait_ms, db);
    Tell(outcome, there);
    if (there == ReadOutcome::Answered) {
      const IoResult<bool> found = ProcessValueIndexes().FindBytes(
          db, ValueQuery{field_name, record, kFirstAttachmentType, kLastAttachmentType}, bytes);
      Tell(outcome, !found.ok() ? OutcomeOf(found.status) : ReadOutcome::Missing);
    }
    if (bytes.empty()) return Done{AttachmentResult::Missing, true};
    // The old output may be read-only: it is replaced as it would have been deleted.
    const platform::ReplaceStatus status =
        platform::WriteFileReplacing(path, bytes.data(), bytes.size(), platform::ReadOnlyTarget::Replace,
                                     platform::LinkAtTarget::Replace);
    Tell(outcome, status == platform::ReplaceStatus::Ok ? ReadOutcome::Answered : ReadOutcome::NotWritten);
    if (status == platform::ReplaceStatus::Ok) return Done{AttachmentResult::Written, false};
    return Done{AttachmentResult::NotWritten, status == platform::ReplaceStatus::Failed};
  }, [] { return Done{AttachmentResult::Missing, true}; });
  if (done.remove_old) platform::DeleteFileForced(path);  // a regular file only; failures are ignored
  return done.result;
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
