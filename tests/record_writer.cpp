// Stores records the way the program does, as another program beside a test would: arguments
// the program folder (without its closing separator), the database name, how many records,
// a tag and, optionally, the bytes of a picture each record also holds (support/writer_records.h
// says what turn i stores). A picture goes in writes of a hundredth of it, as the program's
// progress bar makes them. Exit code 0 when every record was stored.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "support/writer_records.h"

int main(int argc, char** argv) {
  using namespace zentora;
  if (argc != 5 && argc != 6) return 2;
  // Each store waits for the other writer's; a long wait, never a busy failure in a test.
  const Database db{platform::Utf8ToUtf16(argv[1]) + platform::PathSeparator(), platform::Utf8ToUtf16(argv[2]),
                    20000};
  const int count = std::atoi(argv[3]);
  const std::size_t picture_bytes = argc == 6 ? static_cast<std::size_t>(std::atol(argv[5])) : 0;
  RecordProgress how;
  if (picture_bytes > 0) how.most_per_write = std::max<std::size_t>(picture_bytes / 100, 1);
  for (int i = 1; i <= count; ++i) {
    if (!AppendRecord(db, testing::WriterRecord(argv[4], i, picture_bytes), how).ok()) return 1;
  }
  return 0;
}
