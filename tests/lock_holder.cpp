// Holds a file open without sharing for a while, as another program would: opens it,
// creates the ready marker, waits `hold_ms`, closes. Exit code 0 when it held the file.
#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  using namespace zentora::platform;
  if (argc != 4) return 2;
  FileHandle held;
  if (OpenExclusive(Utf8ToUtf16(argv[1]), Access::Write, held) != OpenStatus::Ok) return 1;
  FileHandle marker;
  if (OpenExclusive(Utf8ToUtf16(argv[2]), Access::Write, marker) == OpenStatus::Ok) CloseFile(marker);
  SleepMs(static_cast<unsigned>(std::atoi(argv[3])));
  CloseFile(held);
  return 0;
}
