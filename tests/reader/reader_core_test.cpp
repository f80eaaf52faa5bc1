#include "reader/reader_core.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/system.h"
#include "reader/sample_database.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace zentora::reader {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

constexpr unsigned kShortWait = 50;

class ReaderCoreTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteSampleDatabase(db_); }

  std::u16string Field(const std::u16string& name, char16_t pad = u' ') {
    const std::string buffer = testing::FieldNameBuffer(name, pad);
    return FieldNameFromBuffer(reinterpret_cast<const unsigned char*>(buffer.data()));
  }
  std::u16string Text(const std::u16string& field, std::int64_t record) {
    return ReadValueText(host_.path(), u"muestra", Field(field), record, kShortWait);
  }
  std::filesystem::path DataFile() const { return host_.fs() / "muestra" / "muestra.zbd"; }

  TempFolder host_;
  Database db_{host_.path(), u"muestra"};
};

TEST(StaysInHostFolderTest, AcceptsNamesBelowTheHostFolder) {
  const std::vector<std::u16string> names = {u"muestra", u"sub/muestra", u"sub\\muestra", u"a..b",
                                             u".oculta", u"",            u"./x",           u"x.", u"..a/b"};
  for (const std::u16string& name : names)
    EXPECT_TRUE(StaysInHostFolder(name)) << std::string(name.begin(), name.end());
}

TEST(StaysInHostFolderTest, RefusesNamesThatLeaveIt) {
  const std::u16string with_nul(u"muestra\0/../x", 13);
  const std::vector<std::u16string> names = {
      u"/etc/passwd", u"\\\\server\\share\\x", u"C:x", u"c:\\x", u"..", u"../x", u"sub/../../x",
      u"sub\\..\\..\\x", u"...", u".. ", u"x/..", u"x\\. .", with_nul};
  for (const std::u16string& name : names)
    EXPECT_FALSE(StaysInHostFolder(name)) << std::string(name.begin(), name.end());
}

TEST(FieldNameFromBufferTest, ReadsLittleEndianUnitsAsTheyAre) {
  std::string buffer = testing::FieldNameBuffer(u"\u20ACa", u'\0');
  const std::u16string name = FieldNameFromBuffer(reinterpret_cast<const unsigned char*>(buffer.data()));
  ASSERT_EQ(name.size(), 35u);
  EXPECT_EQ(name[0], u'\u20AC');
  EXPECT_EQ(name[1], u'a');
  EXPECT_EQ(name[34], u'\0');  // padding is not repaired: a NUL-padded name matches nothing
  EXPECT_EQ(FieldNameFromBuffer(nullptr), std::u16string(35, u' '));
}

TEST_F(ReaderCoreTest, CountsTheRecordOfTheLastEntry) {
  EXPECT_EQ(CountRecords(host_.path(), u"muestra", kShortWait), testing::kSampleRecords);
  // A tail short of a whole entry is not an entry.
  WriteAll(DataFile(), ReadAll(DataFile()) + std::string(95, 'x'));
  EXPECT_EQ(CountRecords(host_.path(), u"muestra", kShortWait), testing::kSampleRecords);
}

TEST_F(ReaderCoreTest, CountsZeroWhenThereIsNothingToRead) {
  EXPECT_EQ(CountRecords(host_.path(), u"ninguna", kShortWait), 0);
  EXPECT_EQ(CountRecords(host_.path(), u"../muestra", kShortWait), 0);
  std::filesystem::remove(DataFile());
  EXPECT_EQ(CountRecords(host_.path(), u"muestra", kShortWait), 0);
  // Reading must not create the data file: its existence stops Zentora adding fields.
  EXPECT_FALSE(std::filesystem::exists(DataFile()));
}

TEST_F(ReaderCoreTest, ReadsTextValuesAsStored) {
  struct Case {
    std::u16string field;
    std::int64_t record;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"Nombre", 1, testing::kSampleName1}, {u"Nombre", 2, u"Ana"},       {u"Nombre", 3, testing::kSampleName3},
      {u"Precio", 1, u"1234.5"},             {u"Precio", 2, u"-0.5"},      {u"Activo", 1, u"1"},
      {u"Activo", 2, u"0"},                  {u"Notas", 1, testing::kSampleNotes1},
      {u"nombre", 1, u"minúscula"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.field, c.record), c.expected) << c.record;
}

TEST_F(ReaderCoreTest, AnswersNoDataWhenNothingMatches) {
  EXPECT_EQ(NoDataText(), u"No datos");
  EXPECT_EQ(Text(u"Notas", 2), u"No datos");   // an empty value has no entries
  EXPECT_EQ(Text(u"NOMBRE", 1), u"No datos");  // names are case-sensitive
  EXPECT_EQ(Text(u"Nombre", 0), u"No datos");
  EXPECT_EQ(Text(u"Nombre", -1), u"No datos");
  EXPECT_EQ(Text(u"Nombre", 4), u"No datos");
  EXPECT_EQ(Text(u"Foto", 1), u"No datos");  // attachments are outside the text types
  EXPECT_EQ(ReadValueText(host_.path(), u"muestra", Field(u"Nombre", u'\0'), 1, kShortWait), u"No datos");
  EXPECT_EQ(ReadValueText(host_.path(), u"../muestra", Field(u"Nombre"), 1, kShortWait), u"No datos");
}

TEST_F(ReaderCoreTest, GivesUpOnADataFileHeldByAnotherOpen) {
  platform::FileHandle held;
  ASSERT_EQ(platform::OpenExclusive(DataFile().u16string(), platform::Access::Read, held), platform::OpenStatus::Ok);
  EXPECT_EQ(Text(u"Nombre", 2), u"No datos");
  EXPECT_EQ(CountRecords(host_.path(), u"muestra", kShortWait), 0);
  EXPECT_EQ(WriteAttachment(host_.path(), u"muestra", Field(u"Foto"), 1, u"foto", Attachment::Image, kShortWait),
            AttachmentResult::Missing);
  platform::CloseFile(held);
  EXPECT_EQ(Text(u"Nombre", 2), u"Ana");
}

TEST_F(ReaderCoreTest, WritesAttachmentsByteForByte) {
  struct Case {
    std::u16string field;
    std::int64_t record;
    Attachment kind;
    const char* file;
    std::string expected;
  };
  const Case cases[] = {
      {u"Foto", 1, Attachment::Image, "foto.jpg", testing::SampleImage()},
      {u"Voz", 2, Attachment::Sound, "voz.wav", testing::SampleSound(2)},
      // Either function takes either kind of attachment: only the extension differs.
      {u"Voz", 1, Attachment::Image, "voz.jpg", testing::SampleSound(1)},
  };
  for (const Case& c : cases) {
    const std::u16string stem = std::filesystem::path(c.file).stem().u16string();
    EXPECT_EQ(WriteAttachment(host_.path(), u"muestra", Field(c.field), c.record, stem, c.kind, kShortWait),
              AttachmentResult::Written);
    EXPECT_EQ(ReadAll(host_.fs() / c.file), c.expected) << c.file;
  }
}

TEST_F(ReaderCoreTest, WritesIntoSubFoldersOfTheHostFolder) {
  std::filesystem::create_directory(host_.fs() / "salida");
  EXPECT_EQ(WriteAttachment(host_.path(), u"muestra", Field(u"Foto"), 1, u"salida/foto", Attachment::Image,
                            kShortWait),
            AttachmentResult::Written);
  EXPECT_EQ(ReadAll(host_.fs() / "salida" / "foto.jpg"), testing::SampleImage());
}

TEST_F(ReaderCoreTest, AMissingValueRemovesTheOldOutputFile) {
  for (const auto& [field, record] : {std::pair{u"Foto", 2}, std::pair{u"Nombre", 1}, std::pair{u"Foto", 0}}) {
    WriteAll(host_.fs() / "vieja.jpg", "stale");
    EXPECT_EQ(WriteAttachment(host_.path(), u"muestra", Field(field), record, u"vieja", Attachment::Image, kShortWait),
              AttachmentResult::Missing);
    EXPECT_FALSE(std::filesystem::exists(host_.fs() / "vieja.jpg"));
  }
  EXPECT_EQ(MissingAttachmentText(Attachment::Image), u"La imagen NO existe ...");
  EXPECT_EQ(MissingAttachmentText(Attachment::Sound), u"El sonido NO existe ...");
  EXPECT_EQ(MessageCaption(), u"Programador");
}

TEST_F(ReaderCoreTest, RefusedNamesWriteNothing) {
  // The host is a sub-folder here so that an escape would land inside the test's own folder.
  const std::filesystem::path host = host_.fs() / "host";
  std::filesystem::create_directory(host);
  const std::u16string host_path = host.u16string() + platform::PathSeparator();
  testing::WriteSampleDatabase(Database{host_path, u"muestra"});
  for (const std::u16string output : {u"../fuera", u"..\\fuera", u"sub/../../fuera"}) {
    EXPECT_EQ(WriteAttachment(host_path, u"muestra", Field(u"Foto"), 1, output, Attachment::Image, kShortWait),
              AttachmentResult::NotWritten);
  }
  EXPECT_FALSE(std::filesystem::exists(host_.fs() / "fuera.jpg"));
}

TEST_F(ReaderCoreTest, ARefusedDatabaseReadsAsAMissingOne) {
  // The old output goes and the caller is told, exactly as for a database that is not there.
  for (const std::u16string database : {u"../muestra", u"/muestra", u"sub/../../muestra", u"ninguna"}) {
    WriteAll(host_.fs() / "foto.jpg", "stale");
    EXPECT_EQ(WriteAttachment(host_.path(), database, Field(u"Foto"), 1, u"foto", Attachment::Image, kShortWait),
              AttachmentResult::Missing);
    EXPECT_FALSE(std::filesystem::exists(host_.fs() / "foto.jpg"));
  }
}

TEST_F(ReaderCoreTest, AnEmptyDatabaseNameNamesNoDatabase) {
  // Read as a name, it would be the data file "<host>/.zbd": one is put there to be missed.
  std::filesystem::copy_file(DataFile(), host_.fs() / ".zbd");
  EXPECT_EQ(CountRecords(host_.path(), u"", kShortWait), 0);
  EXPECT_EQ(ReadValueText(host_.path(), u"", Field(u"Nombre"), 2, kShortWait), u"No datos");
  EXPECT_EQ(ReadValueText(host_.path(), u"muestra", Field(u"Nombre"), 2, kShortWait), u"Ana");
}

TEST_F(ReaderCoreTest, CountsTheNewestRecordThatHoldsAnEntry) {
  testing::WriteDatabaseEndingInEmptyValues(Database{host_.path(), u"vacios"});
  EXPECT_EQ(CountRecords(host_.path(), u"vacios", kShortWait), testing::kRecordsBeforeEmptyOnes);
  EXPECT_EQ(ReadValueText(host_.path(), u"vacios", Field(u"Nombre"), testing::kRecordsBeforeEmptyOnes, kShortWait),
            u"Eva");
  EXPECT_EQ(ReadValueText(host_.path(), u"vacios", Field(u"Notas"), testing::kRecordsBeforeEmptyOnes, kShortWait),
            u"No datos");
}

}  // namespace
}  // namespace zentora::reader
