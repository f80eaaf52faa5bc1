// Record entry on a full disk, made cheaply through the file-size limit of a forked child.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/headless/script.h"
#include "storage/data_file.h"
#include "dialogs/record_entry.h"
#include "storage/structure_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;

TEST(RecordEntryFullDisk, AnAttachmentThatDoesNotFitAsksToTryAgainAndLeavesNothing) {
  testing::TempFolder root;
  std::filesystem::create_directory(root.fs() / "Base");
  const Texts texts{1};
  AttachmentsState attachments;
  const Database db{root.path(), u"Base"};
  ASSERT_EQ(AppendFieldDefinition(db, FieldDefinition{0, PadFieldName(u"Voz"), 7, 0, 0}), IoStatus::Ok);
  ASSERT_EQ(AppendFieldDefinition(db, FieldDefinition{0, PadFieldName(u"Nota"), 3, 9, 0}), IoStatus::Ok);
  const std::string sound(3 * 65536, 'w');
  testing::WriteAll(root.fs() / "voz.wav", sound);

  // Room for the first chunk and a little more, not for the second.
  const int code = testing::WithFileSizeLimit((65536 + 100) * kDataUnitBytes, [&] {
    headless::Script script;
    // Every value is asked first; the sound is read and stored with the record. Its failure
    // takes the record back and asks whether to try again: yes tries with the same values,
    // no gives the record up.
    // The system's reason is said: a file past the size it may grow to is a full disk to the writer.
    const std::u16string retry = u"No se ha podido guardar el registro en la base de datos «Base»: no queda espacio "
                                 u"en el disco: " + DataFilePath(db) +
                                 u". ¿Intentarlo de nuevo? Con No se abandona el registro ...";
    script.ChooseFile(u"Navegador de ficheros para sonido", (root.fs() / "voz.wav").u16string())
        .ExpectDialog(u"Insertar Cadena")
        .Type(1040, u"nota")
        .Click(1041)
        .ExpectDialog(u"Dialog1")
        .AnswerQuestion(retry, true)
        .ExpectDialog(u"Dialog1")
        .AnswerQuestion(retry, false);
    EnterRecord(texts, db, attachments);
    for (const headless::MessageShown& message : headless::MessagesShown())
      if (message.text == u"Procesado ...") return 1;
    // The bar is taken away before the message.
    const headless::DialogState* bar = headless::FindDialog(u"Dialog1");
    if (bar == nullptr || bar->open) return 4;
    return script.Leftover().empty() ? 0 : 2;
  });
  EXPECT_EQ(code, 0);
  // Nothing of the record stays: no cut recording, no number used up.
  EXPECT_EQ(std::filesystem::file_size(root.fs() / "Base" / "Base.zbd"), 0u);
  EXPECT_EQ(ReadFieldBytes(db, PadFieldName(u"Voz"), 1), "");
}

}  // namespace
}  // namespace zentora
