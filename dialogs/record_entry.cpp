#include "dialogs/record_entry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/entry_dialogs.h"
#include "dialogs/progress_dialog.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

// An attachment goes to the data file in runs of at most this many bytes: large writes, and
// a repaint often enough to look alive.
constexpr std::size_t kLargestAttachmentChunk = 65536;

// A run small enough that the bar passes every whole percent on its way, as a byte-by-byte
// store shows it: a hundredth of the file at most, one byte at least.
std::size_t AttachmentChunk(std::size_t size) {
  return std::clamp<std::size_t>(size / 100, 1, kLargestAttachmentChunk);
}

// One run of the entry: what every field's question needs.
struct Entry {
  const Texts& texts;
  const Database& db;
  AttachmentsState& attachments;
  std::int64_t record;
  platform::Dialog owner;  // of the file choosers
};

using AskValue = std::optional<std::u16string> (*)(const Texts&, const std::u16string& prompt);

void Tell(const Texts& texts, const std::u16string& text) { platform::ShowMessage(text, texts.MessageCaption()); }

// Asks with `ask` until the answer fits the field. A size below 1 (a damaged structure file)
// still lets the empty answer through, so the user is never held in the loop.
std::u16string AskTypedValue(const Entry& entry, const FieldDefinition& field, AskValue ask) {
  const std::size_t limit = static_cast<std::size_t>(std::max<int>(field.size, 0));
  for (;;) {
    const std::u16string answer = ask(entry.texts, field.name).value_or(std::u16string());
    if (answer.size() <= limit) return answer;
    Tell(entry.texts, entry.texts.Text(text::kWeRepeat) + u"\r\n" + entry.texts.Text(text::kValueTooLong));
  }
}

// Stores a typed value in one append; an empty one stores nothing.
bool StoreTypedValue(const Entry& entry, const FieldDefinition& field, AskValue ask) {
  const std::u16string value = AskTypedValue(entry, field, ask);
  if (value.empty()) return true;
  const bool stored = AppendTextUnits(entry.db, field, entry.record, value, /*ends_value=*/true) == IoStatus::Ok;
  // A memo can be long: let the window catch up before the next question.
  if (field.type == static_cast<std::int16_t>(FieldType::Memo)) platform::PumpMessages();
  return stored;
}

// The whole chosen file, or false when it cannot be read. The chooser only offers files that
// exist; checking again keeps a file removed meanwhile from being created by the open.
bool ReadChosenFile(const std::u16string& path, std::vector<std::uint8_t>& bytes) {
  if (!platform::PathExists(path)) return false;
  platform::FileHandle file;
  if (platform::OpenExclusive(path, platform::Access::Read, file) != platform::OpenStatus::Ok) return false;
  std::uint64_t size = 0;
  bool ok = platform::GetFileSize(file, size);
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    ok = bytes.empty() || (platform::ReadAt(file, 0, bytes.data(), bytes.size(), done) && done == bytes.size());
  }
  platform::CloseFile(file);
  return ok;
}

// Asks for a picture or a sound and stores its bytes in chunks under the progress bar.
// Cancelling, or an empty file, stores nothing; an unreadable one says so and stores nothing.
bool StoreAttachment(const Entry& entry, const FieldDefinition& field, AttachmentKind kind) {
  const std::optional<std::u16string> path = ChooseAttachmentFile(entry.texts, entry.attachments, kind, entry.owner);
  if (!path || path->empty()) return true;
  std::vector<std::uint8_t> bytes;
  if (!ReadChosenFile(*path, bytes)) {
    Tell(entry.texts, entry.texts.Text(text::kChosenFileUnreadable));
    return true;
  }
  if (bytes.empty()) return true;
  const std::size_t chunk = AttachmentChunk(bytes.size());
  ProgressState progress;
  ShowProgressDialog(progress);
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    const std::size_t count = std::min(chunk, bytes.size() - at);
    const bool last = at + count == bytes.size();
    if (AppendByteUnits(entry.db, field, entry.record, bytes.data() + at, count, last) != IoStatus::Ok) {
      EndProgressDialog(progress);
      return false;
    }
    AdvanceProgress(progress, at + count, bytes.size());
  }
  EndProgressDialog(progress);
  return true;
}

// Asks for and stores the value of one field; false when it could not be stored.
bool EnterField(const Entry& entry, const FieldDefinition& field) {
  switch (static_cast<FieldType>(field.type)) {
    case FieldType::Decimal:
    case FieldType::Integer: return StoreTypedValue(entry, field, ShowNumberEntry);
    case FieldType::String: return StoreTypedValue(entry, field, ShowTextEntry);
    case FieldType::Logical: return StoreTypedValue(entry, field, ShowLogicalEntry);
    case FieldType::Memo: return StoreTypedValue(entry, field, ShowMemoEntry);
    case FieldType::Image: return StoreAttachment(entry, field, AttachmentKind::Image);
    case FieldType::WavSound: return StoreAttachment(entry, field, AttachmentKind::Sound);
  }
  return true;  // a type this program does not know: nothing to ask, nothing to store
}

}  // namespace

void EnterRecord(const Texts& texts, const Database& db, AttachmentsState& attachments, platform::Dialog owner) {
  // A record number is only ever taken from a data file that was really read.
  const IoResult<std::int64_t> last = TryLastRecordNumber(db);
  if (!last.ok()) {
    Tell(texts, texts.Text(text::kDataFileUnavailable));
    return;
  }
  const std::int64_t record = last.value + 1;

  // Held for the whole entry, so no field can be added while a record is half entered.
  LockedFile structure;
  IoResult<std::vector<FieldDefinition>> read{IoStatus::Failed, {}};
  if (structure.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms) == IoStatus::Ok)
    read = ReadFieldDefinitions(structure);
  if (!read.ok()) {
    Tell(texts, texts.Text(text::kStructureUnavailable));
    return;
  }
  const Entry entry{texts, db, attachments, record, owner};
  for (const FieldDefinition& field : read.value) {
    if (!EnterField(entry, field)) {
      Tell(texts, texts.Text(text::kValueNotStored));
      return;
    }
    platform::PumpMessages();
  }
  structure.Close();

  // "Processed" promises the record is on disk.
  if (FlushDataFile(db) != IoStatus::Ok) {
    Tell(texts, texts.Text(text::kValueNotStored));
    return;
  }
  Tell(texts, texts.Text(text::kProcessed));
}

}  // namespace zentora
