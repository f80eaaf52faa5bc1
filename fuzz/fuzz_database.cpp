#include "fuzz/fuzz_database.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/encoding.h"

namespace zentora::fuzz {

std::uint8_t InputReader::Byte() {
  if (size_ == 0) return 0;
  --size_;
  return *data_++;
}

std::uint16_t InputReader::Word() {
  const std::uint16_t low = Byte();
  return static_cast<std::uint16_t>(low | (Byte() << 8));
}

std::int64_t InputReader::Number() {
  std::uint64_t value = 0;
  for (int shift = 0; shift < 64; shift += 8) value |= static_cast<std::uint64_t>(Byte()) << shift;
  return static_cast<std::int64_t>(value);
}

std::string_view InputReader::Bytes(std::size_t count) {
  if (count > size_) count = size_;
  const std::string_view bytes(reinterpret_cast<const char*>(data_), count);
  data_ += count;
  size_ -= count;
  return bytes;
}

namespace {

std::string MakeHostFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/zentora-fuzz-XXXXXX";
  if (!::mkdtemp(pattern.data())) std::abort();
  const std::string folder = pattern + "/";
  if (::mkdir((folder + "F").c_str(), 0700) != 0) std::abort();
  return folder;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
}

}  // namespace

std::string HostFolderUtf8() {
  static const std::string folder = MakeHostFolder();
  return folder;
}

const Database& FuzzDatabase() {
  static const Database db{platform::Utf8ToUtf16(HostFolderUtf8()), u"F", 0};
  return db;
}

void WriteDatabase(std::string_view structure, std::string_view data) {
  WriteFile(HostFolderUtf8() + "F/F.z04", structure);
  WriteFile(HostFolderUtf8() + "F/F.zbd", data);
}

}  // namespace zentora::fuzz
