// The Windows face of Lirvak: the four exports other programs have always called. Every
// argument comes by address; database and output names are BSTRs holding ANSI bytes (the
// length prefix counts bytes); the field name is 35 UTF-16LE code units; the record number
// a signed 64-bit integer. The .def file exports the names undecorated.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>

#include "platform/system.h"
#include "reader/reader_core.h"

namespace {

using namespace zentora;

std::u16string AnsiName(const BSTR* handle) {
  if (handle == nullptr || *handle == nullptr) return {};
  const auto* bytes = reinterpret_cast<const char*>(*handle);
  const int length = static_cast<int>(SysStringByteLen(*handle));
  if (length == 0) return {};
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0);
  std::u16string name(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, length, reinterpret_cast<wchar_t*>(name.data()), units);
  return name;
}

std::int64_t Record(const std::int64_t* record) { return record ? *record : 0; }

std::int32_t Attach(BSTR* database, const unsigned char* field_name, const std::int64_t* record, BSTR* output,
                    reader::Attachment kind) {
  const std::u16string host = platform::HomeFolder(), output_name = AnsiName(output);
  const auto result = reader::WriteAttachment(host, AnsiName(database), reader::FieldNameFromBuffer(field_name),
                                              Record(record), output_name, kind);
  if (result != reader::AttachmentResult::Written) {
    const std::u16string text = reader::AttachmentMessage(result, kind, reader::AttachmentPath(host, output_name, kind));
    const std::u16string caption = reader::MessageCaption();
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
                reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK);
  }
  return 0;
}

}  // namespace

// Callers declare the result as a double: on 32-bit Windows it comes back on the x87 stack.
extern "C" double __stdcall GetRegi(BSTR* database) {
  return static_cast<double>(reader::CountRecords(platform::HomeFolder(), AnsiName(database)));
}

extern "C" BSTR __stdcall Get_datos_str(BSTR* database, const unsigned char* field_name, const std::int64_t* record) {
  const std::u16string text = reader::ReadValueText(platform::HomeFolder(), AnsiName(database),
                                                    reader::FieldNameFromBuffer(field_name), Record(record));
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

extern "C" std::int32_t __stdcall Get_datos_image(BSTR* database, const unsigned char* field_name,
                                                  const std::int64_t* record, BSTR* output) {
  return Attach(database, field_name, record, output, reader::Attachment::Image);
}

extern "C" std::int32_t __stdcall Get_datos_sonido(BSTR* database, const unsigned char* field_name,
                                                   const std::int64_t* record, BSTR* output) {
  return Attach(database, field_name, record, output, reader::Attachment::Sound);
}
