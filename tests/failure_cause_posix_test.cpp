// The system's error numbers in the causes a user can act on, and a full disk (a file past the
// size it may grow to) said as one.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using platform::FailureCause;

TEST(FailureCause, EachErrorNumberHasItsCause) {
  const struct {
    int error;
    FailureCause cause;
  } cases[] = {
      {0, FailureCause::None},         {ENOENT, FailureCause::NotFound},     {ENOTDIR, FailureCause::NotFound},
      {EACCES, FailureCause::Denied},  {EPERM, FailureCause::Denied},        {EROFS, FailureCause::Denied},
      {ENOSPC, FailureCause::NoSpace}, {EDQUOT, FailureCause::NoSpace},      {EFBIG, FailureCause::NoSpace},
      {ENAMETOOLONG, FailureCause::NameTooLong},                             {EWOULDBLOCK, FailureCause::Held},
      {EISDIR, FailureCause::NotRegularFile},                                {EIO, FailureCause::Other},
      {EMFILE, FailureCause::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(platform::CauseOfSystemError(c.error), c.cause);
  }
}

TEST(FailureCause, ARecordPastTheSizeAFileMayGrowToIsNoSpaceAndNamesTheDataFile) {
  testing::TempFolder root;
  const Database db{root.path(), u"Base"};
  ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db)));
  const FieldDefinition memo{0, PadFieldName(u"Notas"), 5, 30000, 0};
  ASSERT_EQ(AppendFieldDefinition(db, memo), IoStatus::Ok);
  const int code = testing::WithFileSizeLimit(100 * kDataUnitBytes, [&] {
    const IoStatus status = AppendRecord(db, {RecordValue{memo, std::u16string(500, u'm'), {}}}).status;
    if (status != IoStatus::Failed) return 1;
    if (status.cause() != FailureCause::NoSpace || status.code() != EFBIG) return 2;
    return status.path() == DataFilePath(db) ? 0 : 4;
  });
  EXPECT_EQ(code, 0) << "1: not a failure, 2: another cause, 4: another file";
  EXPECT_EQ(std::filesystem::file_size(std::filesystem::path(DataFilePath(db))), 0u) << "the record is taken back";
}

}  // namespace
}  // namespace zentora
