// The Linux library's folder: the one a caller names through Lirvak_set_folder, else the
// folder the program keeps its databases in (platform::HomeFolder, linked as in the library).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/encoding.h"
#include "platform/system.h"
#include "reader/lirvak.h"
#include "reader/sample_database.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::TempFolder;

std::string Taken(char* text) {
  const std::string copy = text ? text : "(null)";
  Lirvak_free_str(text);
  return copy;
}

std::string Folder() { return Taken(Lirvak_get_folder()); }

std::string Text(const char* database, const std::u16string& field, std::int64_t record) {
  const std::string name = testing::FieldNameBuffer(field);
  return Taken(Get_datos_str(database, reinterpret_cast<const unsigned char*>(name.data()), record));
}

class LirvakFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteSampleDatabase(Database{named_.path(), u"muestra"}); }
  void TearDown() override { Lirvak_set_folder(nullptr); }

  std::string NamedFolder() const { return platform::Utf16ToUtf8(named_.path()); }

  TempFolder named_;
};

TEST_F(LirvakFolderTest, ReadsTheFolderItIsGivenWithOrWithoutItsSlash) {
  const std::string with_slash = NamedFolder();
  for (const std::string& spelling : {with_slash, with_slash.substr(0, with_slash.size() - 1)}) {
    SCOPED_TRACE(spelling);
    Lirvak_set_folder(spelling.c_str());
    EXPECT_EQ(Folder(), with_slash);
    EXPECT_EQ(GetRegi("muestra"), testing::kSampleRecords);
    EXPECT_EQ(Text("muestra", u"Nombre", 2), "Ana");
    EXPECT_EQ(Text("muestra", u"Precio", 1), "1234.5");
  }
}

TEST_F(LirvakFolderTest, WritesAttachmentsIntoTheFolderItIsGiven) {
  Lirvak_set_folder(NamedFolder().c_str());
  const std::string field = testing::FieldNameBuffer(u"Foto");
  EXPECT_EQ(Get_datos_image("muestra", reinterpret_cast<const unsigned char*>(field.data()), 1, "foto"), 0);
  EXPECT_EQ(testing::ReadAll(named_.fs() / "foto.jpg"), testing::SampleImage());
}

TEST_F(LirvakFolderTest, TellsWhatEachAttachmentCallDid) {
  Lirvak_set_folder(NamedFolder().c_str());
  std::filesystem::create_directory(named_.fs() / "carpeta.jpg");
  struct Case {
    const char* what;
    std::u16string field;
    std::int64_t record;
    const char* output;
    std::int32_t status;
    std::string message;  // on standard error; empty: nothing
  };
  const Case cases[] = {
      {"written", u"Foto", 1, "foto", LIRVAK_STATUS_WRITTEN, ""},
      {"no such value", u"Foto", 2, "foto", LIRVAK_STATUS_MISSING, "Programador: La imagen NO existe ...\n"},
      {"a folder at the output", u"Foto", 1, "carpeta", LIRVAK_STATUS_NOT_WRITTEN,
       "Programador: No se ha podido escribir el fichero " + NamedFolder() + "carpeta.jpg"},
      {"an output name leaving the folder", u"Foto", 1, "../fuera", LIRVAK_STATUS_NOT_WRITTEN,
       "Programador: No se ha podido escribir el fichero"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string field = testing::FieldNameBuffer(c.field);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Get_datos_image("muestra", reinterpret_cast<const unsigned char*>(field.data()), c.record, c.output), 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lirvak_get_status(), c.status);
    if (c.message.empty()) EXPECT_EQ(err, "");
    else EXPECT_EQ(err.rfind(c.message, 0), 0u) << err;
  }
  EXPECT_TRUE(std::filesystem::is_directory(named_.fs() / "carpeta.jpg"));
  // Each thread reads its own calls' status.
  std::int32_t other = 0;
  std::thread([&] { other = Lirvak_get_status(); }).join();
  EXPECT_EQ(other, LIRVAK_STATUS_NONE);
}

TEST_F(LirvakFolderTest, TakesARelativeFolderFromTheCurrentFolderOfTheCall) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(named_.fs().parent_path());
  Lirvak_set_folder(named_.fs().filename().c_str());
  std::filesystem::current_path(before);
  EXPECT_EQ(Folder(), NamedFolder());
  EXPECT_EQ(GetRegi("muestra"), testing::kSampleRecords);
}

TEST_F(LirvakFolderTest, NullOrEmptyRestoresTheProgramsFolder) {
  // A database of its own in the default folder, under a name no other run uses.
  const std::string own = "lirvak-folder-" + std::to_string(::getpid());
  const Database beside{platform::HomeFolder(), platform::Utf8ToUtf16(own)};
  testing::WriteSampleDatabase(beside);
  for (const char* reset : {static_cast<const char*>(nullptr), ""}) {
    SCOPED_TRACE(reset ? "empty" : "null");
    Lirvak_set_folder(NamedFolder().c_str());
    EXPECT_EQ(GetRegi(own.c_str()), 0);
    Lirvak_set_folder(reset);
    EXPECT_EQ(Folder(), platform::Utf16ToUtf8(platform::HomeFolder()));
    EXPECT_EQ(GetRegi(own.c_str()), testing::kSampleRecords);
    EXPECT_EQ(GetRegi("muestra"), 0) << "the named folder is still read";
  }
  std::filesystem::remove_all(std::filesystem::path(DatabaseFolder(beside)));
}

TEST_F(LirvakFolderTest, EachCallReadsOneWholeFolderWhileAnotherThreadSwitches) {
  const TempFolder empty;
  const std::string folders[] = {NamedFolder(), platform::Utf16ToUtf8(empty.path())};
  std::atomic<bool> stop{false};
  Lirvak_set_folder(folders[0].c_str());  // before the switcher's first turn, too
  std::thread switcher([&] {
    for (unsigned i = 0; !stop; ++i) Lirvak_set_folder(folders[i % 2].c_str());
  });
  int unexpected = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::int64_t records = GetRegi("muestra");
    const std::string folder = Folder();
    if ((records != 0 && records != testing::kSampleRecords) || (folder != folders[0] && folder != folders[1]))
      ++unexpected;
  }
  stop = true;
  switcher.join();
  EXPECT_EQ(unexpected, 0);
}

}  // namespace
}  // namespace zentora
