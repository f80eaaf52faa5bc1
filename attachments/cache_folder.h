// The attachment cache folder: where stored pictures and sounds are written for the desktop
// to open. It is found and made when the main window starts and emptied on Exit.
#pragma once
#include <string>
#include <vector>

namespace zentora {

// The folder that holds attachment files: on the first fixed drive, else in the user's
// cache folder where the platform has no drive letters; ends with the separator.
std::u16string CacheFolderFor(const std::vector<std::u16string>& fixed_drives, const std::u16string& user_cache);

// Finds the cache folder of this machine and creates it (and a missing user cache folder)
// when absent; returns it.
std::u16string PrepareCacheFolder();

// Deletes every file directly inside `folder` (read-only ones too); folders stay.
void ClearCacheFolder(const std::u16string& folder);

}  // namespace zentora
