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

}  // namespace
}  // namespace zentora
