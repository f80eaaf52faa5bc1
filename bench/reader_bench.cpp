// Lirvak's text read on a 100 MiB data file, against reading the same file from start to
// end with plain reads. A value in the last record makes the read scan the whole file,
// which is what every read of the library costs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/best_of.h"
#include "reader/reader_core.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"

using namespace zentora;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint64_t kFileBytes = 100ull << 20;
constexpr std::size_t kMemoUnits = 1000;  // one memo per record


}  // namespace

int main() {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "zentora-reader-bench";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "Bench");
  const std::u16string host = root.u16string() + u"/";
  const Database db{host, u"Bench"};

  const FieldDefinition name{0, PadFieldName(u"Nombre"), 3, 40, 0};
  const FieldDefinition memo{0, PadFieldName(u"Notas"), 5, 2000, 0};
  const std::u16string text(kMemoUnits, u'x');
  std::int64_t record = 0;
  std::uint64_t bytes = 0;
  while (bytes < kFileBytes) {
    ++record;
    std::u16string label = u"Registro ";
    label += static_cast<char16_t>(u'0' + record % 10);
    AppendTextUnits(db, name, record, label, true);
    AppendTextUnits(db, memo, record, text, true);
    bytes += (label.size() + text.size()) * kDataUnitBytes;
  }
  const std::filesystem::path data = root / "Bench" / "Bench.zbd";
  std::printf("data file: %.1f MiB, %lld records\n", std::filesystem::file_size(data) / 1048576.0,
              static_cast<long long>(record));

  const double sequential = bench::SequentialReadSeconds(data, 5);
  std::u16string value;
  const double lirvak = bench::BestOf(5, [&] {
    value = reader::ReadValueText(host, u"Bench", PadFieldName(u"Nombre"), record);
  });
  std::printf("sequential read:             %.3f s (%.0f MiB/s)\n", sequential, kFileBytes / 1048576.0 / sequential);
  std::printf("Get_datos_str, last record:  %.3f s (%.0f MiB/s)\n", lirvak, kFileBytes / 1048576.0 / lirvak);
  const bool found = value.starts_with(u"Registro");
  std::printf("ratio: %.2f (%s)\n", lirvak / sequential, found ? "value found" : "VALUE MISSING");
  std::filesystem::remove_all(root);
  return 0;
}
