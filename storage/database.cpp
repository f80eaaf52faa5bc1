#include "storage/database.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/system.h"

namespace zentora {

std::u16string DatabaseFolder(const Database& db) {
  return db.program_folder + db.name + platform::PathSeparator();
}

std::u16string StructureFilePath(const Database& db) { return DatabaseFolder(db) + db.name + u".z04"; }

std::u16string DataFilePath(const Database& db) { return DatabaseFolder(db) + db.name + u".zbd"; }

bool PathExists(const std::u16string& path) { return platform::PathExists(path); }

bool FolderHasEntry(const std::u16string& folder, const std::u16string& name) {
  const std::vector<std::u16string> entries = platform::ListFolder(folder);
  const std::size_t count = std::min(entries.size(), kListingLimit);
  for (std::size_t i = 0; i < count; ++i) {
    if (entries[i] == name) return true;
  }
  return false;
}

namespace {

bool IsDeviceName(std::u16string_view name) {
  // Windows reserves these names with any extension: "nul.txt" is the null device too.
  const std::u16string_view stem = name.substr(0, name.find(u'.'));
  std::u16string upper(stem);
  for (char16_t& c : upper)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  static constexpr std::array<std::u16string_view, 4> kPlain = {u"CON", u"PRN", u"AUX", u"NUL"};
  for (std::u16string_view device : kPlain)
    if (upper == device) return true;
  return upper.size() == 4 && (upper.starts_with(u"COM") || upper.starts_with(u"LPT")) && upper[3] >= u'1' &&
         upper[3] <= u'9';
}

}  // namespace

bool IsValidDatabaseName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) return false;
  }
  if (name.back() == u'.' || name.back() == u' ') return false;
  return !IsDeviceName(name);
}

bool DatabaseNameFits(const std::u16string& program_folder, const std::u16string& name) {
  const Database db{program_folder, name};
  // Both files' names are as long: the structure file's answers for the data file's.
  return platform::FileNameFits(program_folder, name) &&
         platform::FileNameFits(DatabaseFolder(db), name + u".z04");
}

}  // namespace zentora
