// Where a database lives: a folder named after it in the program folder, holding
// name.z04 (the structure) and name.zbd (the data).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentora {

// How long a database file that another program holds open is waited for before an
// operation gives up: long enough for the other side to finish one operation.
inline constexpr unsigned kBusyWaitMs = 2000;

struct Database {
  std::u16string program_folder;  // ends with the platform's separator
  std::u16string name;
  unsigned busy_wait_ms = kBusyWaitMs;
};

std::u16string DatabaseFolder(const Database& db);
std::u16string StructureFilePath(const Database& db);
std::u16string DataFilePath(const Database& db);

// True when a file or folder of that name exists.
bool PathExists(const std::u16string& path);
// Whether a listing of `folder` holds `name` exactly (case-sensitive; hidden entries not
// listed). A folder pass looks at a bounded number of entries, so a huge folder cannot stall.
bool FolderHasEntry(const std::u16string& folder, const std::u16string& name);
inline constexpr std::size_t kListingLimit = 1000;

// A name the database dialogs accept: usable as a folder and file stem on every platform
// we ship on (Windows rules, the stricter ones), so a database made on one opens on the other.
bool IsValidDatabaseName(std::u16string_view name);
// Whether the database's folder and files can be made in `program_folder` as far as names go:
// each name within the longest its file system takes, each path within the longest path.
bool DatabaseNameFits(const std::u16string& program_folder, const std::u16string& name);

}  // namespace zentora
