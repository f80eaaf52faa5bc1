#include "attachments/cache_folder.h"

#include <algorithm>
#include <cstddef>

#include "platform/system.h"
#include "storage/database.h"

namespace zentora {
namespace {

constexpr char16_t kCacheFolderName[] = u"velmora cache";

}  // namespace

std::u16string CacheFolderFor(const std::vector<std::u16string>& fixed_drives, const std::u16string& user_cache) {
  const char16_t separator = platform::PathSeparator();
  std::u16string base = fixed_drives.empty() ? user_cache : fixed_drives.front();
  if (!base.empty() && base.back() != separator) base += separator;
  return base + kCacheFolderName + separator;
}

std::u16string PrepareCacheFolder() {
  const std::vector<std::u16string> fixed_drives = platform::FixedDrives();
  const std::u16string user_cache = fixed_drives.empty() ? platform::UserCacheFolder() : u"";
  const std::u16string folder = CacheFolderFor(fixed_drives, user_cache);
  const std::u16string parent = fixed_drives.empty() ? user_cache : fixed_drives.front();
  if (!FolderHasEntry(parent, kCacheFolderName)) {
    // A fresh account may have no cache folder of its own yet.
    if (!parent.empty() && !platform::PathExists(parent)) platform::CreateFolder(parent);
    platform::CreateFolder(folder);
  }
  return folder;
}

void ClearCacheFolder(const std::u16string& folder) {
  if (folder.empty()) return;  // never the current folder by accident
  const std::vector<std::u16string> entries = platform::ListFolder(folder);
  const std::size_t count = std::min(entries.size(), kListingLimit);
  for (std::size_t i = 0; i < count; ++i) {
    const std::u16string path = folder + entries[i];
    // Folders stay; clearing their attributes as a file's would also lock them on POSIX.
    if (platform::IsFolder(path)) continue;
    platform::DeleteFileForced(path);  // a file the desktop still holds stays; Exit goes on
  }
}

}  // namespace zentora
