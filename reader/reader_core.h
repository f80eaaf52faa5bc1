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

// The record number held in the last entry of the data file; 0 when there is no entry,
// the file cannot be read, or the name is refused.
std::int64_t CountRecords(const std::u16string& host_folder, const std::u16string& database,
                          unsigned busy_wait_ms = kBusyWaitMs);

// The text of a value of a typed field (types 1 to 5), or "No datos" when it is empty,
// not found, unreadable or the name is refused.
std::u16string ReadValueText(const std::u16string& host_folder, const std::u16string& database,
                             const std::u16string& field_name, std::int64_t record,
                             unsigned busy_wait_ms = kBusyWaitMs);

enum class Attachment { Image, Sound };

enum class AttachmentResult {
  Written,       // the output file holds the value's bytes
  Missing,       // no such value (or the data file could not be read): tell the user
  NotWritten,    // a refused name or an output file that could not be (re)written: tell the user
};

// host folder + output + ".jpg" or ".wav": where WriteAttachment writes.
std::u16string AttachmentPath(const std::u16string& host_folder, const std::u16string& output, Attachment kind);

// Writes the bytes of an image or sound value (types 6 and 7) to AttachmentPath, whole: they
// go to a new file beside it, renamed over it once complete, so that a link there is never
// followed. A failed call leaves no stale output behind: an old regular file of that name is
// removed when there is no value or the new file could not be put in its place. A link, a
// folder, a pipe or a device at that name is never touched (NotWritten).
AttachmentResult WriteAttachment(const std::u16string& host_folder, const std::u16string& database,
                                 const std::u16string& field_name, std::int64_t record,
                                 const std::u16string& output, Attachment kind,
                                 unsigned busy_wait_ms = kBusyWaitMs);

// What the user is told of a call that wrote nothing (empty for Written).
std::u16string AttachmentMessage(AttachmentResult result, Attachment kind, const std::u16string& path);

// The library speaks Spanish only.
std::u16string NoDataText();
std::u16string MissingAttachmentText(Attachment kind);
std::u16string MessageCaption();

}  // namespace zentora::reader
