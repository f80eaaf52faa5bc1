// A multi-gigabyte data file: ten recordings of 5 MB (4.8 GB of entries). Nine of them are
// holes of a sparse file (zero entries, which a scan reads like any other entry), the tenth
// is written, followed by records of short text. Measures, through Lirvak's index and the
// browser's: the first read (the whole pass), a value read again, and the read after 1,000
// records are appended. Skipped with a message when the disk has no room.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench/best_of.h"
#include "reader/reader_core.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"
#include "storage/value_index.h"

using namespace zentora;

namespace {

constexpr std::uint64_t kRecordingBytes = 5'000'000;
constexpr int kRecordings = 10;
const FieldDefinition kNombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
const FieldDefinition kVoz{0, PadFieldName(u"Voz"), 7, 0, 0};

void AppendNames(const Database& db, std::int64_t first, std::int64_t count) {
  for (std::int64_t record = first; record < first + count; ++record)
    AppendTextUnits(db, kNombre, record, u"Nombre " + std::u16string(1, static_cast<char16_t>(u'a' + record % 26)), true);
}

}  // namespace

int main() {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "zentora-big-file-bench";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "Sonidos");
  const std::uint64_t hole = (kRecordings - 1) * kRecordingBytes * kDataUnitBytes;
  const std::uint64_t written = kRecordingBytes * kDataUnitBytes + (1 << 20);
  if (std::filesystem::space(root).available < written * 2) {
    std::printf("skipped: %.1f GB free, %.1f GB needed\n", std::filesystem::space(root).available / 1e9,
                written * 2 / 1e9);
    return 0;
  }
  const Database db{root.u16string() + u"/", u"Sonidos"};
  AppendFieldDefinition(db, kNombre);
  AppendFieldDefinition(db, kVoz);
  const std::filesystem::path data = root / "Sonidos" / "Sonidos.zbd";
  { std::ofstream(data, std::ios::binary).close(); }
  std::filesystem::resize_file(data, hole);
  const std::vector<std::uint8_t> sound(kRecordingBytes, 0x52);
  AppendByteUnits(db, kVoz, 1, sound.data(), sound.size(), true);
  AppendNames(db, 1, 1000);
  std::printf("data file: %.2f GB (%.2f GB of it holes)\n", std::filesystem::file_size(data) / 1e9, hole / 1e9);

  const std::u16string host = db.program_folder;
  std::u16string text;
  const double first = bench::BestOf(1, [&] { text = reader::ReadValueText(host, u"Sonidos", kNombre.name, 1000); });
  const double again = bench::BestOf(5, [&] { text = reader::ReadValueText(host, u"Sonidos", kNombre.name, 999); });
  std::printf("Lirvak, first read (one pass over the file): %8.3f s\n", first);
  std::printf("Lirvak, a text read again:                   %8.6f s (%s)\n", again,
              text == u"Nombre l" ? "right value" : "WRONG VALUE");

  // The browser's index, on the recording: against a plain read of just its entries.
  ValueIndex browser(db, {kAnyType});
  std::string bytes;
  const double browser_first = bench::BestOf(1, [&] { bytes = ReadFieldBytes(browser, kVoz.name, 1); });
  const double browser_again = bench::BestOf(3, [&] { bytes = ReadFieldBytes(browser, kVoz.name, 1); });
  std::vector<char> block(kRecordingBytes * kDataUnitBytes / 16);
  const double entries_only = bench::BestOf(3, [&] {
    std::ifstream in(data, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(hole));
    for (int i = 0; i < 16; ++i) in.read(block.data(), static_cast<std::streamsize>(block.size()));
  });
  // A short value in the same file: what is left over the reading of its entries is what
  // the checks cost, which does not grow with the file.
  std::string name_bytes;
  const double browser_name = bench::BestOf(5, [&] { name_bytes = ReadFieldBytes(browser, kNombre.name, 500); });
  std::printf("browser, recording opened first:             %8.3f s\n", browser_first);
  std::printf("browser, recording opened again:             %8.3f s (reading its 480 MB of entries alone: %.3f s,"
              " difference %.1f ms) %s\n",
              browser_again, entries_only, (browser_again - entries_only) * 1e3,
              bytes.size() == kRecordingBytes ? "" : "WRONG SIZE");

  std::printf("browser, a name opened again:                %8.6f s (%zu bytes)\n", browser_name, name_bytes.size());

  AppendNames(db, 1001, 1000);
  const double appended = bench::BestOf(1, [&] { text = reader::ReadValueText(host, u"Sonidos", kNombre.name, 2000); });
  const double browser_appended = bench::BestOf(1, [&] { bytes = ReadFieldBytes(browser, kNombre.name, 1500); });
  std::printf("after 1,000 records appended, Lirvak read:   %8.6f s (%s)\n", appended,
              text == u"Nombre y" ? "right value" : "WRONG VALUE");
  std::printf("after 1,000 records appended, browser read:  %8.6f s\n", browser_appended);
  std::filesystem::remove_all(root);
  return 0;
}
