// The dialogs by keyboard alone, played through the headless runner, which keeps the rules
// of the desktop runners: Tab through the controls, Enter on the accept button (a memo keeps
// it as a new line), Escape as the close command, arrows in option groups and on the
// browser's field page.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialogs/database_dialogs.h"
#include "dialogs/entry_dialogs.h"
#include "dialogs/record_browser.h"
#include "dialogs/record_entry.h"
#include "platform/encoding.h"
#include "platform/headless/script.h"
#include "platform/system.h"
#include "sample_records.h"
#include "scripted_test.h"
#include "shell/about_box.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using headless::Keystroke;
using testing::Field;

const std::u16string kAbandon = u"¿Abandonar todo el registro? No se guardará nada de él ...";

class KeyboardTest : public testing::ScriptedTest {
 protected:
  Texts texts{1};
};

TEST_F(KeyboardTest, EnterAcceptsEveryOneLineAndTextEntryButTheMemoKeepsItAsANewLine) {
  struct Case {
    std::optional<std::u16string> (*show)(const Texts&, const std::u16string&, const std::u16string&);
    std::u16string caption;
    int edit;
    Keystroke accept;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {ShowNumberEntry, u"Insertar Datos Numéricos", kNumberEntryEditId, Keystroke::Enter, u"12"},
      {ShowTextEntry, u"Insertar Cadena", kTextEntryEditId, Keystroke::Enter, u"12"},
      // Enter in the memo is a new line; Ctrl+Enter accepts.
      {ShowMemoEntry, u"Insertar MemoText", kMemoEntryEditId, Keystroke::CtrlEnter, u"12\r\n"},
  };
  for (const Case& c : cases) {
    script.ExpectDialog(c.caption).Type(c.edit, u"12");
    if (c.accept == Keystroke::CtrlEnter) script.Press(Keystroke::Enter);
    script.Press(c.accept);
  }
  for (const Case& c : cases) EXPECT_EQ(c.show(texts, u"Campo", u""), c.expected) << platform::Utf16ToUtf8(c.caption);
}

TEST_F(KeyboardTest, EscapeIsTheCloseCommandWhereAWindowHasACloseBox) {
  // An entry dialog closes (and gives nothing); the About box, which has no close box, stays.
  script.ExpectDialog(u"Insertar Cadena").Type(kTextEntryEditId, u"x").Press(Keystroke::Escape);
  script.ExpectDialog(u"Autor").Press(Keystroke::Escape).Inspect([](const headless::DialogState& shown) {
    EXPECT_TRUE(shown.open);
  });
  script.Press(Keystroke::Enter);  // its one button has the focus
  EXPECT_EQ(ShowTextEntry(texts, u"Campo", u""), std::nullopt);
  ShellState shell;
  ShowAboutBox(shell);
}

TEST_F(KeyboardTest, TabWalksTheDefineFieldDialogAndArrowsChooseTheType) {
  script.ExpectDialog(u"Define un campo").Type(kFieldNameEditId, u"Nombre");
  const std::vector<int> order = {kDecimalOptionId, kKeyBoxId, kSizeEditId, kDecimalsEditId, kFieldAcceptId,
                                  kFieldNameEditId};
  for (int id : order) {
    script.Press(Keystroke::Tab).Inspect([id](const headless::DialogState& shown) { EXPECT_EQ(shown.focus, id); });
  }
  // Shift+Tab walks back; then into the type group, where two steps down is String, which
  // greys the decimals and drops them from the tab order.
  script.Press(Keystroke::ShiftTab).Inspect([](const headless::DialogState& shown) {
    EXPECT_EQ(shown.focus, kFieldAcceptId);
  });
  script.Press(Keystroke::Tab).Press(Keystroke::Tab);
  script.Press(Keystroke::Down).Press(Keystroke::Down).Inspect([](const headless::DialogState& shown) {
    EXPECT_EQ(shown.focus, kStringOptionId);
    EXPECT_TRUE(shown.Control(kStringOptionId).checked);
    EXPECT_FALSE(shown.Control(kDecimalOptionId).checked);
    EXPECT_FALSE(shown.Control(kDecimalsEditId).enabled);
  });
  script.Press(Keystroke::Tab).Press(Keystroke::Tab).Inspect([](const headless::DialogState& shown) {
    EXPECT_EQ(shown.focus, kSizeEditId);
  });
  script.Type(kSizeEditId, u"20").Press(Keystroke::Enter);
  const std::optional<FieldDefinition> field = ShowDefineFieldDialog(texts);
  ASSERT_TRUE(field);
  EXPECT_EQ(field->type, 3);
  EXPECT_EQ(field->size, 20);
}

TEST_F(KeyboardTest, ARefusedNameGivesTheFocusBackToTheEdit) {
  script.ExpectDialog(u"Nombre base de datos").Type(kDatabaseNameEditId, u"a:b").Press(Keystroke::Tab);
  script.Press(Keystroke::Enter).ExpectMessage(texts.Text(text::kInvalidName));
  script.Inspect([](const headless::DialogState& shown) { EXPECT_EQ(shown.focus, kDatabaseNameEditId); });
  script.Type(kDatabaseNameEditId, u"ab").Press(Keystroke::Enter);
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), u"ab");
}

class KeyboardRecordTest : public KeyboardTest {
 protected:
  void SetUp() override {
    testing::MakeDatabaseFolder(db);
    testing::Define(db, name);
    testing::Define(db, notes);
  }
  std::int64_t Records() const { return LastRecordNumber(db); }

  testing::TempFolder folder;
  Database db{folder.path(), u"agenda"};
  FieldDefinition name = Field(u"Nombre", FieldType::String, 5);
  FieldDefinition notes = Field(u"Notas", FieldType::Memo, 100);
  AttachmentsState attachments;
};

TEST_F(KeyboardRecordTest, AbandoningARecordStoresNothingOfIt) {
  script.ExpectDialog(u"Insertar Cadena").Type(kTextEntryEditId, u"Ana").Press(Keystroke::Enter);
  script.ExpectDialog(u"Insertar MemoText").Press(Keystroke::Escape).AnswerQuestion(kAbandon, true);
  EnterRecord(texts, db, attachments);
  EXPECT_EQ(Records(), 0);
  EXPECT_TRUE(headless::MessagesShown().empty()) << "no Procesado";
  ASSERT_EQ(headless::QuestionsShown().size(), 1u);
  EXPECT_EQ(headless::QuestionsShown()[0].caption, u"Programador");
}

TEST_F(KeyboardRecordTest, NotAbandoningLeavesTheFieldEmptyAndTheRecordGoesIn) {
  script.ExpectDialog(u"Insertar Cadena").Press(Keystroke::Escape).AnswerQuestion(kAbandon, false);
  script.ExpectDialog(u"Insertar MemoText").Type(kMemoEntryEditId, u"nota").Press(Keystroke::CtrlEnter);
  script.ExpectMessage(u"Procesado ...");
  EnterRecord(texts, db, attachments);
  EXPECT_EQ(Records(), 1);
  EXPECT_EQ(ReadFieldText(db, name.name, 1, u"-"), u"-");
  EXPECT_EQ(ReadFieldText(db, notes.name, 1, u"-"), u"nota");
}

TEST_F(KeyboardRecordTest, AValueTooLongComesBackAsTyped) {
  script.ExpectDialog(u"Insertar Cadena").Type(kTextEntryEditId, u"Anabel").Press(Keystroke::Enter);
  script.ExpectMessage(u"Repetimos ....\r\nEl tamaño de los datos es mayor al configurado ...");
  script.ExpectDialog(u"Insertar Cadena").Inspect([](const headless::DialogState& shown) {
    EXPECT_EQ(shown.Control(kTextEntryEditId).text, u"Anabel");
  });
  script.Type(kTextEntryEditId, u"Ana").Press(Keystroke::Enter);
  script.ExpectDialog(u"Insertar MemoText").Press(Keystroke::CtrlEnter).ExpectMessage(u"Procesado ...");
  EnterRecord(texts, db, attachments);
  EXPECT_EQ(ReadFieldText(db, name.name, 1, u"-"), u"Ana");
}

TEST_F(KeyboardRecordTest, TheBrowserByKeyboard) {
  for (std::int64_t record : {1, 2, 3}) testing::Store(db, name, record, u"R" + std::u16string(1, u'0' + record));
  RecordBrowserState browser;
  const auto position = [](const std::u16string& expected) {
    return [expected](const headless::DialogState& shown) {
      EXPECT_EQ(shown.Control(kBrowserPositionId).text, expected);
    };
  };
  script.ExpectDialog(u"Visualización")
      .Inspect([](const headless::DialogState& shown) { EXPECT_EQ(shown.focus, kBrowserSurfaceId); })
      .Press(Keystroke::Right).Inspect(position(u"2 de 3"))
      .Press(Keystroke::PageDown).Press(Keystroke::PageDown).Inspect(position(u"3 de 3"))
      .Press(Keystroke::Left).Inspect(position(u"2 de 3"))
      // The mark goes onto the first line; Enter opens its value as a click does.
      .Press(Keystroke::Down).Press(Keystroke::Up)
      .Inspect([](const headless::DialogState& shown) {
        const std::vector<headless::DrawOp>& picture = shown.Control(kBrowserSurfaceId).picture;
        ASSERT_FALSE(picture.empty());
        bool marked = false;
        for (const headless::DrawOp& op : picture) {
          marked = marked || (op.kind == headless::DrawOp::Kind::Box && op.colour == platform::kMarkBlue && op.rect.y == 0);
        }
        EXPECT_TRUE(marked);
      })
      .Press(Keystroke::Enter);
  script.ExpectDialog(u"Visualizar cadena")
      .Inspect([](const headless::DialogState& shown) { EXPECT_EQ(shown.Control(1085).text, u"R2"); })
      .Press(Keystroke::Enter);
  script.Press(Keystroke::Letter, u'G').AnswerInput(u"De 1 a 3", u"1").Inspect(position(u"1 de 3"));
  script.Press(Keystroke::Escape);
  ShowRecordBrowser(texts, db, browser, attachments);
  EXPECT_EQ(browser.current_record, 1);
}

}  // namespace
}  // namespace zentora
