// Holds a file open without sharing for a while, as another program would: opens it,
// creates the ready marker, waits `hold_ms`, closes. Exit code 0 when it held the file.
// With a fourth argument, a file whose bytes it appends while it holds the first one, where
// a writer of whole entries puts them: after the last whole 96-byte entry.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  using namespace zentora::platform;
  if (argc != 4 && argc != 5) return 2;
  FileHandle held;
  if (OpenExclusive(Utf8ToUtf16(argv[1]), Access::Write, held) != OpenStatus::Ok) return 1;
  if (argc == 5) {
    std::ifstream in(argv[4], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::uint64_t size = 0;
    if (!GetFileSize(held, size) || !WriteAt(held, size / 96 * 96, bytes.data(), bytes.size())) return 1;
  }
  FileHandle marker;
  if (OpenExclusive(Utf8ToUtf16(argv[2]), Access::Write, marker) == OpenStatus::Ok) CloseFile(marker);
  SleepMs(static_cast<unsigned>(std::atoi(argv[3])));
  CloseFile(held);
  return 0;
}
