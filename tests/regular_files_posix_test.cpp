// A pipe, a device or a folder where the structure or the data file should be is refused at
// once, never opened as a file: a pipe without a writer would hold every reader forever.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "storage/data_file.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

struct InPlace {
  const char* what;
  std::function<void(const std::filesystem::path&)> make;
};

const InPlace kInPlace[] = {
    {"a pipe", [](const std::filesystem::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0666), 0); }},
    {"a device", [](const std::filesystem::path& at) { std::filesystem::create_symlink("/dev/null", at); }},
    {"a folder", [](const std::filesystem::path& at) { std::filesystem::create_directory(at); }},
};

const FieldDefinition kNombre{0, PadFieldName(u"Nombre"), 3, 20, 0};

// The database "Base" in `root`, with `thing` made in place of its file `file`.
Database BaseWith(const testing::TempFolder& root, const InPlace& thing, const char* file) {
  std::filesystem::create_directory(root.fs() / "Base");
  thing.make(root.fs() / "Base" / file);
  return Database{root.path(), u"Base", 100};
}

TEST(RegularFilesOnly, WhatIsNotAFileInPlaceOfTheDataFileIsRefused) {
  const FieldDefinition& nombre = kNombre;
  for (const InPlace& thing : kInPlace) {
    SCOPED_TRACE(thing.what);
    testing::TempFolder root;
    const Database db = BaseWith(root, thing, "Base.zbd");
    EXPECT_EQ(TryLastRecordNumber(db).status, IoStatus::NotRegularFile);
    std::u16string text;
    EXPECT_EQ(FindValueText(db, ValueQuery{nombre.name, 1}, text).status, IoStatus::NotRegularFile);
    EXPECT_EQ(AppendRecord(db, {{nombre, u"Ana", {}}}).status, IoStatus::NotRegularFile);
    EXPECT_EQ(AppendTextUnits(db, nombre, 1, u"Ana", true), IoStatus::NotRegularFile);
    EXPECT_EQ(ReadFieldText(db, nombre.name, 1, u"-"), u"-");
  }
}

TEST(RegularFilesOnly, WhatIsNotAFileInPlaceOfTheStructureFileIsRefused) {
  for (const InPlace& thing : kInPlace) {
    SCOPED_TRACE(thing.what);
    testing::TempFolder root;
    const Database db = BaseWith(root, thing, "Base.z04");
    EXPECT_EQ(ReadStructure(db).status, IoStatus::NotRegularFile);
    EXPECT_EQ(AppendFieldDefinition(db, kNombre), IoStatus::NotRegularFile);
    EXPECT_EQ(FieldTypeAt(db, 1), 0);
  }
}

TEST(RegularFilesOnly, ALinkToARegularFileIsStillOpened) {
  testing::TempFolder root;
  std::filesystem::create_directory(root.fs() / "Base");
  const Database db{root.path(), u"Base", 100};
  ASSERT_EQ(AppendTextUnits(db, kNombre, 4, u"Ana", true), IoStatus::Ok);
  std::filesystem::rename(root.fs() / "Base" / "Base.zbd", root.fs() / "datos");
  std::filesystem::create_symlink(root.fs() / "datos", root.fs() / "Base" / "Base.zbd");
  EXPECT_EQ(LastRecordNumber(db), 4);
}

}  // namespace
}  // namespace zentora
