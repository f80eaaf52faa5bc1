#include "attachments/attachments.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

TEST(CacheFileNameTest, PrefixRecordRandomAndExtensionInPlainDigits) {
  struct Case {
    AttachmentKind kind;
    std::int64_t record;
    std::uint64_t random;
    const char16_t* name;
  };
  const Case cases[] = {
      {AttachmentKind::Image, 7, 123, u"image_7_123.jpg"},
      {AttachmentKind::Sound, 7, 5, u"sonido_7_5.wav"},
      {AttachmentKind::Image, 1, 999999999999, u"image_1_999999999999.jpg"},
      {AttachmentKind::Sound, 9000000000000000000, 1000, u"sonido_9000000000000000000_1000.wav"},
  };
  for (const Case& c : cases) EXPECT_EQ(CacheFileName(c.kind, c.record, c.random), c.name);
}

TEST(CacheRandomNumberTest, StaysInRangeAndIsTheSameForTheSameSeedOnEveryBuild) {
  // Pinned values: a build whose generator drifts would name its files differently.
  EXPECT_EQ(CacheRandomNumber(0), 416674901744u);
  EXPECT_EQ(CacheRandomNumber(1), 379211273682u);
  EXPECT_EQ(CacheRandomNumber(86399999), 393082886406u);
  std::set<std::uint64_t> drawn;
  std::size_t draws = 0;
  for (std::uint32_t seed = 0; seed < 86400000; seed += 8641, ++draws) {
    const std::uint64_t number = CacheRandomNumber(seed);
    EXPECT_GE(number, 1u);
    EXPECT_LE(number, 999999999999u);
    drawn.insert(number);
  }
  // Neighbouring milliseconds must not give the same name.
  EXPECT_EQ(drawn.size(), draws);
  EXPECT_NE(CacheRandomNumber(1000), CacheRandomNumber(1001));
}

class ChooserTest : public testing::ScriptedTest {
 protected:
  std::optional<std::u16string> Choose(AttachmentKind kind) { return ChooseAttachmentFile(texts, state, kind, owner); }

  TempFolder folder;
  Texts texts{kEnglish};
  AttachmentsState state;
  platform::Dialog owner{7};
};

TEST_F(ChooserTest, FirstUseOpensInTheCurrentFolderWithNoName) {
  script.CancelFile(u"File browser for image");
  EXPECT_EQ(Choose(AttachmentKind::Image), std::nullopt);
  ASSERT_EQ(headless::FileRequestsShown().size(), 1u);
  const platform::OpenFileRequest& request = headless::FileRequestsShown()[0];
  EXPECT_EQ(request.initial_folder, platform::CurrentFolder());
  EXPECT_EQ(request.initial_name, u"");
  EXPECT_EQ(request.filters, (std::vector<platform::FileFilter>{{u"Images", u"*.jpg;*.jpeg"}}));
  EXPECT_EQ(request.default_extension, u"jpg");
  EXPECT_EQ(request.owner, owner);
  EXPECT_EQ(state.last_path, u"");
}

TEST_F(ChooserTest, TheSoundChooserOpensWhereTheImageWasTakenWithItsName) {
  const std::u16string pictures = folder.path() + u"pictures" + platform::PathSeparator();
  ASSERT_TRUE(platform::CreateFolder(pictures));
  WriteAll(fs::path(pictures + u"cat.jpg"), "JFIF");
  texts.language = kSpanish;
  script.ChooseFile(u"Navegador de ficheros para imagen", pictures + u"cat.jpg")
      .CancelFile(u"Navegador de ficheros para sonido")
      .CancelFile(u"Navegador de ficheros para sonido");

  EXPECT_EQ(Choose(AttachmentKind::Image), pictures + u"cat.jpg");
  EXPECT_EQ(state.last_path, pictures + u"cat.jpg");
  Choose(AttachmentKind::Sound);
  EXPECT_EQ(state.last_path, u"");
  Choose(AttachmentKind::Sound);

  const auto& requests = headless::FileRequestsShown();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].initial_folder, pictures);
  EXPECT_EQ(requests[1].initial_name, u"cat.jpg");
  EXPECT_EQ(requests[1].filters, (std::vector<platform::FileFilter>{{u"Sonidos", u"*.wav"}}));
  EXPECT_EQ(requests[1].default_extension, u"wav");
  // After a cancel the next chooser starts afresh.
  EXPECT_EQ(requests[2].initial_folder, platform::CurrentFolder());
  EXPECT_EQ(requests[2].initial_name, u"");
}

TEST_F(ChooserTest, ALongPathPlacesTheChooserWhole) {
  std::u16string deep = folder.path();
  for (int i = 0; i < 40; ++i) deep += u"folder_" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + platform::PathSeparator();
  ASSERT_GT(deep.size(), 300u);
  state.last_path = deep + u"voice.wav";
  script.CancelFile(u"File browser for sound");
  Choose(AttachmentKind::Sound);
  EXPECT_EQ(headless::FileRequestsShown()[0].initial_folder, deep);
  EXPECT_EQ(headless::FileRequestsShown()[0].initial_name, u"voice.wav");
}

// A database holding an image field "Photo" and a sound field "Voice".
class OpenAttachmentTest : public testing::ScriptedTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db)));
    ASSERT_TRUE(platform::CreateFolder(cache));
    state.cache_folder = cache;
  }

  void Store(const std::u16string& name, FieldType type, std::int64_t record, const std::string& bytes) {
    FieldDefinition field;
    field.name = PadFieldName(name);
    field.type = static_cast<std::int16_t>(type);
    ASSERT_EQ(AppendByteUnits(db, field, record,
                              reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), true),
              IoStatus::Ok);
  }

  std::vector<fs::path> CacheFiles() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(cache))) files.push_back(entry.path());
    return files;
  }

  void Open(AttachmentKind kind, const std::u16string& field, std::int64_t record) {
    OpenAttachment(texts, state, db, kind, field, record);
  }

  TempFolder folder;
  std::u16string cache = folder.path() + u"cache" + platform::PathSeparator();
  Database db{folder.path(), u"zoo"};
  Texts texts{kEnglish};
  AttachmentsState state;
};

std::string EveryByteValue(std::size_t repeats) {
  std::string bytes;
  for (std::size_t r = 0; r < repeats; ++r) {
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  }
  return bytes;
}

TEST_F(OpenAttachmentTest, TheStoredBytesComeBackByteForByteAndTheShellOpensThem) {
  const std::string picture = EveryByteValue(300) + "\r\n\x1a";
  Store(u"Photo", FieldType::Image, 7, picture);
  Open(AttachmentKind::Image, u"Photo", 7);

  ASSERT_EQ(headless::ShellOpens().size(), 1u);
  const std::u16string opened = headless::ShellOpens()[0];
  ASSERT_EQ(opened.substr(0, cache.size()), cache);
  const std::u16string name = opened.substr(cache.size());
  ASSERT_GT(name.size(), std::u16string(u"image_7_.jpg").size());
  EXPECT_EQ(name.substr(0, 8), u"image_7_");
  EXPECT_EQ(name.substr(name.size() - 4), u".jpg");
  const std::u16string digits = name.substr(8, name.size() - 12);
  EXPECT_LE(digits.size(), 12u);
  EXPECT_NE(digits[0], u'0');
  for (char16_t c : digits) EXPECT_TRUE(c >= u'0' && c <= u'9') << "in " << fs::path(name).string();
  EXPECT_EQ(ReadAll(fs::path(opened)), picture);
  EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(OpenAttachmentTest, ASoundGoesToASonidoFile) {
  Store(u"Voice", FieldType::WavSound, 3, "RIFF....WAVE");
  Open(AttachmentKind::Sound, u"Voice", 3);
  ASSERT_EQ(headless::ShellOpens().size(), 1u);
  const fs::path opened(headless::ShellOpens()[0]);
  EXPECT_EQ(opened.filename().string().substr(0, 9), "sonido_3_");
  EXPECT_EQ(opened.extension().string(), ".wav");
  EXPECT_EQ(ReadAll(opened), "RIFF....WAVE");
}

TEST_F(OpenAttachmentTest, TwoOpensGiveTwoFilesThatBothStay) {
  Store(u"Photo", FieldType::Image, 1, "first picture");
  Open(AttachmentKind::Image, u"Photo", 1);
  // The seed is the time of day, which moves in steps as coarse as 15.6 ms on some systems:
  // wait for the next step, so the second open has another seed.
  for (const std::uint32_t first = platform::TimeOfDayMs(); platform::TimeOfDayMs() == first;) platform::SleepMs(1);
  Open(AttachmentKind::Image, u"Photo", 1);
  ASSERT_EQ(headless::ShellOpens().size(), 2u);
  EXPECT_NE(headless::ShellOpens()[0], headless::ShellOpens()[1]);
  EXPECT_EQ(CacheFiles().size(), 2u);
  for (const auto& opened : headless::ShellOpens()) EXPECT_EQ(ReadAll(fs::path(opened)), "first picture");
}

struct MissingCase {
  AttachmentKind kind;
  int32_t language;
  const char16_t* message;
  const char16_t* caption;
};

class MissingAttachmentTest : public OpenAttachmentTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingAttachmentTest, NothingStoredShowsTheKindsMessageAndWritesNoFile) {
  const MissingCase& c = GetParam();
  texts.language = c.language;
  // A value of another record is no value of this one.
  Store(u"Photo", FieldType::Image, 1, "picture of record 1");
  Store(u"Voice", FieldType::WavSound, 1, "sound of record 1");
  script.ExpectMessage(c.message, c.caption);
  Open(c.kind, c.kind == AttachmentKind::Image ? u"Photo" : u"Voice", 2);
  EXPECT_TRUE(headless::ShellOpens().empty());
  EXPECT_TRUE(CacheFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothKindsBothLanguages, MissingAttachmentTest,
    ::testing::Values(MissingCase{AttachmentKind::Image, kSpanish, u"La imagen NO existe ...", u"Programador"},
                      MissingCase{AttachmentKind::Image, kEnglish, u"The image does NOT exist ...", u"Programmer"},
                      MissingCase{AttachmentKind::Sound, kSpanish, u"El sonido NO existe ...", u"Programador"},
                      MissingCase{AttachmentKind::Sound, kEnglish, u"The sound does NOT exist ...", u"Programmer"}));

TEST_F(OpenAttachmentTest, ACacheFileThatCannotBeWrittenIsReportedAndNotHandedToTheShell) {
  Store(u"Photo", FieldType::Image, 1, "picture");
  state.cache_folder = folder.path() + u"no such folder" + platform::PathSeparator();
  script.ExpectMessage(u"The file cannot be written to the cache folder ...", u"Programmer");
  Open(AttachmentKind::Image, u"Photo", 1);
  EXPECT_TRUE(headless::ShellOpens().empty());
}

}  // namespace
}  // namespace zentora
