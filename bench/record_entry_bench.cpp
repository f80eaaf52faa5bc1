// Entering one record whose only field is a 5 MiB sound, headless: the wall time of the whole
// entry (chooser, read, chunked appends under the progress bar, flush) and how often the bar
// moved. Each run starts from an empty data file; the best of three is reported.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/best_of.h"
#include "platform/headless/script.h"
#include "storage/data_file.h"
#include "dialogs/progress_dialog.h"
#include "dialogs/record_entry.h"
#include "storage/structure_file.h"

using namespace zentora;
namespace headless = platform::headless;

namespace {

constexpr std::size_t kSoundBytes = 5u << 20;

// A WAV header over a plain tone-like pattern: the bytes only have to come back unchanged.
std::string Sound() {
  std::string bytes(kSoundBytes, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 37) ^ (i >> 9));
  bytes.replace(0, 12, std::string("RIFF\0\0\0\0WAVE", 12));
  return bytes;
}

}  // namespace

int main() {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "zentora-record-entry-bench";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "Bench");
  const std::filesystem::path wav = root / "voz.wav";
  const std::string sound = Sound();
  std::ofstream(wav, std::ios::binary).write(sound.data(), static_cast<std::streamsize>(sound.size()));

  const Texts texts{1};
  AttachmentsState attachments;
  const Database db{root.u16string() + u"/", u"Bench"};
  AppendFieldDefinition(db, FieldDefinition{0, PadFieldName(u"Voz"), 7, 0, 0});

  std::size_t updates = 0;
  int pumps = 0;
  bool intact = true;
  const double seconds = bench::BestOf(3, [&] {
    std::filesystem::remove(root / "Bench" / "Bench.zbd");
    headless::Script script;
    script.ChooseFile(u"Navegador de ficheros para sonido", wav.u16string())
        .ExpectDialog(u"Dialog1")
        .ExpectMessage(u"Procesado ...");
    EnterRecord(texts, db, attachments);
    const headless::DialogState* progress = headless::FindDialog(u"Dialog1");
    updates = progress ? progress->Control(kProgressBarId).positions_shown.size() : 0;
    pumps = headless::PumpCount();
    intact = intact && script.Leftover().empty();
  });
  intact = intact && ReadFieldBytes(db, PadFieldName(u"Voz"), 1) == sound;
  const auto data_bytes = std::filesystem::file_size(root / "Bench" / "Bench.zbd");

  std::printf("record entry, one %zu-byte WAV attachment (headless)\n", kSoundBytes);
  std::printf("  wall time, best of 3:   %.3f s (%.1f MB/s of attachment)\n", seconds,
              static_cast<double>(kSoundBytes) / 1e6 / seconds);
  std::printf("  data file:              %llu bytes\n", static_cast<unsigned long long>(data_bytes));
  std::printf("  progress bar updates:   %zu\n", updates);
  std::printf("  message pumps:          %d\n", pumps);
  std::printf("  stored bytes read back: %s\n", intact ? "identical" : "DIFFERENT");
  std::filesystem::remove_all(root);
  return intact ? 0 : 1;
}
