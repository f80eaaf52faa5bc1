// Storage speed and memory, measured against the plain file operations they stand on.
//   storage_bench            runs the append and read figures, each read in a child process
//   storage_bench read DIR   (internal) reads the attachment back and reports its peak memory
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "bench/best_of.h"
#include "storage/data_file.h"

using namespace zentora;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kAttachment = 1 << 20;  // 1 MiB: 1,048,576 entries, 96 MiB on disk
constexpr std::size_t kPerEntrySample = 1 << 15;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// High-water mark of this process's resident memory. Read from /proc because ru_maxrss
// survives execve and would report the parent's peak.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word)
    if (word == "VmHWM:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
  return -1;
}


Database At(const std::filesystem::path& root) {
  std::filesystem::create_directories(root / "Bench");
  std::u16string folder = root.u16string() + u"/";
  return Database{folder, u"Bench"};
}

std::vector<std::uint8_t> Attachment() {
  std::vector<std::uint8_t> bytes(kAttachment);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + 7);
  return bytes;
}

const FieldDefinition kFoto{0, PadFieldName(u"Foto"), 6, 0, 0};
const FieldDefinition kNota{0, PadFieldName(u"Nota"), 3, 200, 0};

void Drop(const Database& db) { std::filesystem::remove(platform::Utf16ToUtf8(DataFilePath(db))); }

int ReadBack(const std::filesystem::path& root) {
  const Database db = At(root);
  const long baseline = PeakKiB();
  std::string bytes;
  const double read_s = bench::BestOf(3, [&] { bytes = ReadFieldBytes(db, kFoto.name, 2); });
  const std::uint64_t size = std::filesystem::file_size(platform::Utf16ToUtf8(DataFilePath(db)));
  std::printf("ReadFieldBytes of the 1 MiB attachment from a %.1f MiB file (best of 3): %.3f s, value %zu bytes,"
              " peak memory %ld KiB (%ld KiB before the read)\n",
              size / 1048576.0, read_s, bytes.size(), PeakKiB(), baseline);
  return bytes.size() == kAttachment ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "read") return ReadBack(argv[2]);
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "zentora-bench";
  std::filesystem::remove_all(root);
  const Database db = At(root);
  const std::vector<std::uint8_t> bytes = Attachment();

  // One open, write and close per entry: timed on a sample, the rate scaled to 1 MiB.
  auto start = Clock::now();
  for (std::size_t i = 0; i < kPerEntrySample; ++i)
    AppendByteUnit(db, bytes[i], 0, kFoto.name, 6, 0, 0, 1, i + 1 == kPerEntrySample);
  const double per_entry_s = Seconds(start) * (double(kAttachment) / kPerEntrySample);
  Drop(db);

  // Best of three each, every run into a fresh file, the two kinds taking turns.
  const std::string path = platform::Utf16ToUtf8(DataFilePath(db));
  AppendByteUnits(db, kFoto, 1, bytes.data(), bytes.size(), true);
  std::string image;
  {
    std::ifstream in(path, std::ios::binary);
    image.assign(std::istreambuf_iterator<char>(in), {});
  }
  double batched_s = 1e9, plain_s = 1e9;
  for (int run = 0; run < 3; ++run) {
    Drop(db);
    batched_s = std::min(batched_s, bench::BestOf(1, [&] { AppendByteUnits(db, kFoto, 1, bytes.data(), bytes.size(), true); }));
    Drop(db);
    plain_s = std::min(plain_s, bench::BestOf(1, [&] {
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      if (::write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) std::abort();
      ::close(fd);
    }));
  }
  Drop(db);
  const std::size_t image_size = image.size();
  image = std::string();  // the read-back child must not start with this in its parent's memory

  std::printf("Append 1 MiB attachment (%zu entries, %.0f MiB):\n", kAttachment, image_size / 1048576.0);
  std::printf("  one open/write/close per entry (scaled from %zu): %.2f s\n", kPerEntrySample, per_entry_s);
  std::printf("  batched append:                                  %.3f s  (%.0fx faster)\n", batched_s,
              per_entry_s / batched_s);
  std::printf("  one plain sequential write of the same bytes:    %.3f s  (batched/plain %.2f)\n", plain_s,
              batched_s / plain_s);

  // A 100 MiB data file: text values around the attachment, the attachment in the middle.
  std::u16string note(100, u'n');
  for (int r = 1; r <= 20; ++r) AppendTextUnits(db, kNota, 1, note, true);
  AppendByteUnits(db, kFoto, 2, bytes.data(), bytes.size(), true);
  for (int r = 1; r <= 330; ++r) AppendTextUnits(db, kNota, 3, note, true);

  const double read_s = bench::BestOf(3, [&] {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> block(1 << 20);
    while (::read(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
  });
  std::printf("Sequential read of the data file (1 MiB blocks, best of 3): %.3f s\n", read_s);
  std::fflush(stdout);

  const pid_t child = fork();
  if (child == 0) {
    execl("/proc/self/exe", argv[0], "read", root.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::filesystem::remove_all(root);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
