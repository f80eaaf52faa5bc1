#include "support/temp_folder.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>

#include "platform/system.h"

namespace zentora::testing {

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device seed;
  const auto name = "zentora-test-" + std::to_string(seed()) + "-" + std::to_string(counter++);
  root_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(root_);
  path_ = root_.u16string();
  if (path_.back() != platform::PathSeparator()) path_ += platform::PathSeparator();
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(root_, ignored);
}

std::string ReadAll(const std::filesystem::path& file) {
  // In one read: a character at a time takes seconds for megabytes in the unoptimised build.
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void WriteAll(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void UseCacheHomeIn(const TempFolder& folder) {
  static std::string setting;
  setting = "XDG_CACHE_HOME=" + (folder.fs() / "xdg").string();
  putenv(setting.data());
}

}  // namespace zentora::testing
