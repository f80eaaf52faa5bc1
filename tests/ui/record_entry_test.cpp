// Entering one record: the dialogs asked for each field, and the entries left in the data file.
#include "dialogs/record_entry.h"

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "dialogs/progress_dialog.h"
#include "platform/system.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using testing::ReadAll;
using testing::WriteAll;

const std::u16string kProcessed = u"Procesado ...";
const std::u16string kAbandon = u"¿Abandonar todo el registro? No se guardará nada de él ...";
const std::u16string kTooLong = u"Repetimos ....\r\nEl tamaño de los datos es mayor al configurado ...";
const std::u16string kImageChooser = u"Navegador de ficheros para imagen";
const std::u16string kSoundChooser = u"Navegador de ficheros para sonido";

FieldDefinition Field(const std::u16string& name, FieldType type, std::int16_t size, std::int16_t decimals = 0) {
  return FieldDefinition{0, PadFieldName(name), static_cast<std::int16_t>(type), size, decimals};
}

class RecordEntryTest : public testing::ScriptedTest {
 protected:
  // A database "Base" in a fresh program folder, with these fields and no data file yet.
  void MakeDatabase(const std::vector<FieldDefinition>& fields) {
    std::filesystem::create_directory(root.fs() / "Base");
    WriteAll(root.fs() / "Base" / "Base.z04", "");
    for (const FieldDefinition& field : fields) ASSERT_EQ(AppendFieldDefinition(db(), field), IoStatus::Ok);
  }
  Database db() const { return Database{root.path(), u"Base", busy_wait_ms}; }
  void Enter() { EnterRecord(texts, db(), attachments); }
  std::filesystem::path DataFile() const { return root.fs() / "Base" / "Base.zbd"; }
  // The question asked when another program holds the data file past the wait.
  std::u16string RetryHeld() const {
    return u"No se ha podido guardar el registro en la base de datos «Base»: otro programa lo tiene abierto: " +
           DataFile().u16string() + u". ¿Intentarlo de nuevo? Con No se abandona el registro ...";
  }
  std::u16string File(const std::string& name, const std::string& bytes) const {
    WriteAll(root.fs() / name, bytes);
    return (root.fs() / name).u16string();
  }
  std::vector<DataUnit> Entries() const {
    const std::string bytes = ReadAll(DataFile());
    std::vector<DataUnit> units;
    for (std::size_t at = 0; at + kDataUnitBytes <= bytes.size(); at += kDataUnitBytes)
      units.push_back(DecodeDataUnit(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at));
    return units;
  }

  // The user answers the string dialog with `value`; another program takes the data file
  // while the user types, and keeps it in `held`.
  void AnswerWhileAnotherTakesTheDataFile(const std::u16string& value, platform::FileHandle& held) {
    script.ExpectDialog(u"Insertar Cadena")
        .Type(1040, value)
        .Do([this, &held] {
          ASSERT_EQ(platform::OpenExclusive(DataFile().u16string(), platform::Access::Write, held),
                    platform::OpenStatus::Ok);
        })
        .Click(1041);
  }

  testing::TempFolder root;
  Texts texts{1};
  AttachmentsState attachments;
  unsigned busy_wait_ms = kBusyWaitMs;
};

TEST_F(RecordEntryTest, NameAgeAndPhotoMakeEightEntriesInFieldOrder) {
  MakeDatabase({Field(u"Nombre", FieldType::String, 5), Field(u"Edad", FieldType::Integer, 3),
                Field(u"Foto", FieldType::Image, 0)});
  const std::u16string photo = File("foto.jpg", "\xFF\xD8\x01");
  script.ExpectDialog(u"Insertar Cadena")
      .Inspect([](const headless::DialogState& shown) { EXPECT_EQ(shown.Control(1039).text, PadFieldName(u"Nombre")); })
      .Type(1040, u"Ana")
      .Click(1041);
  script.ExpectDialog(u"Insertar Datos Numéricos")
      .Inspect([](const headless::DialogState& shown) { EXPECT_EQ(shown.Control(1035).text, PadFieldName(u"Edad")); })
      .Type(1036, u"42")
      .Click(1037);
  script.ChooseFile(kImageChooser, photo).ExpectDialog(u"Dialog1").ExpectMessage(kProcessed, u"Programador");
  Enter();

  const std::vector<DataUnit> units = Entries();
  ASSERT_EQ(units.size(), 8u);
  const std::vector<std::int32_t> values = {u'A', u'n', u'a', u'4', u'2', 0xFF, 0xD8, 0x01};
  const std::vector<std::int32_t> ends = {0, 0, 1, 0, 1, 0, 0, 1};
  const std::vector<std::int16_t> types = {3, 3, 3, 2, 2, 6, 6, 6};
  for (std::size_t i = 0; i < units.size(); ++i) {
    EXPECT_EQ(units[i].unit, values[i]) << i;
    EXPECT_EQ(units[i].end_flag, ends[i]) << i;
    EXPECT_EQ(units[i].type, types[i]) << i;
    EXPECT_EQ(units[i].record, 1) << i;
  }
  EXPECT_EQ(units[0].name, PadFieldName(u"Nombre"));
  EXPECT_EQ(units[0].size, 5);
  EXPECT_EQ(units[7].name, PadFieldName(u"Foto"));
  // Byte by byte, as a store of one entry at a time shows it; the dialog is gone at the end.
  const headless::DialogState* progress = headless::FindDialog(u"Dialog1");
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->Control(1001).positions_shown, (std::vector<int>{33, 66, 100}));
  EXPECT_FALSE(progress->open);
}

TEST_F(RecordEntryTest, ATooLongValueIsAskedAgainUntilItFits) {
  MakeDatabase({Field(u"Nombre", FieldType::String, 5)});
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"Ramona").Click(1041);
  script.ExpectMessage(kTooLong, u"Programador");
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"Ramón").Click(1041);
  script.ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Nombre"), 1, u"-"), u"Ramón");
}

TEST_F(RecordEntryTest, LengthIsCountedInUtf16Units) {
  MakeDatabase({Field(u"Signo", FieldType::String, 1)});
  // One character outside the basic plane takes two units: too long for a size of 1.
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"\U0001F600").Click(1041);
  script.ExpectMessage(kTooLong);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"ñ").Click(1041);
  script.ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(RecordEntryTest, EnglishMessages) {
  texts.language = 5;
  MakeDatabase({Field(u"Code", FieldType::Integer, 2)});
  script.ExpectDialog(u"Insert Numeric data").Type(1036, u"123").Click(1037);
  script.ExpectMessage(u"We repeat ...\r\nThe size of the data is greater than the configured ...", u"Programmer");
  script.ExpectDialog(u"Insert Numeric data").Type(1036, u"12").Click(1037);
  script.ExpectMessage(u"Processed ...", u"Programmer");
  Enter();
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Code"), 1, u"-"), u"12");
}

TEST_F(RecordEntryTest, LogicalAndMemoValues) {
  MakeDatabase({Field(u"Activo", FieldType::Logical, 1), Field(u"Notas", FieldType::Memo, 100),
                Field(u"Precio", FieldType::Decimal, 8, 2)});
  script.ExpectDialog(u"Insertar respuesta lógica").Click(1044).Click(1045).Click(1046);
  script.ExpectDialog(u"Insertar MemoText").Type(1048, u"uno\r\ndos").Click(1049);
  script.ExpectDialog(u"Insertar Datos Numéricos").Type(1036, u"3,50").Click(1037);
  script.ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Activo"), 1, u"-"), u"0");
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Notas"), 1, u"-"), u"uno\r\ndos");
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Precio"), 1, u"-"), u"3,50");
  EXPECT_EQ(Entries().size(), 1u + 8u + 4u);
  EXPECT_EQ(Entries()[1].decimals, 0);
  EXPECT_EQ(Entries().back().decimals, 2);
}

TEST_F(RecordEntryTest, AClosedDialogStoresNothingNotTheValueBefore) {
  MakeDatabase({Field(u"Uno", FieldType::String, 10), Field(u"Dos", FieldType::String, 10),
                Field(u"Tres", FieldType::Logical, 1)});
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"abc").Click(1041);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"olvidado").Close().AnswerQuestion(kAbandon, false);
  script.ExpectDialog(u"Insertar respuesta lógica").Click(1046);  // accepted with no answer
  script.ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(Entries().size(), 3u);
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Dos"), 1, u"-"), u"-");
  EXPECT_EQ(ReadFieldText(db(), PadFieldName(u"Tres"), 1, u"-"), u"-");
}

TEST_F(RecordEntryTest, ACancelledImageChooserStoresNothingAndGoesOn) {
  MakeDatabase({Field(u"Foto", FieldType::Image, 0), Field(u"Pie", FieldType::String, 20)});
  script.CancelFile(kImageChooser);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"sin foto").Click(1041);
  script.ExpectMessage(kProcessed);
  Enter();
  const std::vector<DataUnit> units = Entries();
  ASSERT_EQ(units.size(), 8u);
  for (const DataUnit& unit : units) EXPECT_EQ(unit.name, PadFieldName(u"Pie"));
  EXPECT_EQ(headless::FindDialog(u"Dialog1"), nullptr);
}

TEST_F(RecordEntryTest, AZeroFieldStructureIsProcessedAtOnce) {
  MakeDatabase({});
  script.ExpectMessage(kProcessed, u"Programador");
  Enter();
  EXPECT_TRUE(std::filesystem::exists(DataFile()));
  EXPECT_EQ(std::filesystem::file_size(DataFile()), 0u);
}

TEST_F(RecordEntryTest, FieldsOfAnUnknownTypeAreSkipped) {
  FieldDefinition odd = Field(u"Raro", FieldType::String, 5);
  odd.type = 9;
  MakeDatabase({odd, Field(u"Bien", FieldType::String, 5)});
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"si").Click(1041).ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(Entries().size(), 2u);
}

TEST_F(RecordEntryTest, EmptyRunsLeaveTheRecordNumberFree) {
  MakeDatabase({Field(u"Nombre", FieldType::String, 5)});
  const FieldDefinition field = Field(u"Nombre", FieldType::String, 5);
  ASSERT_EQ(AppendTextUnits(db(), field, 3, u"Eva", true), IoStatus::Ok);
  script.ExpectDialog(u"Insertar Cadena").Click(1041).ExpectMessage(kProcessed);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"Luis").Close().AnswerQuestion(kAbandon, false);
  script.ExpectMessage(kProcessed);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"Luis").Click(1041).ExpectMessage(kProcessed);
  Enter();
  Enter();
  EXPECT_EQ(Entries().size(), 3u);
  Enter();
  ASSERT_EQ(Entries().size(), 7u);
  EXPECT_EQ(Entries().back().record, 4);
}

TEST_F(RecordEntryTest, ADataFileHeldElsewhereIsReportedBeforeAnythingIsAsked) {
  MakeDatabase({Field(u"Nombre", FieldType::String, 5)});
  busy_wait_ms = 50;
  platform::FileHandle held;
  ASSERT_EQ(platform::OpenExclusive(DataFile().u16string(), platform::Access::Write, held), platform::OpenStatus::Ok);
  script.ExpectMessage(u"No se puede abrir el fichero de datos de la base de datos «Base»: otro programa lo tiene "
                       u"abierto: " + DataFile().u16string() + u". No se ha guardado nada ... Inténtelo de nuevo ...",
                       u"Programador");
  Enter();
  platform::CloseFile(held);
  EXPECT_EQ(std::filesystem::file_size(DataFile()), 0u);
  EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

TEST_F(RecordEntryTest, AStructureFileHeldElsewhereIsReportedAndNothingIsStored) {
  MakeDatabase({Field(u"Nombre", FieldType::String, 5)});
  busy_wait_ms = 50;
  platform::FileHandle held;
  ASSERT_EQ(platform::OpenExclusive((root.fs() / "Base" / "Base.z04").u16string(), platform::Access::Read, held),
            platform::OpenStatus::Ok);
  script.ExpectMessage(u"No se puede leer la estructura de la base de datos «Base»: otro programa lo tiene abierto: " +
                           (root.fs() / "Base" / "Base.z04").u16string() +
                           u". No se ha guardado nada ... Inténtelo de nuevo ...",
                       u"Programador");
  Enter();
  platform::CloseFile(held);
  EXPECT_EQ(std::filesystem::file_size(DataFile()), 0u);
  EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

TEST_F(RecordEntryTest, AHeldDataFileAsksToTryAgainAndNoAbandonsTheRecord) {
  MakeDatabase({Field(u"Uno", FieldType::String, 5), Field(u"Dos", FieldType::String, 5)});
  busy_wait_ms = 50;
  platform::FileHandle held;
  const std::u16string retry = RetryHeld();
  AnswerWhileAnotherTakesTheDataFile(u"abc", held);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"def").Click(1041);
  // The record is stored once every value is given: the wait is shown, the held file is named
  // once it runs out, and each yes tries again with the values kept.
  script.ExpectDialog(u"Programador").AnswerQuestion(retry, true).ExpectDialog(u"Programador").AnswerQuestion(retry, false);
  Enter();
  platform::CloseFile(held);
  EXPECT_EQ(std::filesystem::file_size(DataFile()), 0u);
  EXPECT_EQ(headless::QuestionsShown().size(), 2u);
  for (const headless::MessageShown& message : headless::MessagesShown()) EXPECT_NE(message.text, kProcessed);
}

// A data file no record can follow (no number above zero, or the largest there is) is
// reported before the first question, so nobody answers for a record that cannot be stored.
TEST_F(RecordEntryTest, ADataFileNoRecordCanFollowIsReportedBeforeTheFirstQuestion) {
  const FieldDefinition nombre = Field(u"Nombre", FieldType::String, 5);
  const std::vector<std::vector<std::int64_t>> files = {
      {0}, {-3}, {std::numeric_limits<std::int64_t>::max()}, {1, std::numeric_limits<std::int64_t>::max(), 2}};
  for (const std::vector<std::int64_t>& records : files) {
    SCOPED_TRACE(::testing::PrintToString(records));
    std::filesystem::remove_all(root.fs() / "Base");
    MakeDatabase({nombre});
    for (const std::int64_t record : records) ASSERT_EQ(AppendTextUnits(db(), nombre, record, u"x", true), IoStatus::Ok);
    script.ExpectMessage(texts.Filled(text::kDataFileDamaged, u"«Base»") + u"\r\nfichero dañado: " + DataFile().u16string(),
                         u"Programador");
    Enter();
    EXPECT_EQ(Entries().size(), records.size());
  }
  for (const headless::MessageShown& message : headless::MessagesShown()) EXPECT_NE(message.text, kProcessed);
}

// A higher number before the last entry no longer locks the database out: the record takes
// one above the highest.
TEST_F(RecordEntryTest, ARecordFollowsTheHighestNumberWhereverItStands) {
  const FieldDefinition nombre = Field(u"Nombre", FieldType::String, 5);
  MakeDatabase({nombre});
  for (const std::int64_t record : {1, 9, 2}) ASSERT_EQ(AppendTextUnits(db(), nombre, record, u"x", true), IoStatus::Ok);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"Ana").Click(1041);
  script.ExpectMessage(kProcessed, u"Programador");
  Enter();
  EXPECT_EQ(LastRecordNumber(db()), 10);
}

// While another program holds the data file, the progress dialog says so and the wait goes
// on past the usual one until the user gives it up, with Cancel or with Escape; the question
// to try again follows. The file is let go right after the user gives up: had the wait gone
// on, the record would be stored without a question.
TEST_F(RecordEntryTest, TheWaitForAHeldDataFileIsShownAndTheUserGivesItUp) {
  struct Case {
    const char* what;
    std::function<void(headless::Script&)> give_up;
    bool try_again;
    std::size_t entries;
  };
  const Case cases[] = {
      {"Cancel, then no", [](headless::Script& s) { s.Click(kWaitingCancelId); }, false, 0},
      {"Escape, then yes", [](headless::Script& s) { s.Press(headless::Keystroke::Escape); }, true, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(root.fs() / "Base");
    MakeDatabase({Field(u"Nombre", FieldType::String, 5)});
    ASSERT_EQ(TryLastRecordNumber(db()).status, IoStatus::Ok);
    busy_wait_ms = 20;  // the usual wait: the entry's own goes on well past it
    platform::FileHandle held{};
    AnswerWhileAnotherTakesTheDataFile(u"Ana", held);
    script.ExpectDialog(u"Programador").Inspect([&](const headless::DialogState& shown) {
      EXPECT_TRUE(shown.visible);
      EXPECT_FALSE(shown.modal);
      EXPECT_EQ(shown.Control(kWaitingLineId).text, texts.Filled(text::kDataFileInUseWaiting, u"«Base»"));
      EXPECT_EQ(shown.Control(kWaitingCancelId).text, u"Cancelar");
      EXPECT_EQ(shown.focus, kWaitingCancelId);
    });
    c.give_up(script);
    script.Do([&] { platform::CloseFile(held); });
    script.AnswerQuestion(RetryHeld(), c.try_again);
    if (c.try_again) script.ExpectMessage(kProcessed);
    Enter();
    EXPECT_EQ(script.Leftover(), "");
    EXPECT_EQ(Entries().size(), c.entries);
    const headless::DialogState* waiting = headless::FindDialog(u"Programador");
    ASSERT_NE(waiting, nullptr);
    EXPECT_FALSE(waiting->open) << "the dialog ends with the wait";
  }
}

TEST_F(RecordEntryTest, AFolderInPlaceOfTheDataFileIsNamedAsNotAFile) {
  MakeDatabase({Field(u"Nombre", FieldType::String, 5)});
  std::filesystem::create_directory(DataFile());
  script.ExpectMessage(u"No se puede abrir el fichero de datos de la base de datos «Base»: no es un fichero normal (es una "
                       u"carpeta, una tubería o un dispositivo): " + DataFile().u16string() +
                       u". No se ha guardado nada ...",
                       u"Programador");
  Enter();
  EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

// Attachments last: they go through the choosers of the attachments subsystem.

TEST_F(RecordEntryTest, ALargeSoundGoesInChunksUnderTheProgressBar) {
  MakeDatabase({Field(u"Voz", FieldType::WavSound, 0)});
  std::string sound(65536 * 2 + 5, '\0');
  for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<char>(i * 7 + i / 251);
  const std::u16string path = File("voz.wav", sound);
  script.ChooseFile(kSoundChooser, path).ExpectDialog(u"Dialog1").ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(ReadFieldBytes(db(), PadFieldName(u"Voz"), 1), sound);
  const std::vector<DataUnit> units = Entries();
  ASSERT_EQ(units.size(), sound.size());
  // The end flag only on the very last byte, not at the end of every chunk.
  std::size_t flagged = 0;
  for (const DataUnit& unit : units) flagged += unit.end_flag != 0;
  EXPECT_EQ(flagged, 1u);
  EXPECT_EQ(units.back().end_flag, 1);
  // Runs of at most a hundredth of the file: the bar is set at every whole percent, one
  // step at a time, and ends full.
  const headless::DialogState* progress = headless::FindDialog(u"Dialog1");
  ASSERT_NE(progress, nullptr);
  const std::vector<int>& shown = progress->Control(1001).positions_shown;
  ASSERT_FALSE(shown.empty());
  EXPECT_LE(shown.front(), 1);
  EXPECT_EQ(shown.back(), 100);
  for (std::size_t i = 1; i < shown.size(); ++i) {
    EXPECT_GE(shown[i], shown[i - 1]) << i;
    EXPECT_LE(shown[i] - shown[i - 1], 1) << i;
  }
  EXPECT_GE(headless::PumpCount(), 100);
  EXPECT_EQ(attachments.last_path, path);
}

TEST_F(RecordEntryTest, AnEmptyChosenFileStoresNothing) {
  MakeDatabase({Field(u"Foto", FieldType::Image, 0)});
  script.ChooseFile(kImageChooser, File("vacia.jpg", "")).ExpectMessage(kProcessed);
  Enter();
  EXPECT_EQ(Entries().size(), 0u);
  EXPECT_EQ(headless::FindDialog(u"Dialog1"), nullptr);
}

TEST_F(RecordEntryTest, AnUnreadableChosenFileIsReportedAndTheEntryGoesOn) {
  MakeDatabase({Field(u"Foto", FieldType::Image, 0), Field(u"Pie", FieldType::String, 5)});
  const std::u16string photo = File("ocupada.jpg", "abc");
  platform::FileHandle held;
  ASSERT_EQ(platform::OpenExclusive(photo, platform::Access::Read, held), platform::OpenStatus::Ok);
  // The picture is read when the record is stored, after the last question.
  script.ChooseFile(kImageChooser, photo);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"ok").Click(1041);
  script.ExpectMessage(texts.Text(text::kChosenFileUnreadable)).ExpectMessage(kProcessed);
  Enter();
  platform::CloseFile(held);
  const std::vector<DataUnit> units = Entries();
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(units[0].name, PadFieldName(u"Pie"));
}

}  // namespace
}  // namespace zentora
