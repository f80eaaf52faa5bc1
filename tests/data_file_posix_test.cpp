// Faults only a POSIX test can make cheaply: a full disk through the file-size limit.
#include <gtest/gtest.h>

#include <filesystem>

#include "storage/data_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

TEST(DataFileFullDisk, AWriteThatDoesNotFitIsReportedAndTheRecordStaysUnfinished) {
  testing::TempFolder root;
  std::filesystem::create_directory(root.fs() / "Base");
  const Database db{root.path(), u"Base", 100};
  const FieldDefinition memo{0, PadFieldName(u"Memo"), 5, 1000, 0};
  const int code = testing::WithFileSizeLimit(10 * kDataUnitBytes, [&] {
    if (AppendTextUnits(db, memo, 1, u"corto", true) != IoStatus::Ok) return 1;
    return AppendTextUnits(db, memo, 2, u"demasiado largo", true) == IoStatus::Failed ? 0 : 2;
  });
  EXPECT_EQ(code, 0);
  // What did fit of the second value has no end flag: it reads as no data, never as a value.
  EXPECT_EQ(ReadFieldText(db, memo.name, 1, u"-"), u"corto");
  EXPECT_EQ(ReadFieldText(db, memo.name, 2, u"-"), u"-");
}

TEST(DataFileFullDisk, ARecordThatDoesNotFitIsTakenBackWhole) {
  testing::TempFolder root;
  std::filesystem::create_directory(root.fs() / "Base");
  const Database db{root.path(), u"Base", 100};
  const FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
  const FieldDefinition memo{0, PadFieldName(u"Memo"), 5, 1000, 0};
  const int code = testing::WithFileSizeLimit(10 * kDataUnitBytes, [&] {
    if (AppendRecord(db, {{nombre, u"Ana", {}}}).status != IoStatus::Ok) return 1;
    // The name fits, the memo does not: none of the record stays.
    return AppendRecord(db, {{nombre, u"Eva", {}}, {memo, u"demasiado largo", {}}}).status == IoStatus::Failed ? 0
                                                                                                              : 2;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(std::filesystem::file_size(root.fs() / "Base" / "Base.zbd"), 3 * kDataUnitBytes);
  EXPECT_EQ(ReadFieldText(db, nombre.name, 2, u"-"), u"-");
  EXPECT_EQ(AppendRecord(db, {{nombre, u"Eva", {}}}).value, 2);
}

}  // namespace
}  // namespace zentora
