// Where a database lives: a folder named after it in the program folder, holding
// name.z04 (the structure) and name.zbd (the data).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zentora {

struct Database {
  std::u16string program_folder;  // ends with the platform's separator
  std::u16string name;
  // How long a file held open by another program is waited for before an operation fails.
  unsigned busy_wait_ms = 2000;
};

std::u16string DatabaseFolder(const Database& db);
std::u16string StructureFilePath(const Database& db);
std::u16string DataFilePath(const Database& db);

// True when a file or folder of that name exists.
bool PathExists(const std::u16string& path);

// A name the database dialogs accept: usable as a folder and file stem on every platform
// we ship on (Windows rules, the stricter ones), so a database made on one opens on the other.
bool IsValidDatabaseName(std::u16string_view name);

}  // namespace zentora
