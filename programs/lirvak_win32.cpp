// The Windows face of Lirvak: the four exports other programs have always called. Every
// argument comes by address; database and output names are BSTRs holding ANSI bytes (the
// length prefix counts bytes); the field name is 35 UTF-16LE code units; the record number
// a signed 64-bit integer. The .def file exports the names undecorated.
//
// Beside them, exports of the same convention for callers that live elsewhere: naming the
// folder of the databases (UTF-16, so any folder name), asking what the last attachment
// call did, and a quiet mode in which a failed attachment call only sets that status, so a
// batch caller is never stopped by a box nobody will close. Quiet mode is off by default:
// a caller of the four alone sees what it always saw.
#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

#include "reader/host_folder.h"
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

// What the last call of this thread found: see Lirvak_get_status.
thread_local std::int32_t last_status = reader::kStatusNone;
std::atomic<bool> quiet{false};

BSTR Allocated(const std::u16string& text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

std::int32_t Attach(BSTR* database, const unsigned char* field_name, const std::int64_t* record, BSTR* output,
                    reader::Attachment kind) {
  const std::u16string host = reader::HostFolder(), output_name = AnsiName(output);
  reader::ReadOutcome outcome = reader::ReadOutcome::NoMemory;
  const auto result = reader::WriteAttachment(host, AnsiName(database), reader::FieldNameFromBuffer(field_name),
                                              Record(record), output_name, kind, kBusyWaitMs, &outcome);
  last_status = reader::StatusCode(outcome);
  if (result != reader::AttachmentResult::Written && !quiet.load()) {
    const std::u16string text = reader::AttachmentMessage(result, kind, reader::AttachmentPath(host, output_name, kind));
    const std::u16string caption = reader::MessageCaption();
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
                reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK);
  }
  return 0;
}

}  // namespace

// Callers declare the result as a double: on 32-bit Windows it comes back on the x87 stack.
// Every export runs through reader::Guarded: an exception would cross into a caller that
// cannot catch it (a Basic program, a script host), so memory running out reads as not found.
extern "C" double __stdcall GetRegi(BSTR* database) {
  return reader::Guarded([&] {
    reader::ReadOutcome outcome = reader::ReadOutcome::NoMemory;
    const auto count = reader::CountRecords(reader::HostFolder(), AnsiName(database), kBusyWaitMs, &outcome);
    last_status = reader::StatusCode(outcome);
    return static_cast<double>(count);
  }, 0.0, last_status);
}

extern "C" BSTR __stdcall Get_datos_str(BSTR* database, const unsigned char* field_name, const std::int64_t* record) {
  return reader::Guarded([&] {
    reader::ReadOutcome outcome = reader::ReadOutcome::NoMemory;
    const std::u16string text = reader::ReadValueText(reader::HostFolder(), AnsiName(database),
                                                      reader::FieldNameFromBuffer(field_name), Record(record),
                                                      kBusyWaitMs, &outcome);
    last_status = reader::StatusCode(outcome);
    return Allocated(text);
  }, static_cast<BSTR>(nullptr), last_status);
}

extern "C" std::int32_t __stdcall Get_datos_image(BSTR* database, const unsigned char* field_name,
                                                  const std::int64_t* record, BSTR* output) {
  return reader::Guarded([&] { return Attach(database, field_name, record, output, reader::Attachment::Image); },
                         std::int32_t{0}, last_status);
}

extern "C" std::int32_t __stdcall Get_datos_sonido(BSTR* database, const unsigned char* field_name,
                                                   const std::int64_t* record, BSTR* output) {
  return reader::Guarded([&] { return Attach(database, field_name, record, output, reader::Attachment::Sound); },
                         std::int32_t{0}, last_status);
}

// The folder of the databases for every later call, from any thread: a zero-terminated
// UTF-16 name, absolute or taken from the current folder at the time of this call. NULL or
// "" restores the default (the folder of the program that loaded the library).
extern "C" void __stdcall Lirvak_set_folder(const wchar_t* folder) {
  std::u16string chosen;
  if (folder != nullptr && folder[0] != L'\0') {
    const DWORD size = GetFullPathNameW(folder, 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size ? GetFullPathNameW(folder, size, full.data(), nullptr) : 0;
    full.resize(length > 0 && length < size ? length : 0);
    if (full.empty()) full = folder;  // a name the system cannot complete is kept as given
    if (full.back() != L'\\' && full.back() != L'/') full += L'\\';
    chosen.assign(full.begin(), full.end());
  }
  reader::ChooseHostFolder(std::move(chosen));
}

// The folder the next call reads, ending with '\\', as a UTF-16 BSTR the caller frees with
// SysFreeString.
extern "C" BSTR __stdcall Lirvak_get_folder() {
  return reader::Guarded([] { return Allocated(reader::HostFolder()); }, static_cast<BSTR>(nullptr), last_status);
}

// What the last call of the calling thread found: -1 none yet, 0 found or written, 1 no such
// value, 2 not written (the name refused or the file unwritable), 3 the data file held by
// another program, 4 no such database, 5 the data file unreadable, 6 out of memory.
extern "C" std::int32_t __stdcall Lirvak_get_status() { return last_status; }

// Non-zero: a failed attachment call shows no message box and only sets the status. Zero
// (the default): the box shows, as it always has.
extern "C" void __stdcall Lirvak_set_quiet(std::int32_t on) { quiet.store(on != 0); }
