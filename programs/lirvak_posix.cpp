// The Linux face of Lirvak: a C interface over the reading core, UTF-8 at the boundary.
// The status codes of lirvak.h are the reader's own (reader/host_folder.h).
#include "reader/lirvak.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/encoding.h"
#include "platform/system.h"
#include "reader/host_folder.h"
#include "reader/reader_core.h"

#define LIRVAK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace zentora;

std::u16string Name(const char* utf8) { return utf8 ? platform::Utf8ToUtf16(utf8) : std::u16string(); }

// A text handed to the caller as UTF-8 it releases with Lirvak_free_str.
char* Allocated(const std::u16string& text) {
  const std::string utf8 = platform::Utf16ToUtf8(text);
  char* copy = static_cast<char*>(std::malloc(utf8.size() + 1));
  if (copy) std::memcpy(copy, utf8.c_str(), utf8.size() + 1);
  return copy;
}

// What the last call of this thread found: see Lirvak_get_status.
thread_local std::int32_t last_status = reader::kStatusNone;

// Where the Windows library shows a message box, this one writes the message.
void Report(const std::u16string& text) {
  const std::string line = platform::Utf16ToUtf8(reader::MessageCaption() + u": " + text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

std::int32_t Attach(const char* database, const unsigned char* field_name, std::int64_t record, const char* output,
                    reader::Attachment kind) {
  return reader::Guarded([&] {
    const std::u16string host = reader::HostFolder(), output_name = Name(output);
    reader::ReadOutcome outcome = reader::ReadOutcome::NoMemory;
    const auto result = reader::WriteAttachment(host, Name(database), reader::FieldNameFromBuffer(field_name), record,
                                                output_name, kind, kBusyWaitMs, &outcome);
    last_status = reader::StatusCode(outcome);
    if (result != reader::AttachmentResult::Written)
      Report(reader::AttachmentMessage(result, kind, reader::AttachmentPath(host, output_name, kind)));
    return std::int32_t{0};
  }, std::int32_t{0}, last_status);
}

}  // namespace

LIRVAK_EXPORT void Lirvak_set_folder(const char* folder) {
  reader::Guarded([&] {
    std::u16string chosen = Name(folder);
    if (!chosen.empty()) {
      if (chosen.front() != u'/') chosen = platform::CurrentFolder() + chosen;
      if (chosen.back() != u'/') chosen += u'/';
    }
    reader::ChooseHostFolder(std::move(chosen));
    return 0;
  }, 0, last_status);
}

LIRVAK_EXPORT int64_t GetRegi(const char* database) {
  return reader::Guarded([&] {
    reader::ReadOutcome outcome = reader::ReadOutcome::NoMemory;
    const std::int64_t count = reader::CountRecords(reader::HostFolder(), Name(database), kBusyWaitMs, &outcome);
    last_status = reader::StatusCode(outcome);
    return count;
  }, std::int64_t{0}, last_status);
}

LIRVAK_EXPORT char* Lirvak_get_folder(void) {
  return reader::Guarded([] { return Allocated(reader::HostFolder()); }, static_cast<char*>(nullptr), last_status);
}

LIRVAK_EXPORT char* Get_datos_str(const char* database, const unsigned char* field_name, int64_t record) {
  return reader::Guarded([&] {
    reader::ReadOutcome outcome = reader::ReadOutcome::NoMemory;
    const std::u16string text = reader::ReadValueText(reader::HostFolder(), Name(database),
                                                      reader::FieldNameFromBuffer(field_name), record, kBusyWaitMs,
                                                      &outcome);
    last_status = reader::StatusCode(outcome);
    return Allocated(text);
  }, static_cast<char*>(nullptr), last_status);
}

LIRVAK_EXPORT void Lirvak_free_str(char* text) { std::free(text); }

LIRVAK_EXPORT int32_t Lirvak_get_status(void) { return last_status; }

LIRVAK_EXPORT int32_t Get_datos_image(const char* database, const unsigned char* field_name, int64_t record,
                                      const char* output) {
  return Attach(database, field_name, record, output, reader::Attachment::Image);
}

LIRVAK_EXPORT int32_t Get_datos_sonido(const char* database, const unsigned char* field_name, int64_t record,
                                       const char* output) {
  return Attach(database, field_name, record, output, reader::Attachment::Sound);
}

static_assert(LIRVAK_STATUS_NONE == reader::kStatusNone && LIRVAK_STATUS_WRITTEN == reader::kStatusWritten &&
              LIRVAK_STATUS_MISSING == reader::kStatusMissing && LIRVAK_STATUS_NOT_WRITTEN == reader::kStatusNotWritten &&
              LIRVAK_STATUS_FOUND == reader::kStatusFound && LIRVAK_STATUS_BUSY == reader::kStatusBusy &&
              LIRVAK_STATUS_NO_DATABASE == reader::kStatusNoDatabase &&
              LIRVAK_STATUS_UNREADABLE == reader::kStatusUnreadable && LIRVAK_STATUS_NO_MEMORY == reader::kStatusNoMemory);
