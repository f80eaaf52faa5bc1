// A failed storage operation carries why, as the system said it, and the file it concerns.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/locked_file.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using platform::FailureCause;

struct ReasonCase {
  const char* what;
  // Prepares the database and gives the operation's status.
  std::function<IoStatus(const Database&)> run;
  IoStatus::Kind kind;
  FailureCause cause;
  std::u16string (*file)(const Database&);  // the file the status names
};

const FieldDefinition kName{0, PadFieldName(u"Nombre"), 3, 5, 0};

TEST(FailureReasons, AStatusCarriesTheCauseAndTheFile) {
  const ReasonCase cases[] = {
      {"a data file held by another program",
       [](const Database& db) {
         platform::FileHandle held;
         EXPECT_EQ(platform::OpenExclusive(DataFilePath(db), platform::Access::Write, held), platform::OpenStatus::Ok);
         const IoStatus status = TryLastRecordNumber(db).status;
         platform::CloseFile(held);
         return status;
       },
       IoStatus::Busy, FailureCause::Held, DataFilePath},
      {"a database folder that is not there",
       [](const Database& db) {
         fs::remove_all(fs::path(DatabaseFolder(db)));
         return TryLastRecordNumber(db).status;
       },
       IoStatus::Failed, FailureCause::NotFound, DataFilePath},
      {"a folder in place of the structure file",
       [](const Database& db) {
         fs::remove(fs::path(StructureFilePath(db)));
         fs::create_directory(fs::path(StructureFilePath(db)));
         return AppendFieldDefinition(db, kName);
       },
       IoStatus::NotRegularFile, FailureCause::NotRegularFile, StructureFilePath},
      {"a data file whose last number cannot be followed",
       [](const Database& db) {
         EXPECT_EQ(AppendTextUnits(db, kName, 0, u"x", true), IoStatus::Ok);
         return AppendRecord(db, {RecordValue{kName, u"y", {}}}).status;
       },
       IoStatus::Damaged, FailureCause::Damaged, DataFilePath},
      {"a name longer than the file system takes",
       [](const Database& db) {
         const Database longer{db.program_folder, std::u16string(300, u'n'), db.busy_wait_ms};
         return ReadStructure(longer).status;
       },
       IoStatus::Failed, FailureCause::NameTooLong,
       [](const Database& db) { return StructureFilePath(Database{db.program_folder, std::u16string(300, u'n')}); }},
  };
  for (const ReasonCase& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder root;
    const Database db{root.path(), u"Base", 20};
    ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db)));
    ASSERT_EQ(AppendFieldDefinition(db, kName), IoStatus::Ok);
    const IoStatus status = c.run(db);
    EXPECT_EQ(status.kind(), c.kind);
    EXPECT_EQ(status.cause(), c.cause);
    EXPECT_EQ(status.path(), c.file(db));
  }
}

TEST(FailureReasons, ASuccessCarriesNoCause) {
  testing::TempFolder root;
  const Database db{root.path(), u"Base"};
  ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db)));
  const IoStatus status = AppendFieldDefinition(db, kName);
  EXPECT_EQ(status, IoStatus::Ok);
  EXPECT_EQ(status.cause(), FailureCause::None);
}

TEST(FailureReasons, AFolderThatCannotBeMadeSaysWhy) {
  testing::TempFolder root;
  EXPECT_FALSE(platform::CreateFolder(root.path() + u"none" + platform::PathSeparator() + u"Base"));
  EXPECT_EQ(platform::LastFailure().cause, FailureCause::NotFound);
  EXPECT_NE(platform::LastFailure().code, 0);
  EXPECT_FALSE(platform::CreateFolder(root.path() + std::u16string(300, u'n')));
  EXPECT_EQ(platform::LastFailure().cause, FailureCause::NameTooLong);
}

TEST(FailureReasons, NamesFitTheFileSystemUpToItsLongestName) {
  testing::TempFolder root;
  struct Case {
    std::size_t length;
    bool fits;
  };
  for (const Case c : {Case{1, true}, Case{251, true}, Case{252, false}, Case{253, false}, Case{300, false}}) {
    SCOPED_TRACE(c.length);
    const std::u16string name(c.length, u'n');
    EXPECT_EQ(DatabaseNameFits(root.path(), name), c.fits);
    if (!c.fits) continue;
    // What fits can be made: the folder and both files.
    const Database db{root.path(), name};
    ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db)));
    EXPECT_EQ(AppendFieldDefinition(db, kName), IoStatus::Ok);
    EXPECT_EQ(TryLastRecordNumber(db).status, IoStatus::Ok);
  }
}

}  // namespace
}  // namespace zentora
