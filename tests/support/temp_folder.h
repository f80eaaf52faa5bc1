// A fresh folder per test, removed afterwards; paths end with the platform separator so
// they can stand as a program folder.
#pragma once
#include <filesystem>
#include <string>

namespace zentora::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending with the separator.
  const std::u16string& path() const { return path_; }
  std::filesystem::path fs() const { return root_; }

 private:
  std::filesystem::path root_;
  std::u16string path_;
};

// Where the platform has no drive letters the attachment cache lives under $XDG_CACHE_HOME:
// points it at `folder`/xdg, so that no test touches the user's own.
void UseCacheHomeIn(const TempFolder& folder);

// Whole-file helpers for checking bytes on disk.
std::string ReadAll(const std::filesystem::path& file);
void WriteAll(const std::filesystem::path& file, const std::string& bytes);

}  // namespace zentora::testing
