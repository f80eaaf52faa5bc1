// Fairness between a polling reader and the program: reader processes call the database in a
// loop (bench/polling_reader) while this process stores records the way record entry does,
// each with the usual 2 s wait for a held file: the last number is read, the record stored,
// the file flushed, three holds. Counted: the waits that ran out (each one a record the user
// would be told about), per minute, and the reader's calls per second, which the fairness
// must not cut much. The database starts with `records` records (20000: a 15 MB data file, a
// few milliseconds per pass), so that a reader holds the file far longer than it leaves it
// free. Arguments, optional: seconds (20), reader processes (1), records (20000).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"
#include "support/process.h"

using namespace zentora;

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  const int readers = argc > 2 ? std::atoi(argv[2]) : 1;
  const int records = argc > 3 ? std::atoi(argv[3]) : 20000;
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "zentora-fairness-bench";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "Bench");
  const Database db{platform::Utf8ToUtf16(root.string()) + platform::PathSeparator(), u"Bench", kBusyWaitMs};
  const FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
  for (int record = 1; record <= records; ++record)
    if (AppendTextUnits(db, nombre, record, u"Registro", true) != IoStatus::Ok) return 1;

  const std::string program = platform::Utf16ToUtf8(platform::ProgramFolder()) + "polling_reader";
  std::vector<testing::ChildProcess> children;
  for (int i = 0; i < readers; ++i)
    children.push_back(testing::StartProcess(program, {root.string(), "Bench", std::to_string(seconds + 1)}));
  platform::SleepMs(300);  // the readers are polling before the first store

  unsigned long long stored = 0, ran_out = 0, ran_out_at[3] = {};
  std::uint64_t longest = 0;
  const std::uint64_t start = platform::MonotonicMs();
  while (platform::MonotonicMs() - start < 1000ull * static_cast<unsigned>(seconds)) {
    const std::uint64_t before = platform::MonotonicMs();
    int failed = -1;  // the hold that ran out
    if (!TryLastRecordNumber(db).ok()) {
      failed = 0;
    } else if (!AppendRecord(db, {{nombre, u"Registro", {}}}).ok()) {
      failed = 1;
    } else if (FlushDataFile(db) != IoStatus::Ok) {
      failed = 2;
    }
    longest = std::max(longest, platform::MonotonicMs() - before);
    (failed < 0 ? stored : ran_out)++;
    if (failed >= 0) ++ran_out_at[failed];
    platform::SleepMs(20);  // a user quick at the keyboard, and room for the readers
  }
  const double minutes = static_cast<double>(platform::MonotonicMs() - start) / 60000.0;
  for (const testing::ChildProcess& child : children) testing::WaitProcess(child);
  std::printf("fairness: %d reader(s), %d s: %llu records stored, %llu waits ran out (%.1f per minute), "
              "longest store %llu ms; ran out reading the last number %llu, storing %llu, flushing %llu\n",
              readers, seconds, stored, ran_out, static_cast<double>(ran_out) / minutes,
              static_cast<unsigned long long>(longest), ran_out_at[0], ran_out_at[1], ran_out_at[2]);
  std::filesystem::remove_all(root);
  return 0;
}
