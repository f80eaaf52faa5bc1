// The reading core of Lirvak, shared by the Windows and the Linux library: everything the
// four exported functions do, with text as UTF-16 and no knowledge of how the caller
// passed it. Databases are found in the host folder each library hands in (see lirvak.h:
// the folder a caller named, else Zentora's own, platform::HomeFolder).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/database.h"

namespace zentora::reader {

// A database or output name must stay below the host folder: no leading separator, no
// drive letter, no ".." component (nor one Windows would shorten to ".."), no NUL. Both
// '/' and '\' count as separators on every platform, so one rule holds everywhere.
bool StaysInHostFolder(std::u16string_view name);

// The 35 UTF-16LE code units of a 70-byte field name buffer, taken as they are.
std::u16string FieldNameFromBuffer(const unsigned char* buffer);

// Why a read answered as it did: the answers themselves stay as they always were (0, "No
// datos", no file), and a caller that wants to tell the causes apart asks this.
enum class ReadOutcome {
  Answered,      // read from the file (a count, a value found, an attachment written)
  Missing,       // the database is there, the value is not
  NoDatabase,    // no such database in the host folder, or a name that is refused
  Busy,          // another program held the data file past the wait
  Unreadable,    // the data file could not be read: not a regular file, a read error
  NoMemory,      // the answer did not fit in memory
  NotWritten,    // an attachment found but not written (see AttachmentResult::NotWritten)
};

// Every function below answers; none lets an exception out (an allocation that fails reads as
// nothing found, with ReadOutcome::NoMemory).

// The record number held in the last entry of the data file; 0 when there is no entry,
// the file cannot be read, or the name is refused. In O(1) of the file.
std::int64_t CountRecords(const std::u16string& host_folder, const std::u16string& database,
                          unsigned busy_wait_ms = kBusyWaitMs, ReadOutcome* outcome = nullptr);

// The text of a value of a typed field (types 1 to 5), or "No datos" when it is empty,
// not found, unreadable or the name is refused. The first read of a database scans its data
// file once (linear in it); later reads cost the value's own entries and what was appended.
std::u16string ReadValueText(const std::u16string& host_folder, const std::u16string& database,
                             const std::u16string& field_name, std::int64_t record,
                             unsigned busy_wait_ms = kBusyWaitMs, ReadOutcome* outcome = nullptr);

enum class Attachment { Image, Sound };

enum class AttachmentResult {
  Written,       // the output file holds the value's bytes
  Missing,       // no such value (or the data file could not be read): tell the user
  NotWritten,    // a refused name or an output file that could not be (re)written: tell the user
};

// host folder + output + ".jpg" or ".wav": where WriteAttachment writes.
std::u16string AttachmentPath(const std::u16string& host_folder, const std::u16string& output, Attachment kind);

// Writes the bytes of an image or sound value (types 6 and 7) to AttachmentPath, whole: they
// go to a new file beside it, renamed over it once complete, so that a symbolic link there is
// replaced itself, never followed. A failed call leaves no stale output behind: an old regular
// file of that name is removed when there is no value or the new file could not be put in its
// place. A folder, a pipe or a device at that name is never touched (NotWritten), nor a link
// when there is nothing to write.
// An empty output name is refused (NotWritten): it would name "<host>/.jpg".
AttachmentResult WriteAttachment(const std::u16string& host_folder, const std::u16string& database,
                                 const std::u16string& field_name, std::int64_t record,
                                 const std::u16string& output, Attachment kind,
                                 unsigned busy_wait_ms = kBusyWaitMs, ReadOutcome* outcome = nullptr);

// What the user is told of a call that wrote nothing (empty for Written).
std::u16string AttachmentMessage(AttachmentResult result, Attachment kind, const std::u16string& path);

// The library speaks Spanish only.
std::u16string NoDataText();
std::u16string MissingAttachmentText(Attachment kind);
std::u16string MessageCaption();

}  // namespace zentora::reader
