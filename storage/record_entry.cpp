#include "storage/record_entry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "attachments/attachments.h"
#include "dialogs/entry_dialogs.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "shell/progress_dialog.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

constexpr int kProcessedGroup = 7;
constexpr int kTooLongGroup = 8;

// An attachment goes to the data file in runs of this many bytes: large writes, and a
// progress bar and a repaint often enough to look alive.
constexpr std::size_t kAttachmentChunk = 65536;

void Tell(const AppState& state, const std::u16string& text) { platform::ShowMessage(text, state.MessageCaption()); }

// Asks with `show` until the answer fits the field. A size below 1 (a damaged structure file)
// still lets the empty answer through, so the user is never held in the loop.
std::u16string AskTypedValue(AppState& state, const FieldDefinition& field, void (*show)(AppState&)) {
  const std::size_t limit = static_cast<std::size_t>(std::max<int>(field.size, 0));
  for (;;) {
    show(state);
    const std::u16string& answer = state.dialogs.entry_result;
    if (answer.size() <= limit) return answer;
    Tell(state, state.Text(kTooLongGroup, 1) + u"\r\n" + state.Text(kTooLongGroup, 2));
  }
}

// Stores a typed value in one append; an empty one stores nothing.
bool StoreTypedValue(AppState& state, const Database& db, const FieldDefinition& field, std::int64_t record,
                     void (*show)(AppState&)) {
  const std::u16string value = AskTypedValue(state, field, show);
  if (value.empty()) return true;
  const bool stored = AppendTextUnits(db, field, record, value, /*ends_value=*/true) == IoStatus::Ok;
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
bool StoreAttachment(AppState& state, const Database& db, const FieldDefinition& field, std::int64_t record,
                     void (*choose)(AppState&)) {
  choose(state);
  const std::u16string path = state.attachments.last_path;
  if (path.empty()) return true;
  std::vector<std::uint8_t> bytes;
  if (!ReadChosenFile(path, bytes)) {
    Tell(state, state.Text(text::kChosenFileUnreadable));
    return true;
  }
  if (bytes.empty()) return true;
  const std::size_t chunks = (bytes.size() + kAttachmentChunk - 1) / kAttachmentChunk;
  ShowProgressDialog(state.shell);
  for (std::size_t k = 0; k < chunks; ++k) {
    const std::size_t at = k * kAttachmentChunk;
    const std::size_t count = std::min(kAttachmentChunk, bytes.size() - at);
    if (AppendByteUnits(db, field, record, bytes.data() + at, count, k + 1 == chunks) != IoStatus::Ok) {
      EndProgressDialog(state.shell);
      return false;
    }
    AdvanceProgress(state.shell, k + 1, chunks);
  }
  EndProgressDialog(state.shell);
  return true;
}

// Asks for and stores the value of one field; false when it could not be stored.
bool EnterField(AppState& state, const Database& db, const FieldDefinition& field, std::int64_t record) {
  state.dialogs.entry_prompt = field.name;
  switch (static_cast<FieldType>(field.type)) {
    case FieldType::Decimal:
    case FieldType::Integer: return StoreTypedValue(state, db, field, record, ShowNumberEntry);
    case FieldType::String: return StoreTypedValue(state, db, field, record, ShowTextEntry);
    case FieldType::Logical: return StoreTypedValue(state, db, field, record, ShowLogicalEntry);
    case FieldType::Memo: return StoreTypedValue(state, db, field, record, ShowMemoEntry);
    case FieldType::Image: return StoreAttachment(state, db, field, record, ChooseImageFile);
    case FieldType::WavSound: return StoreAttachment(state, db, field, record, ChooseSoundFile);
  }
  return true;  // a type this program does not know: nothing to ask, nothing to store
}

}  // namespace

void EnterRecord(AppState& state) {
  const Database db = state.CurrentDatabase();
  // A record number is only ever taken from a data file that was really read.
  const IoResult<std::int64_t> last = TryLastRecordNumber(db);
  if (!last.ok()) {
    Tell(state, state.Text(text::kDataFileUnavailable));
    return;
  }
  const std::int64_t record = last.value + 1;

  // Held for the whole entry, so no field can be added while a record is half entered.
  LockedFile structure;
  IoResult<std::vector<FieldDefinition>> read{IoStatus::Failed, {}};
  if (structure.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms) == IoStatus::Ok)
    read = ReadFieldDefinitions(structure);
  if (!read.ok()) {
    Tell(state, state.Text(text::kStructureUnavailable));
    return;
  }
  const std::vector<FieldDefinition>& fields = read.value;
  for (const FieldDefinition& field : fields) {
    if (!EnterField(state, db, field, record)) {
      Tell(state, state.Text(text::kValueNotStored));
      return;
    }
    platform::PumpMessages();
  }
  structure.Close();

  // "Processed" promises the record is on disk.
  if (FlushDataFile(db) != IoStatus::Ok) {
    Tell(state, state.Text(text::kValueNotStored));
    return;
  }
  Tell(state, state.Text(kProcessedGroup, 1));
}

}  // namespace zentora
