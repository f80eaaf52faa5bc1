// Failures said with their reason, and message boxes that fit the screen whatever they say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialogs/database_dialogs.h"
#include "dialogs/entry_dialogs.h"
#include "platform/system.h"
#include "platform/text_wrap.h"
#include "platform/headless/script.h"
#include "sample_records.h"
#include "scripted_test.h"
#include "shell/main_window.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;

// The text without its spaces and line breaks: what no wrapping may lose.
std::u16string Letters(const std::u16string& text) {
  std::u16string letters;
  for (char16_t c : text)
    if (c != u' ' && c != u'\r' && c != u'\n') letters += c;
  return letters;
}

// The box fits the work area, every line the text width, and every letter is still there.
void ExpectFits(const headless::MessageShown& shown, const headless::MessageLayout& layout,
                const platform::Rect& area) {
  EXPECT_LE(layout.width, area.cx);
  std::u16string all;
  for (const std::u16string& line : layout.lines) {
    EXPECT_LE(static_cast<int>(line.size()) * headless::kModelLetterWidth, platform::MessageTextWidth(area)) << "a line too wide";
    all += line;
  }
  EXPECT_EQ(Letters(all), Letters(shown.text));
}

class MessageWidthTest : public testing::ScriptedTest {};

TEST_F(MessageWidthTest, ABoxNeverGrowsWiderThanTheWorkArea) {
  const std::u16string path = u"/home/ana/" + std::u16string(300, u'x') + u"/Base.zbd";
  const std::u16string texts[] = {
      path,
      u"The data file of the database “Base” cannot be read: held open by another program: " + path + u".",
      u"Short.",
      u"Two lines\r\nof words, the second one with " + std::u16string(80, u'y') + u" in it",
      u"A pair: \U0001F600" + std::u16string(100, u'z') + u"\U0001F600\U0001F600",
  };
  const platform::Rect areas[] = {{0, 0, 1280, 1024}, {0, 0, 800, 600}, {0, 0, 640, 480}, {0, 0, 200, 200}};
  for (const platform::Rect& area : areas) {
    script.UseWorkArea(area);
    for (const std::u16string& text : texts) {
      script.ExpectMessage(text);
      platform::ShowMessage(text, u"Programmer", u"OK");
      SCOPED_TRACE(area.cx);
      ExpectFits(headless::MessagesShown().back(), headless::MessageLayouts().back(), area);
    }
  }
  // A short text stays one line; the paragraphs stay apart.
  EXPECT_EQ(headless::MessageLayouts()[2].lines, std::vector<std::u16string>{u"Short."});
  EXPECT_EQ(headless::MessageLayouts()[3].lines.front(), u"Two lines");
}

TEST(WrapText, BreaksAtSpacesAndInsideWordsTooWideForALine) {
  const platform::MeasureText letters = [](std::u16string_view line) { return static_cast<int>(line.size()); };
  struct Case {
    std::u16string text;
    int width;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {u"one two three", 20, {u"one two three"}},
      {u"one two three", 7, {u"one two", u"three"}},
      {u"abcdefghij", 4, {u"abcd", u"efgh", u"ij"}},
      {u"ab abcdefgh c", 4, {u"ab", u"abcd", u"efgh", u"c"}},
      {u"a\r\nb\nc", 10, {u"a", u"b", u"c"}},
      {u"", 5, {u""}},
      {u"\U0001F600\U0001F600", 3, {u"\U0001F600", u"\U0001F600"}},  // a pair is never split
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(platform::WrapText(c.text, c.width, letters), c.lines);
  }
}

class ProgramFolderTest : public testing::ScriptedTest {
 protected:
  testing::TempFolder program;
};

// Names of 253 units leave an empty folder where a file system takes names of 255: the folder
// fits, its files do not. The name dialog refuses them before anything is made.
TEST_F(ProgramFolderTest, IsRefusedInTheNameDialogAndNoFolderIsMade) {
  struct Case {
    std::int32_t language;
    std::u16string message;  // "%1": the program folder
  };
  const Case cases[] = {
      {1, u"El nombre es demasiado largo para el sistema de ficheros: los ficheros de la base de datos no cabrían "
          u"en la carpeta %1. Use un nombre más corto ..."},
      {5, u"The name is too long for the file system: the files of the database would not fit in the folder %1. "
          u"Use a shorter name ..."},
  };
  const platform::Rect screen{0, 0, 800, 600};
  script.UseWorkArea(screen);
  for (const Case& c : cases) {
    AppState state = MakeAppState(program.path(), c.language);
    const std::u16string title = state.shell.texts.Text(text::kDatabaseNameTitle);
    std::u16string message = c.message;
    message.replace(message.find(u"%1"), 2, program.path());
    script.ExpectDialog(title).Type(kDatabaseNameEditId, std::u16string(253, u'n')).Click(kDatabaseNameAcceptId);
    script.ExpectMessage(message, state.shell.texts.MessageCaption());
    script.Type(kDatabaseNameEditId, std::u16string(260, u'w')).Click(kDatabaseNameAcceptId);
    script.ExpectMessage(message, state.shell.texts.MessageCaption());
    script.Close();
    RunMenuCommand(state, kCommandNewDatabase);
    EXPECT_TRUE(fs::is_empty(program.fs())) << "no folder is left behind";
    ExpectFits(headless::MessagesShown().back(), headless::MessageLayouts().back(), screen);
  }
}

TEST_F(ProgramFolderTest, ANameWhoseFilesFitIsTaken) {
  const Texts texts{5};
  // With ".z04", 255 units: the most one name may have on the usual file systems.
  script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, std::u16string(251, u'n')).Click(kDatabaseNameAcceptId);
  EXPECT_EQ(ShowDatabaseNameDialog(texts, program.path()), std::u16string(251, u'n'));
  EXPECT_TRUE(DatabaseNameFits(program.path(), std::u16string(251, u'n')));
  EXPECT_FALSE(DatabaseNameFits(program.path(), std::u16string(252, u'n')));
}

// A read-only data file (the read-only attribute on Windows): the record is not stored, the
// message says why and names the file, and no question offers a try that cannot work.
TEST_F(ProgramFolderTest, AReadOnlyDataFileIsSaidAndNoTryAgainIsOffered) {
  const Database db{program.path(), u"Base"};
  const FieldDefinition name = testing::Field(u"Nombre", FieldType::String, 5);
  testing::MakeDatabaseFolder(db);
  testing::Define(db, name);
  testing::Store(db, name, 1, u"Ana");
  const fs::path data(DataFilePath(db));
  fs::permissions(data, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (std::ofstream(data, std::ios::app)) {
    fs::permissions(data, fs::perms::owner_write, fs::perm_options::add);
    GTEST_SKIP() << "this user writes read-only files (root): the read-only run as another user covers it";
  }
  AppState state = MakeAppState(program.path(), 5);
  script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"Base").Click(kDatabaseNameAcceptId);
  script.ExpectDialog(u"Insert text string").Type(kTextEntryEditId, u"Luis").Click(kTextEntryAcceptId);
  script.ExpectMessage(u"The record could not be stored in the database “Base”: permission denied (read-only or no access): " +
                       DataFilePath(db) + u". Nothing of it was stored ...");
  RunMenuCommand(state, kCommandInsertData);
  EXPECT_TRUE(headless::QuestionsShown().empty());
  fs::permissions(data, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(LastRecordNumber(db), 1);
}

}  // namespace
}  // namespace zentora
