// Whole runs of the program, played as a user would: start it, pick menu commands, answer
// each dialog, and look at the files, the messages, the menus and the field page afterwards.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include "shell/configuration.h"
#include "attachments/cache_folder.h"
#include "dialogs/database_dialogs.h"
#include "dialogs/entry_dialogs.h"
#include "dialogs/value_viewers.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "shell/program_entry.h"
#include "storage/data_file.h"
#include "display/number_format.h"
#include "display/structure_description.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;
using headless::DialogState;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

// The y of a press in the middle of field line `line` of the page.
int LineY(int line) { return line * 21 + 10; }

struct Field {
  const char16_t* name;
  FieldType type;
  std::int16_t size;
  std::int16_t decimals;
};

// The shop of most scenarios: a field of every type.
const std::vector<Field> kShopFields = {
    {u"Name", FieldType::String, 5, 0},      {u"Price", FieldType::Decimal, 8, 2},
    {u"Units", FieldType::Integer, 4, 0},    {u"In stock", FieldType::Logical, 1, 0},
    {u"Notes", FieldType::Memo, 500, 0},     {u"Photo", FieldType::Image, 0, 0},
    {u"Voice", FieldType::WavSound, 0, 0},
};

FieldDefinition Definition(const Field& field) {
  FieldDefinition definition;
  definition.name = PadFieldName(field.name);
  definition.type = static_cast<std::int16_t>(field.type);
  definition.size = field.size;
  definition.decimals = field.decimals;
  return definition;
}

class ScenarioTest : public testing::ScriptedTest {
 protected:
  void SetUp() override { testing::UseCacheHomeIn(folder); }

  // The next run starts in `language`, as if the user had chosen it in an earlier one.
  void StartIn(int32_t language) { AccessConfiguration("save", language, folder.path()); }

  Database Shop() const { return Database{folder.path(), u"shop"}; }
  std::u16string CacheFolder() const { return CacheFolderFor(platform::FixedDrives(), platform::UserCacheFolder()); }

  void MakeShop() {
    ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(Shop())));
    for (const Field& field : kShopFields) ASSERT_EQ(AppendFieldDefinition(Shop(), Definition(field)), IoStatus::Ok);
  }

  void StoreText(const Field& field, std::int64_t record, const std::u16string& value) {
    ASSERT_EQ(AppendTextUnits(Shop(), Definition(field), record, value, true), IoStatus::Ok);
  }

  void StoreBytes(const Field& field, std::int64_t record, const std::string& bytes) {
    ASSERT_EQ(AppendByteUnits(Shop(), Definition(field), record, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                              bytes.size(), true),
              IoStatus::Ok);
  }

  std::u16string Stored(const Field& field, std::int64_t record) {
    return ReadFieldText(Shop(), PadFieldName(field.name), record, u"(nothing)");
  }

  // Steps: the user picks a database command and names the database (English texts).
  void Pick(int command, const std::u16string& name = u"shop") {
    script.ChooseMenu(command).ExpectDialog(u"Database name").Type(kDatabaseNameEditId, name).Click(kDatabaseNameAcceptId);
  }

  // Steps: the user fills in the define-field dialog.
  void Define(const std::u16string& name, int option, const std::u16string& size, const std::u16string& decimals = u"") {
    script.ExpectDialog(u"Define a field").Type(kFieldNameEditId, name).Click(option);
    if (!size.empty()) script.Type(kSizeEditId, size);
    if (!decimals.empty()) script.Type(kDecimalsEditId, decimals);
    script.Click(kFieldAcceptId);
  }

  static std::u16string Position(const DialogState& browser) { return browser.Control(kBrowserPositionId).text; }

  static std::vector<headless::TextSeen> Page(const DialogState& browser) {
    return headless::TextsSeen(browser.Control(kBrowserSurfaceId).picture);
  }

  TempFolder folder;
};

std::u16string Padded40(const char16_t* name) { return PadFieldName(name) + u"     "; }

std::string Bytes(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

TEST_F(ScenarioTest, CreateADatabaseWithAFieldOfEveryType) {
  StartIn(kEnglish);
  script.ExpectDialog(u"DATABASES");
  Pick(kCommandNewDatabase);
  Define(u"Name", kStringOptionId, u"5");
  Pick(kCommandNewField);
  Define(u"Price", kDecimalOptionId, u"8", u"2");
  Pick(kCommandNewField);
  Define(u"Units", kIntegerOptionId, u"4");
  Pick(kCommandNewField);
  Define(u"In stock", kLogicalOptionId, u"1");
  Pick(kCommandNewField);
  Define(u"Notes", kMemoOptionId, u"500");
  Pick(kCommandNewField);
  Define(u"Photo", kImageOptionId, u"");
  Pick(kCommandNewField);
  Define(u"Voice", kSoundOptionId, u"");
  script.ChooseMenu(kCommandExit);
  EXPECT_EQ(RunZentora(folder.path()), 0);

  const std::vector<FieldDefinition> fields = ReadStructure(Shop()).value;
  ASSERT_EQ(fields.size(), kShopFields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(fields[i].name, PadFieldName(kShopFields[i].name));
    EXPECT_EQ(fields[i].type, static_cast<std::int16_t>(kShopFields[i].type));
    EXPECT_EQ(fields[i].size, kShopFields[i].size);
    EXPECT_EQ(fields[i].decimals, kShopFields[i].decimals);
  }
  EXPECT_FALSE(fs::exists(fs::path(DataFilePath(Shop()))));
}

TEST_F(ScenarioTest, TheRefusalsOfADatabaseInUse) {
  StartIn(kEnglish);
  MakeShop();
  script.ExpectDialog(u"DATABASES");
  Pick(kCommandNewDatabase);
  script.ExpectMessage(u"The database already exists ...", u"Programmer");
  Pick(kCommandNewField);
  Define(u"Price", kDecimalOptionId, u"6", u"1");
  script.ExpectMessage(u"You can not repeat name tag ...\r\nWe have not archived ...");
  // A record arrives: from now on no field can be added, and no dialog is offered.
  script.Do([&] { StoreText(kShopFields[0], 1, u"Pen"); });
  Pick(kCommandNewField);
  script.ExpectMessage(u"The database has started its creation ..\r\nFeeling it a lot, I can NOT insert a new field ..");
  script.Inspect([](const DialogState& window) { EXPECT_TRUE(window.has_menu); });
  // A name that cannot be a folder keeps the dialog open until the user gives up.
  script.ChooseMenu(kCommandNewDatabase).ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"a/b").Click(kDatabaseNameAcceptId)
      .ExpectMessage(UiText(FillTextTable(), kEnglish, text::kInvalidName))
      .Close()
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  EXPECT_EQ(ReadStructure(Shop()).value.size(), kShopFields.size());
}

TEST_F(ScenarioTest, EnterARecord) {
  StartIn(kEnglish);
  MakeShop();
  const std::string voice = Bytes(200000);  // stored under the progress bar
  WriteAll(folder.fs() / "voice.wav", voice);

  script.ExpectDialog(u"DATABASES");
  Pick(kCommandInsertData);
  script.ExpectDialog(u"Insert text string").Type(kTextEntryEditId, u"Fountain pen").Click(kTextEntryAcceptId)
      .ExpectMessage(u"We repeat ...\r\nThe size of the data is greater than the configured ...")
      .ExpectDialog(u"Insert text string").Type(kTextEntryEditId, u"Pen").Click(kTextEntryAcceptId)
      .ExpectDialog(u"Insert Numeric data").Type(kNumberEntryEditId, u"12.5").Click(kNumberEntryAcceptId)
      .ExpectDialog(u"Insert Numeric data").Type(kNumberEntryEditId, u"40").Click(kNumberEntryAcceptId)
      .ExpectDialog(u"Insert logical response").Click(kLogicalEntryYesId).Click(kLogicalEntryAcceptId)
      .ExpectDialog(u"Insert memotext").Type(kMemoEntryEditId, u"Blue ink\r\nSteel nib").Click(kMemoEntryAcceptId)
      .CancelFile(u"File browser for image")
      .ChooseFile(u"File browser for sound", folder.path() + u"voice.wav")
      .ExpectDialog(u"Dialog1")
      .ExpectMessage(u"Processed ...")
      .Inspect([](const DialogState& window) { EXPECT_TRUE(window.has_menu); })
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());

  EXPECT_EQ(LastRecordNumber(Shop()), 1);
  EXPECT_EQ(Stored(kShopFields[0], 1), u"Pen");
  EXPECT_EQ(Stored(kShopFields[1], 1), u"12.5");
  EXPECT_EQ(Stored(kShopFields[2], 1), u"40");
  EXPECT_EQ(Stored(kShopFields[3], 1), u"1");
  EXPECT_EQ(Stored(kShopFields[4], 1), u"Blue ink\r\nSteel nib");
  EXPECT_EQ(ReadFieldBytes(Shop(), PadFieldName(u"Photo"), 1), "");
  EXPECT_EQ(ReadFieldBytes(Shop(), PadFieldName(u"Voice"), 1), voice);
  // Both choosers belong to the main window, so they stay in front of it.
  const DialogState* main_window = headless::FindDialog(u"DATABASES");
  ASSERT_NE(main_window, nullptr);
  ASSERT_EQ(headless::FileRequestsShown().size(), 2u);
  for (const platform::OpenFileRequest& request : headless::FileRequestsShown())
    EXPECT_EQ(request.owner, main_window->handle);
}

TEST_F(ScenarioTest, APictureGoesInAndComesBackByteForByte) {
  StartIn(kEnglish);
  MakeShop();
  const std::string photo = Bytes(150000) + "\r\n\x1a";
  WriteAll(folder.fs() / "pen.jpg", photo);

  script.ExpectDialog(u"DATABASES");
  Pick(kCommandInsertData);
  // Closing an entry dialog, and not abandoning the record, leaves its field empty; only the
  // picture is given, and read when the record is stored.
  const std::u16string abandon = u"Abandon the whole record? Nothing of it will be stored ...";
  script.ExpectDialog(u"Insert text string").Close().AnswerQuestion(abandon, false)
      .ExpectDialog(u"Insert Numeric data").Close().AnswerQuestion(abandon, false)
      .ExpectDialog(u"Insert Numeric data").Close().AnswerQuestion(abandon, false)
      .ExpectDialog(u"Insert logical response").Close().AnswerQuestion(abandon, false)
      .ExpectDialog(u"Insert memotext").Close().AnswerQuestion(abandon, false)
      .ChooseFile(u"File browser for image", folder.path() + u"pen.jpg")
      .CancelFile(u"File browser for sound")
      .ExpectDialog(u"Dialog1")
      .ExpectMessage(u"Processed ...");
  Pick(kCommandSeeData);
  script.ExpectDialog(u"Display")
      .ClickAt(kBrowserSurfaceId, 10, LineY(5))
      .Do([&] {
        ASSERT_EQ(headless::ShellOpens().size(), 1u);
        const fs::path opened(headless::ShellOpens()[0]);
        EXPECT_EQ(opened.filename().string().substr(0, 8), "image_1_");
        EXPECT_EQ(ReadAll(opened), photo);
      })
      .Close()
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  EXPECT_EQ(Stored(kShopFields[0], 1), u"(nothing)");
  EXPECT_EQ(Stored(kShopFields[4], 1), u"(nothing)");
  EXPECT_EQ(headless::FileRequestsShown()[1].initial_name, u"pen.jpg");
}

TEST_F(ScenarioTest, BrowseTheRecords) {
  StartIn(kEnglish);
  MakeShop();
  const std::string photo = Bytes(70000);
  StoreText(kShopFields[0], 1, u"Pen");
  StoreText(kShopFields[1], 1, u"12.5");
  StoreText(kShopFields[2], 1, u"40");
  StoreText(kShopFields[3], 1, u"1");
  StoreText(kShopFields[4], 1, u"Blue ink\r\nSteel nib");
  StoreBytes(kShopFields[5], 1, photo);
  StoreText(kShopFields[0], 2, u"Ink");

  auto at = [](const char16_t* position) {
    return [position](const DialogState& browser) { EXPECT_EQ(Position(browser), position); };
  };
  auto red_lines = [](std::size_t count) {
    return [count](const DialogState& browser) {
      std::size_t red = 0;
      for (const auto& text : Page(browser)) red += text.colour == platform::kRed ? 1 : 0;
      EXPECT_EQ(red, count);
    };
  };
  script.ExpectDialog(u"DATABASES");
  Pick(kCommandSeeData);
  script.ExpectDialog(u"Display")
      .Inspect([](const DialogState& browser) {
        EXPECT_EQ(Position(browser), u"1 of 2");
        const auto page = Page(browser);
        ASSERT_EQ(page.size(), 40u);
        for (std::size_t i = 0; i < kShopFields.size(); ++i) {
          EXPECT_EQ(page[i].text, Padded40(kShopFields[i].name));
          EXPECT_EQ(page[i].y, static_cast<int>(i) * 21 + 3);
        }
        EXPECT_EQ(page[7].text, std::u16string(40, u' '));
      })
      .Click(kBrowserPreviousId).Inspect(at(u"1 of 2"))
      .Click(kBrowserNextId).Inspect(at(u"2 of 2"))
      .Click(kBrowserNextId).Inspect(at(u"2 of 2"))
      .ChooseMenu(kCommandGoTo).AnswerInput(u"From 1 to 2", u"3").AnswerInput(u"From 1 to 2", u"0.7")
      .Inspect(at(u"1 of 2"))
      .ChooseMenu(kCommandGoTo).CancelInput(u"From 1 to 2").Inspect(at(u"1 of 2"))
      .ClickAt(kBrowserSurfaceId, 10, LineY(0)).ExpectDialog(u"Text string viewer")
      .Inspect([](const DialogState& viewer) { EXPECT_EQ(viewer.Control(kTextViewerValueId).text, u"Pen"); })
      .Click(kTextViewerCloseId)
      .ClickAt(kBrowserSurfaceId, 10, LineY(1)).ExpectDialog(u"Numeric data display")
      .Inspect([](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(kNumberViewerValueId).text, FormatNumber(u"12.5", 2, kEnglish));
      })
      .Click(kNumberViewerCloseId)
      .ClickAt(kBrowserSurfaceId, 10, LineY(2)).ExpectDialog(u"Numeric data display")
      .Inspect([](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(kNumberViewerValueId).text, FormatNumber(u"40", 0, kEnglish));
      })
      .Click(kNumberViewerCloseId)
      .ClickAt(kBrowserSurfaceId, 10, LineY(3)).ExpectDialog(u"Logical response viewer")
      .Inspect([](const DialogState& viewer) { EXPECT_TRUE(viewer.Control(kLogicalViewerYesId).checked); })
      .Click(kLogicalViewerCloseId)
      .ClickAt(kBrowserSurfaceId, 10, LineY(4)).ExpectDialog(u"Memotext viewer")
      .Inspect([](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(kMemoViewerLabelId).text, PadFieldName(u"Notes"));
        EXPECT_EQ(viewer.Control(kMemoViewerValueId).text, u"Blue ink\r\nSteel nib");
      })
      .Click(kMemoViewerCloseId)
      .ClickAt(kBrowserSurfaceId, 10, LineY(5))  // the picture goes to the desktop's viewer
      .Do([&] {
        ASSERT_EQ(headless::ShellOpens().size(), 1u);
        EXPECT_EQ(ReadAll(fs::path(headless::ShellOpens()[0])), photo);
      })
      .ClickAt(kBrowserSurfaceId, 10, LineY(6)).ExpectMessage(u"The sound does NOT exist ...", u"Programmer")
      .ClickAt(kBrowserSurfaceId, 10, LineY(12))  // a line without a field opens nothing
      .Inspect(red_lines(8))  // every line pressed, the one without a field too
      .Click(kBrowserNextId).Inspect(red_lines(0)).Inspect(at(u"2 of 2"))
      .ClickAt(kBrowserSurfaceId, 10, LineY(0)).ExpectDialog(u"Text string viewer")
      .Inspect([](const DialogState& viewer) { EXPECT_EQ(viewer.Control(kTextViewerValueId).text, u"Ink"); })
      .Click(kTextViewerCloseId)
      .Close()
      .Inspect([](const DialogState& window) { EXPECT_TRUE(window.has_menu); })
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  // Exit took the picture out of the cache folder again.
  ASSERT_EQ(headless::ShellOpens().size(), 1u);
  EXPECT_FALSE(fs::exists(fs::path(headless::ShellOpens()[0])));
  EXPECT_EQ(headless::ShellOpens()[0].substr(0, CacheFolder().size()), CacheFolder());
}

struct StructureCase {
  int32_t language;
  const char16_t* window;
  const char16_t* name_dialog;
  const char16_t* viewer;
  const char16_t* label;
};

class StructureViewScenarioTest : public ScenarioTest, public ::testing::WithParamInterface<StructureCase> {};

TEST_P(StructureViewScenarioTest, TheStructureInTheLanguageInForce) {
  const StructureCase& c = GetParam();
  StartIn(c.language);
  MakeShop();
  script.ExpectDialog(c.window)
      .ChooseMenu(kCommandDataStructure).ExpectDialog(c.name_dialog).Type(kDatabaseNameEditId, u"shop").Click(kDatabaseNameAcceptId)
      .ExpectDialog(c.viewer)
      .Inspect([&](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(kMemoViewerLabelId).text, c.label);
        EXPECT_EQ(viewer.Control(kMemoViewerValueId).text, DescribeStructure(Shop(), FillTextTable(), c.language));
        EXPECT_FALSE(headless::FindDialog(c.window)->has_menu);
      })
      .Click(kMemoViewerCloseId)
      .Inspect([](const DialogState& window) { EXPECT_TRUE(window.has_menu); })
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  const std::u16string shown = headless::FindDialog(c.viewer)->Control(kMemoViewerValueId).text;
  EXPECT_NE(shown.find(c.language == kEnglish ? u"WAV SOUND" : u"SONIDO WAV"), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, StructureViewScenarioTest,
    ::testing::Values(
        StructureCase{kSpanish, u"BASES DE DATOS", u"Nombre base de datos", u"Visualizar memotext", u"Estructura de Datos"},
        StructureCase{kEnglish, u"DATABASES", u"Database name", u"Memotext viewer", u"Data structure"}));

TEST_F(ScenarioTest, TheLanguageSwitchLastsIntoTheNextRun) {
  // A first run with no configuration file is in Spanish and writes nothing.
  script.ExpectDialog(u"BASES DE DATOS")
      .Do([&] { EXPECT_FALSE(fs::exists(folder.fs() / "Configuracion.ini")); })
      .ChooseMenu(kCommandEnglish)
      .Inspect([](const DialogState& window) {
        EXPECT_EQ(window.caption, u"DATABASES");
        EXPECT_EQ(window.menu[0].items[0].items[1].text, u"Field data");
        EXPECT_EQ(window.menu[1].text, u"Languages");
      })
      .ChooseMenu(kCommandAuthor).ExpectDialog(u"Author").Click(kAboutExitId)
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  EXPECT_TRUE(fs::exists(folder.fs() / "Configuracion.ini"));

  script.ExpectDialog(u"DATABASES").ChooseMenu(kCommandSpanish)
      .Inspect([](const DialogState& window) { EXPECT_EQ(window.caption, u"BASES DE DATOS"); })
      .ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  int32_t saved = 0;
  AccessConfiguration("get", saved, folder.path());
  EXPECT_EQ(saved, kSpanish);
}

TEST_F(ScenarioTest, ExitEmptiesTheCacheFolderAndACloseRequestKeepsIt) {
  StartIn(kEnglish);
  const std::u16string leftover = CacheFolder() + u"image_3_77.jpg";
  script.ExpectDialog(u"DATABASES").Do([&] { WriteAll(fs::path(leftover), "old picture"); }).Close();
  RunZentora(folder.path());
  EXPECT_TRUE(fs::exists(fs::path(leftover)));

  fs::permissions(fs::path(leftover), fs::perms::owner_write, fs::perm_options::remove);
  script.ExpectDialog(u"DATABASES").ChooseMenu(kCommandExit);
  RunZentora(folder.path());
  EXPECT_FALSE(fs::exists(fs::path(leftover)));
  EXPECT_TRUE(fs::is_directory(fs::path(CacheFolder())));
}

TEST_F(ScenarioTest, TheAboutBoxRunsItsFiguresAndOpensOnlyOnce) {
  AppState state = MakeAppState(folder.path(), kEnglish);
  script.ExpectDialog(u"DATABASES")
      .ChooseMenu(kCommandAuthor)
      .ExpectDialog(u"Author")
      .Wait(300)
      .Inspect([](const DialogState& box) {
        EXPECT_EQ(box.Control(kAboutIconId).images_shown, (std::vector<int>{701, 702, 703}));
        // The menu stays while the box is open; a second Author does nothing.
        EXPECT_TRUE(headless::FindDialog(u"DATABASES")->has_menu);
      })
      .Do([&] { EXPECT_FALSE(RunMenuCommand(state, kCommandAuthor)); })
      .Click(kAboutExitId)
      .ChooseMenu(kCommandExit);
  EXPECT_EQ(ShowMainWindow(state), 0);
  EXPECT_FALSE(state.shell.about_box_open);
}

}  // namespace
}  // namespace zentora
