// The Linux face of Lirvak: a C interface over the reading core, UTF-8 at the boundary.
#include "reader/lirvak.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"
#include "reader/reader_core.h"

#define LIRVAK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace zentora;

std::u16string Name(const char* utf8) { return utf8 ? platform::Utf8ToUtf16(utf8) : std::u16string(); }

// Where the Windows library shows a message box, this one writes the message.
void Report(reader::Attachment kind) {
  const std::u16string message = reader::MessageCaption() + u": " + reader::MissingAttachmentText(kind);
  const std::string line = platform::Utf16ToUtf8(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

std::int32_t Attach(const char* database, const unsigned char* field_name, std::int64_t record, const char* output,
                    reader::Attachment kind) {
  const auto result = reader::WriteAttachment(platform::ProgramFolder(), Name(database),
                                              reader::FieldNameFromBuffer(field_name), record, Name(output), kind);
  if (result == reader::AttachmentResult::Missing) Report(kind);
  return 0;
}

}  // namespace

LIRVAK_EXPORT int64_t GetRegi(const char* database) {
  return reader::CountRecords(platform::ProgramFolder(), Name(database));
}

LIRVAK_EXPORT char* Get_datos_str(const char* database, const unsigned char* field_name, int64_t record) {
  const std::string text = platform::Utf16ToUtf8(reader::ReadValueText(
      platform::ProgramFolder(), Name(database), reader::FieldNameFromBuffer(field_name), record));
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

LIRVAK_EXPORT void Lirvak_free_str(char* text) { std::free(text); }

LIRVAK_EXPORT int32_t Get_datos_image(const char* database, const unsigned char* field_name, int64_t record,
                                      const char* output) {
  return Attach(database, field_name, record, output, reader::Attachment::Image);
}

LIRVAK_EXPORT int32_t Get_datos_sonido(const char* database, const unsigned char* field_name, int64_t record,
                                       const char* output) {
  return Attach(database, field_name, record, output, reader::Attachment::Sound);
}
