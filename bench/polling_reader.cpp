// A reader polling a database in a loop, as a program reading it over and over does: each
// call opens the data file exclusively for its own length, and the next follows at once.
// Arguments: the host folder (without its closing separator), the database, the seconds to
// run. Prints the calls made and how many of them found the file held past their wait.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"

int main(int argc, char** argv) {
  using namespace zentora;
  if (argc != 4) return 2;
  const std::u16string host = platform::Utf8ToUtf16(argv[1]) + platform::PathSeparator();
  const std::u16string name = platform::Utf8ToUtf16(argv[2]);
  const std::uint64_t until = platform::MonotonicMs() + 1000ull * static_cast<unsigned>(std::atoi(argv[3]));
  const Database db{host, name, kBusyWaitMs};
  unsigned long long calls = 0, held = 0;
  while (platform::MonotonicMs() < until) {
    // The count as GetRegi gives it, then the newest value through the one-value search, a
    // pass over the whole file in one hold.
    const IoResult<std::int64_t> last = TryLastRecordNumber(db);
    std::u16string text;
    const IoResult<bool> found = FindValueText(db, ValueQuery{PadFieldName(u"Nombre"), last.value}, text);
    held += (last.status == IoStatus::Busy) + (found.status == IoStatus::Busy);
    calls += 2;
  }
  std::printf("reader: %llu calls (%.0f per second), %llu found the file held past the wait\n", calls,
              static_cast<double>(calls) / std::atoi(argv[3]), held);
  return 0;
}
