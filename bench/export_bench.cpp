// Reading a whole database: 10,000 records of 10 short text fields and a few pictures (about
// 100 MB of data file), exported with zentora-read csv and read value by value through Lirvak,
// against one sequential read of the data file. Then the same for 50, 100 and 200 records,
// each also with the one-value search per value, as every read was done before the index.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/best_of.h"
#include "reader/lirvak.h"
#include "reader/cli/read_command.h"
#include "reader/reader_core.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "storage/structure_file.h"
#include "storage/value_index.h"

using namespace zentora;

namespace {

constexpr int kTextFields = 10;
constexpr std::size_t kPictureBytes = 50000;

FieldDefinition TextField(int i) {
  return FieldDefinition{0, PadFieldName(u"Campo" + std::u16string(1, static_cast<char16_t>(u'0' + i))), 3, 9, 0};
}
const FieldDefinition kFoto{0, PadFieldName(u"Foto"), 6, 0, 0};

Database Make(const std::filesystem::path& root, const std::u16string& name, std::int64_t records) {
  const Database db{root.u16string() + u"/", name};
  std::filesystem::create_directories(root / std::filesystem::path(name));
  for (int i = 0; i < kTextFields; ++i) AppendFieldDefinition(db, TextField(i));
  AppendFieldDefinition(db, kFoto);
  const std::vector<std::uint8_t> picture(kPictureBytes, 0xD8);
  for (std::int64_t record = 1; record <= records; ++record) {
    for (int i = 0; i < kTextFields; ++i) {
      std::u16string text = u"v" + std::u16string(8, u'0');
      const std::string digits = std::to_string(record * 10 + i);
      for (std::size_t d = 0; d < digits.size() && d < 8; ++d) text[8 - d] = static_cast<char16_t>(digits[digits.size() - 1 - d]);
      AppendTextUnits(db, TextField(i), record, text, true);
    }
    if (records >= 1000 && (record == 1 || record == records / 2 || record == records))
      AppendByteUnits(db, kFoto, record, picture.data(), picture.size(), true);
  }
  return db;
}

double SequentialRead(const std::filesystem::path& file) { return bench::SequentialReadSeconds(file, 3); }

double CsvExport(const std::filesystem::path& root, const std::u16string& name, std::size_t& bytes) {
  std::string out;
  const double seconds = bench::BestOf(3, [&] {
    std::ostringstream csv, err;
    cli::RunReadCommand({"--folder", root.string(), "csv", std::string(name.begin(), name.end())}, csv, err);
    out = csv.str();
  });
  bytes = out.size();
  return seconds;
}

// What the export did before: one search of the whole file per value.
double SearchEveryValue(const Database& db, std::int64_t first, std::int64_t last) {
  return bench::BestOf(1, [&] {
    for (std::int64_t record = first; record <= last; ++record) {
      std::u16string text;
      std::string bytes;
      for (int i = 0; i < kTextFields; ++i) FindValueText(db, ValueQuery{TextField(i).name, record, 1, 5}, text);
      FindValueBytes(db, ValueQuery{kFoto.name, record, 6, 7}, bytes);
    }
  });
}

}  // namespace

int main() {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "zentora-export-bench";
  std::filesystem::remove_all(root);

  std::printf("records  data file   sequential read  csv before (search per value)  csv now   ratio to read\n");
  for (const std::int64_t records : {50, 100, 200}) {
    const std::u16string name = u"Base" + std::u16string(1, static_cast<char16_t>(u'0' + records / 50));
    const Database db = Make(root, name, records);
    const std::filesystem::path data = root / std::filesystem::path(name) / std::filesystem::path(name + u".zbd");
    std::size_t bytes = 0;
    const double read = SequentialRead(data), now = CsvExport(root, name, bytes);
    std::printf("%7lld  %6.2f MB   %10.4f s     %10.3f s                   %8.4f s  %5.2f\n",
                static_cast<long long>(records), std::filesystem::file_size(data) / 1e6, read,
                SearchEveryValue(db, 1, records), now, now / read);
  }

  const Database db = Make(root, u"Grande", 10000);
  const std::filesystem::path data = root / "Grande" / "Grande.zbd";
  const double size_mb = std::filesystem::file_size(data) / 1e6;
  const double read = SequentialRead(data);
  std::size_t csv_bytes = 0;
  const double csv = CsvExport(root, u"Grande", csv_bytes);
  const double one_record = SearchEveryValue(db, 5000, 5000);
  std::printf("\n10,000 records x 10 text fields + 3 pictures of 50 kB: data file %.1f MB\n", size_mb);
  std::printf("sequential read:                       %8.3f s\n", read);
  std::printf("csv export (%zu bytes of csv):        %8.3f s   ratio %.2f (target <= 2)\n", csv_bytes, csv, csv / read);
  std::printf("csv before, estimated:                 %8.0f s   (one record's 11 searches: %.3f s, x 10,000)\n",
              one_record * 10000, one_record);

  // A caller's loop over every value, the first call building the process's index; then the
  // same loop again on the index built, and what a call's exclusive open and close cost alone.
  std::vector<std::u16string> names;
  for (int i = 0; i < kTextFields; ++i) names.push_back(TextField(i).name);
  std::size_t shown = 0;
  const auto every_value = [&] {
    for (std::int64_t record = 1; record <= 10000; ++record)
      for (int i = 0; i < kTextFields; ++i)
        shown += reader::ReadValueText(db.program_folder, u"Grande", names[i], record).size();
  };
  const double lirvak = bench::BestOf(1, every_value);
  const double lirvak_again = bench::BestOf(3, every_value);
  // The loop as another program makes it, through the library's exported functions (whose
  // index is its own: the first call builds it again).
  std::vector<std::vector<unsigned char>> name_buffers;
  for (const std::u16string& name : names) {
    std::vector<unsigned char> buffer;
    for (const char16_t unit : name) {
      buffer.push_back(static_cast<unsigned char>(unit & 0xFF));
      buffer.push_back(static_cast<unsigned char>(unit >> 8));
    }
    name_buffers.push_back(buffer);
  }
  Lirvak_set_folder(root.string().c_str());
  std::size_t exported_bytes = 0;
  const double exported = bench::BestOf(1, [&] {
    for (std::int64_t record = 1; record <= 10000; ++record)
      for (int i = 0; i < kTextFields; ++i) {
        char* text = Get_datos_str("Grande", name_buffers[static_cast<std::size_t>(i)].data(), record);
        exported_bytes += std::char_traits<char>::length(text);
        Lirvak_free_str(text);
      }
  });
  const double opens = bench::BestOf(3, [&] {
    for (int call = 0; call < 100000; ++call) {
      LockedFile file;
      file.Open(DataFilePath(db), platform::Access::Read, 0);
    }
  });
  std::printf("Lirvak text of every value (100,000):  %8.3f s   ratio %.2f (target <= 3), %zu units\n", lirvak,
              lirvak / read, shown / 4);
  std::printf("  through the exported Get_datos_str:  %8.3f s   ratio %.2f, %zu bytes of UTF-8\n", exported,
              exported / read, exported_bytes);
  std::printf("  the same loop on the index built:    %8.3f s   (%.2f us a call)\n", lirvak_again,
              lirvak_again * 10);
  std::printf("  100,000 exclusive opens and closes:  %8.3f s   (%.2f us each, %.2f x the read)\n", opens,
              opens * 10, opens / read);

  ValueIndex index(db, {kTextTypes, kAttachmentTypes});
  index.Update();
  std::printf("index memory: %zu bytes for %llu values (%.1f bytes per value, two type ranges per field)\n",
              index.MemoryBytes(), static_cast<unsigned long long>(index.IndexedValues()),
              static_cast<double>(index.MemoryBytes()) / static_cast<double>(index.IndexedValues()));
  std::filesystem::remove_all(root);
  return 0;
}
