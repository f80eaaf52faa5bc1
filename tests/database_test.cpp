#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system.h"
#include "storage/database.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteAll;

TEST(DatabasePaths, FolderAndBothFilesAreNamedAfterTheDatabase) {
  const char16_t sep = platform::PathSeparator();
  const std::u16string root = std::u16string(u"base") + sep;
  const Database db{root, u"Clientes"};
  EXPECT_EQ(DatabaseFolder(db), root + u"Clientes" + sep);
  EXPECT_EQ(StructureFilePath(db), root + u"Clientes" + sep + u"Clientes.z04");
  EXPECT_EQ(DataFilePath(db), root + u"Clientes" + sep + u"Clientes.zbd");
}

TEST(DatabaseName, AcceptsOrdinaryNames) {
  for (const char16_t* name : {u"Clientes", u"Año 2026", u"a.b", u"x", u"Películas_ñ", u"COM0", u"LPT10",
                               u"CONSOLE", u"😀"})
    EXPECT_TRUE(IsValidDatabaseName(name)) << std::string(name, name + 1);
}

TEST(DatabaseName, RefusesNamesThatCannotBeAFolderEverywhere) {
  const std::u16string refused[] = {u"",      u".",     u"..",      u"a/b",    u"a\\b",   u"c:",
                                    u"a<b",   u"a>b",   u"a\"b",    u"a|b",    u"a?b",    u"a*b",
                                    u"tab\t", u"end.",  u"end ",    u"CON",    u"con",    u"Nul.txt",
                                    u"PRN",   u"aux",   u"COM1",    u"lpt9",   u"COM9.db", std::u16string(1, u'\0')};
  for (const std::u16string& name : refused) EXPECT_FALSE(IsValidDatabaseName(name)) << name.size();
}

TEST(FolderHasEntryTest, ExactCaseSensitiveNamesOfFilesAndFolders) {
  TempFolder folder;
  WriteAll(folder.fs() / "notes.txt", "x");
  fs::create_directory(folder.fs() / "Shop");
  EXPECT_TRUE(FolderHasEntry(folder.path(), u"notes.txt"));
  EXPECT_TRUE(FolderHasEntry(folder.path(), u"Shop"));
  EXPECT_FALSE(FolderHasEntry(folder.path(), u"shop"));
  EXPECT_FALSE(FolderHasEntry(folder.path(), u"Sho"));
  EXPECT_FALSE(FolderHasEntry(folder.path(), u"."));
  EXPECT_FALSE(FolderHasEntry(folder.path() + u"missing" + platform::PathSeparator(), u"notes.txt"));
}

}  // namespace
}  // namespace zentora
