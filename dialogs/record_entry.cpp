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
#include "display/failure_words.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

// An attachment goes to the data file in runs of at most this many bytes: large writes, and
// a repaint often enough to look alive.
constexpr std::size_t kLargestAttachmentChunk = 65536;

// While another program holds the data file the record goes to, the entry waits this many
// times the usual wait (30 s for 2 s), saying so once the wait passes kWaitShownAfterMs (or
// the usual wait, if shorter); the user may give it up sooner.
constexpr unsigned kEntryWaitTimes = 15;
constexpr unsigned kWaitShownAfterMs = 300;

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
  RecordEntryState& numbering;
  platform::Dialog owner;  // of the file choosers
};

// What the user gave for one field, kept until the whole record is stored: a typed value, or
// the path of a picture or a sound (read only when the record is stored). Both empty: nothing.
struct GivenValue {
  FieldDefinition field;
  std::u16string text;
  std::u16string path;
};

using AskValue = std::optional<std::u16string> (*)(const Texts&, const std::u16string& prompt,
                                                   const std::u16string& shown);

void Tell(const Texts& texts, const std::u16string& text) { platform::ShowMessage(text, texts.MessageCaption(), texts.Text(text::kOkButton)); }

// A closed dialog asks whether the whole record goes; no keeps the field empty and goes on.
bool AbandonRecord(const Texts& texts) {
  return platform::AskYesNo(texts.Text(text::kAbandonRecord), texts.MessageCaption(),
                            {texts.Text(text::kYesButton), texts.Text(text::kNoButton)});
}

// Asks with `ask` until the answer fits the field, showing a refused answer again so it can be
// shortened. A size below 1 (a damaged structure file) still lets the empty answer through, so
// the user is never held in the loop. Nothing when the user abandons the record.
std::optional<std::u16string> AskTypedValue(const Entry& entry, const FieldDefinition& field, AskValue ask) {
  const std::size_t limit = static_cast<std::size_t>(std::max<int>(field.size, 0));
  std::u16string shown;
  for (;;) {
    const std::optional<std::u16string> answer = ask(entry.texts, field.name, shown);
    if (!answer) {
      if (AbandonRecord(entry.texts)) return std::nullopt;
      return std::u16string();
    }
    if (answer->size() <= limit) return answer;
    Tell(entry.texts, entry.texts.Text(text::kWeRepeat) + u"\r\n" + entry.texts.Text(text::kValueTooLong));
    shown = *answer;
  }
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

// The values as they go to the data file, the chosen pictures and sounds read now, before
// the data file is held. One that cannot be read is reported and stores nothing.
std::vector<RecordValue> ValuesToStore(const Entry& entry, const std::vector<GivenValue>& given) {
  std::vector<RecordValue> values;
  for (const GivenValue& value : given) {
    RecordValue stored{value.field, value.text, {}};
    if (!value.path.empty() && !ReadChosenFile(value.path, stored.bytes)) {
      Tell(entry.texts, entry.texts.Text(text::kChosenFileUnreadable));
      stored.bytes.clear();
    }
    values.push_back(std::move(stored));
  }
  return values;
}

// Stores the whole record with one hold of the data file, its attachments under the progress
// bar in runs of at most a hundredth of their bytes, so the bar passes every whole percent.
IoResult<std::int64_t> StoreRecord(const Entry& entry, const std::vector<RecordValue>& values) {
  std::vector<std::uint64_t> bytes_before(values.size());
  std::uint64_t attachment_bytes = 0;
  for (std::size_t v = 0; v < values.size(); ++v) {
    bytes_before[v] = attachment_bytes;
    attachment_bytes += values[v].bytes.size();
  }
  ProgressState progress;
  RecordProgress how;
  if (attachment_bytes > 0) how.most_per_write = AttachmentChunk(static_cast<std::size_t>(attachment_bytes));
  how.durable = true;  // "Processed" promises the record is on disk
  const std::uint64_t longest_wait = std::uint64_t{entry.db.busy_wait_ms} * kEntryWaitTimes;
  const unsigned shown_after = std::min(kWaitShownAfterMs, entry.db.busy_wait_ms);
  how.waiting = [&](std::uint64_t waited) {
    if (waited >= longest_wait) return false;
    if (waited < shown_after) return true;
    const Texts& texts = entry.texts;
    ShowWaitingDialog(progress, texts.MessageCaption(), texts.Filled(text::kDataFileInUseWaiting, QuotedName(texts, entry.db.name)),
                      texts.Text(text::kCancelButton));
    return StillWaiting(progress);
  };
  // The first store into a big file reads it once to learn its highest number: the bar shows it.
  how.scanned = [&](std::uint64_t done, std::uint64_t total) {
    if (!progress.window || progress.waiting) ShowProgressDialog(progress);
    AdvanceProgress(progress, done, total);
  };
  how.written = [&](std::size_t v, std::uint64_t done) {
    // The file is held now: the bar takes the place of the waiting line.
    if (attachment_bytes > 0 && (!progress.window || progress.waiting)) ShowProgressDialog(progress);
    if (!values[v].bytes.empty()) {
      AdvanceProgress(progress, bytes_before[v] + done, attachment_bytes);
    } else if (values[v].field.type == static_cast<std::int16_t>(FieldType::Memo) && done == values[v].text.size()) {
      platform::PumpMessages();  // a memo can be long: let the window catch up
    }
  };
  const IoResult<std::int64_t> stored = AppendRecord(entry.db, values, how, &entry.numbering.highest);
  EndProgressDialog(progress);
  return stored;
}

// A data file whose record numbers leave no safe number for a new record: what is wrong with
// its numbers, then which file.
void TellDamaged(const Texts& texts, const Database& db, const IoStatus& status) {
  Tell(texts, texts.Filled(text::kDataFileDamaged, QuotedName(texts, db.name)) + u"\r\n" +
                  FailureWords(texts.table, texts.language, status));
}

// Stores the record; where it cannot be stored yet and trying again can work (the file held,
// the disk full), asks whether to try again, so the values given are not lost. Where it cannot
// (no permission, a name too long, a damaged file), says why and the record goes. True once it
// is stored.
bool StoreOrAbandon(const Entry& entry, const std::vector<RecordValue>& values) {
  const Texts& texts = entry.texts;
  for (;;) {
    const IoStatus status = StoreRecord(entry, values).status;
    if (status == IoStatus::Ok) return true;
    if (status == IoStatus::Damaged) {
      TellDamaged(texts, entry.db, status);
      return false;
    }
    if (!WorthTryingAgain(status.cause())) {
      Tell(texts, FailureMessage(texts, text::kRecordAbandoned, entry.db, status));
      return false;
    }
    if (!platform::AskYesNo(FailureMessage(texts, text::kRetryRecord, entry.db, status), texts.MessageCaption(),
                            {texts.Text(text::kYesButton), texts.Text(text::kNoButton)}))
      return false;
  }
}

// Asks for the value of one field; nothing when the user abandons the record.
std::optional<GivenValue> AskField(const Entry& entry, const FieldDefinition& field) {
  GivenValue given{field, {}, {}};
  std::optional<std::u16string> text = std::u16string();
  switch (static_cast<FieldType>(field.type)) {
    case FieldType::Decimal:
    case FieldType::Integer: text = AskTypedValue(entry, field, ShowNumberEntry); break;
    case FieldType::String: text = AskTypedValue(entry, field, ShowTextEntry); break;
    case FieldType::Logical: text = AskTypedValue(entry, field, ShowLogicalEntry); break;
    case FieldType::Memo: text = AskTypedValue(entry, field, ShowMemoEntry); break;
    // Cancelling the chooser leaves the field empty, as it always has.
    case FieldType::Image:
      given.path = ChooseAttachmentFile(entry.texts, entry.attachments, AttachmentKind::Image, entry.owner).value_or(u"");
      break;
    case FieldType::WavSound:
      given.path = ChooseAttachmentFile(entry.texts, entry.attachments, AttachmentKind::Sound, entry.owner).value_or(u"");
      break;
  }
  // A type this program does not know falls through: nothing to ask, nothing to store.
  if (!text) return std::nullopt;  // abandoned
  given.text = *text;
  return given;
}

}  // namespace

void EnterRecord(const Texts& texts, const Database& db, AttachmentsState& attachments, platform::Dialog owner) {
  RecordEntryState state;
  EnterRecord(texts, db, attachments, state, owner);
}

void EnterRecord(const Texts& texts, const Database& db, AttachmentsState& attachments, RecordEntryState& state,
                 platform::Dialog owner) {
  // Checked before the first question, so the user never answers for a record the data file
  // would refuse: held, not a file, or numbered so that no record can follow. What the check
  // reads of a big file (under the progress bar) the store does not read again.
  ProgressState progress;
  RecordProgress how;
  how.scanned = [&](std::uint64_t done, std::uint64_t total) {
    if (!progress.window) ShowProgressDialog(progress);
    AdvanceProgress(progress, done, total);
  };
  const IoStatus data = CheckRecordCanBeStored(db, how, &state.highest);
  EndProgressDialog(progress);
  if (data == IoStatus::Damaged) {
    TellDamaged(texts, db, data);
    return;
  }
  if (data != IoStatus::Ok) {
    Tell(texts, FailureMessage(texts, text::kDataFileNotOpened, db, data) + TryAgainAdvice(texts, data));
    return;
  }

  // Held for the whole entry, so no field can be added while a record is half entered.
  LockedFile structure;
  IoResult<std::vector<FieldDefinition>> read{
      structure.Open(StructureFilePath(db), platform::Access::Read, db.busy_wait_ms), {}};
  if (read.status == IoStatus::Ok) read = ReadFieldDefinitions(structure);
  if (!read.ok()) {
    Tell(texts, FailureMessage(texts, text::kStructureNotRead, db, read.status) + TryAgainAdvice(texts, read.status));
    return;
  }
  const Entry entry{texts, db, attachments, state, owner};
  // Every answer first, the record stored at the end in field order: an abandoned record
  // leaves nothing in the data file.
  std::vector<GivenValue> given;
  for (const FieldDefinition& field : read.value) {
    std::optional<GivenValue> value = AskField(entry, field);
    if (!value) return;  // abandoned: nothing stored, no "Processed"
    given.push_back(std::move(*value));
    platform::PumpMessages();
  }

  // The record number is taken inside the one hold of the data file that stores the record
  // and makes it durable.
  if (!StoreOrAbandon(entry, ValuesToStore(entry, given))) return;
  structure.Close();
  Tell(texts, texts.Text(text::kProcessed));
}

}  // namespace zentora
