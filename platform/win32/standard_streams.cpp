#include "platform/standard_streams.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>

#include "platform/utf16_streambuf.h"

namespace zentora::platform {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool WriteToConsole(HANDLE handle, const std::u16string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
    if (!WriteConsoleW(handle, text.data() + done, count, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// A stream onto a console; it lives until the process ends, as the standard streams do, and
// shows what is still held when it goes.
struct ConsoleStream {
  explicit ConsoleStream(HANDLE handle)
      : buffer([handle](const std::u16string& text) { return WriteToConsole(handle, text); }) {}
  Utf16Streambuf buffer;
  std::ostream stream{&buffer};
};
std::optional<ConsoleStream> console_out, console_err;

// A console shows UTF-16 text as it is; anything else gets the UTF-8 bytes, untranslated.
std::ostream& Open(DWORD which, FILE* file, std::ostream& bytes, std::optional<ConsoleStream>& console) {
  _setmode(_fileno(file), _O_BINARY);
  const HANDLE handle = GetStdHandle(which);
  if (!IsConsole(handle)) return bytes;
  return console.emplace(handle).stream;
}

}  // namespace

StandardStreams OpenStandardStreams() {
  std::ostream& out = Open(STD_OUTPUT_HANDLE, stdout, std::cout, console_out);
  std::ostream& err = Open(STD_ERROR_HANDLE, stderr, std::cerr, console_err);
  return {out, err, IsConsole(GetStdHandle(STD_ERROR_HANDLE))};
}

}  // namespace zentora::platform
