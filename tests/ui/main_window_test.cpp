#include "shell/main_window.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"
#include "dialogs/database_dialogs.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include "shell/configuration.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;
using platform::Menu;
using platform::MenuItem;
using testing::TempFolder;
using testing::WriteAll;

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

struct MenuCase {
  int32_t language;
  std::vector<const char16_t*> texts;  // the eleven menu texts in the order of the bar
  const char16_t* caption;
};

class MainMenuTest : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MainMenuTest, HoldsEveryCommandInTheLanguageInForceWithTheFlags) {
  const MenuCase& c = GetParam();
  const Texts texts{c.language};
  auto t = [&](int i) { return std::u16string(c.texts[static_cast<std::size_t>(i)]); };
  const MenuItem separator{0, u"-", 0, {}};
  const Menu expected = {
      {0, t(0), 0,
       {{0, t(1), 0, {{1002, t(2), 0, {}}, {1003, t(3), 0, {}}}},
        separator, {1004, t(4), 0, {}},
        separator, {1010, t(5), 0, {}},
        separator, {1097, t(6), 0, {}},
        separator, {1006, t(7), 0, {}},
        separator, {1007, t(8), 0, {}}}},
      {0, t(9), 0, {{1008, u"Español", 404, {}}, {1009, u"English", 405, {}}}},
  };
  EXPECT_EQ(MainMenu(texts), expected);

  const platform::DialogTemplate window = MainWindowTemplate(texts);
  EXPECT_EQ(window.caption, c.caption);
  EXPECT_EQ(window.rect, (platform::Rect{94, 26, 347, 30}));
  EXPECT_EQ(window.units, platform::Units::DialogUnits);
  EXPECT_EQ(window.style & platform::kStyleSystemMenu, 0u);
  EXPECT_TRUE(window.controls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, MainMenuTest,
    ::testing::Values(MenuCase{kSpanish,
                               {u"Operaciones", u"Nuevo", u"Base de Datos", u"Campo", u"Insertar Datos", u"Ver Datos",
                                u"Estructura Datos", u"Autor", u"Salir", u"Idiomas"},
                               u"BASES DE DATOS"},
                      MenuCase{kEnglish,
                               {u"Operations", u"New", u"Database", u"Field data", u"Insert Data", u"See Data",
                                u"Data structure", u"Author", u"Exit", u"Languages"},
                               u"DATABASES"}));

class MainWindowTest : public testing::ScriptedTest {
 protected:
  void SetUp() override { testing::UseCacheHomeIn(folder); }

  // A database "shop" with one field, and a data file when `with_data`.
  static void MakeDatabase(const std::u16string& program_folder, bool with_data) {
    const Database db{program_folder, u"shop"};
    ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db)));
    FieldDefinition field;
    field.name = PadFieldName(u"Name");
    field.type = static_cast<std::int16_t>(FieldType::String);
    field.size = 10;
    ASSERT_EQ(AppendFieldDefinition(db, field), IoStatus::Ok);
    if (with_data) WriteAll(fs::path(DataFilePath(db)), "");
  }

  std::vector<FieldDefinition> Fields() {
    return ReadStructure(Database{folder.path(), u"shop"}).value;
  }

  TempFolder folder;
  AppState state = MakeAppState(folder.path(), kEnglish);
};

TEST_F(MainWindowTest, TheLanguageSwitchRebuildsTheMenuRetitlesAndSaves) {
  state.shell.texts.language = kSpanish;
  script.ExpectDialog(u"BASES DE DATOS")
      .Inspect([&](const headless::DialogState& window) {
        EXPECT_TRUE(window.has_menu);
        EXPECT_EQ(window.menu, MainMenu(state.shell.texts));
      })
      .ChooseMenu(kCommandEnglish)
      .Inspect([&](const headless::DialogState& window) {
        EXPECT_EQ(window.caption, u"DATABASES");
        ASSERT_TRUE(window.has_menu);
        EXPECT_EQ(window.menu[0].text, u"Operations");
        EXPECT_EQ(window.menu[1].items[0].bitmap, kSpainFlagBitmap);
        EXPECT_EQ(window.menu[1].items[1].bitmap, kKingdomFlagBitmap);
      })
      .ChooseMenu(kCommandExit);
  EXPECT_EQ(ShowMainWindow(state), 0);
  int32_t saved = 0;
  AccessConfiguration("get", saved, folder.path());
  EXPECT_EQ(saved, kEnglish);
  // The desktop's own profile writer decides the spacing of the line; the key is what counts.
  EXPECT_NE(testing::ReadAll(folder.fs() / "Configuracion.ini").find("Idioma="), std::string::npos);
}

TEST_F(MainWindowTest, TheMenuIsAwayWhileAFieldIsDefinedAndBackAfter) {
  auto menu_shown = [](bool shown) {
    return [shown](const headless::DialogState&) { EXPECT_EQ(headless::FindDialog(u"DATABASES")->has_menu, shown); };
  };
  script.ExpectDialog(u"DATABASES")
      .ChooseMenu(kCommandNewDatabase)
      .ExpectDialog(u"Database name")
      .Inspect(menu_shown(true))  // the name comes first, with the menu still in place
      .Type(kDatabaseNameEditId, u"shop")
      .Click(kDatabaseNameAcceptId)
      .ExpectDialog(u"Define a field")
      .Inspect(menu_shown(false))
      .Type(kFieldNameEditId, u"Name")
      .Click(kStringOptionId)
      .Type(kSizeEditId, u"20")
      .Click(kFieldAcceptId)
      .Inspect([&](const headless::DialogState& window) { EXPECT_EQ(window.menu, MainMenu(state.shell.texts)); })
      .ChooseMenu(kCommandExit);
  ShowMainWindow(state);
  ASSERT_EQ(Fields().size(), 1u);
  EXPECT_EQ(Fields()[0].name, PadFieldName(u"Name"));
  EXPECT_EQ(Fields()[0].size, 20);
}

TEST_F(MainWindowTest, ClosingTheDefineFieldDialogStoresNothing) {
  script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"shop").Click(kDatabaseNameAcceptId)
      .ExpectDialog(u"Define a field").Type(kFieldNameEditId, u"Name").Close();
  EXPECT_FALSE(RunMenuCommand(state, kCommandNewDatabase));
  EXPECT_TRUE(fs::is_directory(folder.fs() / "shop"));
  EXPECT_TRUE(Fields().empty());
}

TEST_F(MainWindowTest, AFolderWithOnlyADataFileRefusesANewDatabase) {
  ASSERT_TRUE(platform::CreateFolder(folder.path() + u"shop"));
  WriteAll(folder.fs() / "shop" / "shop.zbd", "");
  script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"shop").Click(kDatabaseNameAcceptId)
      .ExpectMessage(u"The database has started its creation ..\r\nFeeling it a lot, I can NOT insert a new field ..");
  RunMenuCommand(state, kCommandNewDatabase);
  EXPECT_FALSE(fs::exists(folder.fs() / "shop" / "shop.z04"));
}

TEST_F(MainWindowTest, CommandsOnAMissingDatabaseSayItAndACancelledNameEndsSilently) {
  for (int command : {kCommandNewField, kCommandInsertData, kCommandSeeData, kCommandDataStructure}) {
    script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"nothing").Click(kDatabaseNameAcceptId);
    script.ExpectMessage(u"The database “nothing” does not exist ...", u"Programmer");
    EXPECT_FALSE(RunMenuCommand(state, command));
    script.ExpectDialog(u"Database name").Close();
    EXPECT_FALSE(RunMenuCommand(state, command));
  }
  EXPECT_EQ(headless::MessagesShown().size(), 4u);
  // See data needs records as well.
  MakeDatabase(folder.path(), false);
  script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"shop").Click(kDatabaseNameAcceptId);
  script.ExpectMessage(u"No data", u"Programmer");
  RunMenuCommand(state, kCommandSeeData);
  EXPECT_FALSE(fs::exists(folder.fs() / "nothing"));
  EXPECT_FALSE(fs::exists(folder.fs() / "shop" / "shop.zbd"));
}

}  // namespace
}  // namespace zentora
