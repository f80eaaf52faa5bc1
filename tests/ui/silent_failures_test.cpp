// Failures a user would otherwise miss, each said in a message of the program's own group in
// both languages: a file another program holds past the wait, a desktop with no program for a
// stored picture or sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "attachments/attachments.h"
#include "dialogs/database_dialogs.h"
#include "dialogs/value_viewers.h"
#include "platform/system.h"
#include "platform/headless/script.h"
#include "sample_records.h"
#include "scripted_test.h"
#include "shell/main_window.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using testing::Field;

struct LanguageCase {
  std::int32_t language;
  std::u16string data_held;       // for the database "agenda", before and after the data file's path
  std::u16string structure_held;  // the same, around the structure file's path
  std::u16string opener_missing;  // before the cache file's path
};

const std::vector<LanguageCase> kLanguages = {
    {1, u"No se puede leer el fichero de datos de la base de datos «agenda»: otro programa lo tiene abierto: "
        u"%1. Inténtelo de nuevo ...",
     u"No se ha guardado el campo en la base de datos «agenda»: otro programa lo tiene abierto: %1. "
     u"Inténtelo de nuevo ...",
     u"No hay programa para abrirlo. El fichero está en la carpeta caché; ábralo a mano:\r\n"},
    {5, u"The data file of the database “agenda” cannot be read: held open by another program: %1. Try again ...",
     u"The field was not stored in the database “agenda”: held open by another program: %1. Try again ...",
     u"No program could open it. The file is in the cache folder; open it by hand:\r\n"},
};

// The message with the file's path in place of its "%1".
std::u16string Naming(std::u16string message, const std::u16string& path) {
  return message.replace(message.find(u"%1"), 2, path);
}

class SilentFailuresTest : public testing::ScriptedTest {
 protected:
  void SetUp() override {
    testing::MakeDatabaseFolder(db);
    testing::Define(db, name);
    testing::Define(db, photo);
    testing::Store(db, name, 1, u"Ana");
    testing::StoreBytes(db, photo, 1, "\xff\xd8 picture");
  }
  // Another program holds the file for the rest of the test.
  void Hold(const std::u16string& path) {
    ASSERT_EQ(platform::OpenExclusive(path, platform::Access::Write, held), platform::OpenStatus::Ok);
  }
  void TearDown() override {
    platform::CloseFile(held);
    testing::ScriptedTest::TearDown();
  }

  testing::TempFolder folder;
  Database db{folder.path(), u"agenda", 50};
  FieldDefinition name = Field(u"Nombre", FieldType::String, 5);
  FieldDefinition photo = Field(u"Foto", FieldType::Image, 0);
  platform::FileHandle held;
};

TEST_F(SilentFailuresTest, AHeldDataFileIsSaidNotShownAsNoData) {
  Hold(DataFilePath(db));
  for (const LanguageCase& c : kLanguages) {
    const Texts texts{c.language};
    // Every viewer and the picture: the message, and no viewer opens.
    for (int i = 0; i < 5; ++i) script.ExpectMessage(Naming(c.data_held, DataFilePath(db)), texts.MessageCaption());
    const ValueOnShow value{db, name.name, 1};
    ShowNumberViewer(texts, value);
    ShowTextViewer(texts, value);
    ShowLogicalViewer(texts, value);
    ShowMemoViewer(texts, value);
    OpenAttachment(texts, AttachmentsState{{}, folder.path()}, db, AttachmentKind::Image, u"Foto", 1);
  }
  EXPECT_TRUE(headless::Dialogs().empty());
  EXPECT_TRUE(headless::ShellOpens().empty());
}

TEST_F(SilentFailuresTest, ADesktopWithNoProgramForThePictureSaysWhereTheFileIs) {
  script.FailShellOpens();
  const std::u16string cache = folder.path();
  for (const LanguageCase& c : kLanguages) {
    const Texts texts{c.language};
    script.ExpectMessageStarting(c.opener_missing + cache + u"image_1_", texts.MessageCaption());
    OpenAttachment(texts, AttachmentsState{{}, cache}, db, AttachmentKind::Image, u"Foto", 1);
  }
  // The message names the file the desktop was given, which stays for the user to open.
  ASSERT_EQ(headless::ShellOpens().size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(headless::MessagesShown()[i].text, kLanguages[i].opener_missing + headless::ShellOpens()[i]);
    EXPECT_TRUE(platform::PathExists(headless::ShellOpens()[i]));
  }
}

TEST_F(SilentFailuresTest, AHeldStructureKeepsTheNewFieldOutAndSaysSo) {
  for (const LanguageCase& c : kLanguages) {
    testing::TempFolder program;
    AppState state = MakeAppState(program.path(), c.language);
    state.busy_wait_ms = 50;
    const Database fresh = state.DatabaseNamed(u"agenda");
    testing::MakeDatabaseFolder(fresh);
    testing::Define(fresh, name);
    platform::FileHandle structure;
    ASSERT_EQ(platform::OpenExclusive(StructureFilePath(fresh), platform::Access::Write, structure),
              platform::OpenStatus::Ok);
    // The name check reads the structure after the wait, finds no name, and the append is refused.
    script.ExpectDialog(state.shell.texts.Text(text::kDatabaseNameTitle))
        .Type(kDatabaseNameEditId, u"agenda")
        .Click(kDatabaseNameAcceptId)
        .ExpectDialog(state.shell.texts.Text(text::kDefineFieldTitle))
        .Type(kFieldNameEditId, u"Edad")
        .Click(kIntegerOptionId)
        .Type(kSizeEditId, u"3")
        .Click(kFieldAcceptId)
        .ExpectMessage(Naming(c.structure_held, StructureFilePath(fresh)), state.shell.texts.MessageCaption());
    RunMenuCommand(state, kCommandNewField);
    platform::CloseFile(structure);
    EXPECT_EQ(ReadStructure(fresh).value.size(), 1u);
  }
}

}  // namespace
}  // namespace zentora
