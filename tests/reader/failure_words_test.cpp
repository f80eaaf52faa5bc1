// The words of a failure: the cause the system gave and the file, in both languages.
#include "display/failure_words.h"

#include <gtest/gtest.h>

#include <string>

namespace zentora {
namespace {

using platform::FailureCause;

TEST(FailureWords, EachCauseIsSaidWithItsFileInBothLanguages) {
  const TextTable table = FillTextTable();
  const std::u16string file = u"/datos/Base/Base.zbd";
  struct Case {
    IoStatus status;
    std::u16string spanish;
    std::u16string english;
  };
  const Case cases[] = {
      {{IoStatus::Failed, {FailureCause::NotFound, 2}, file}, u"no existe: ", u"not found: "},
      {{IoStatus::Failed, {FailureCause::Denied, 13}, file}, u"permiso denegado (solo lectura o sin acceso): ",
       u"permission denied (read-only or no access): "},
      {{IoStatus::Failed, {FailureCause::NoSpace, 28}, file}, u"no queda espacio en el disco: ",
       u"no space left on the disk: "},
      {{IoStatus::Failed, {FailureCause::NameTooLong, 36}, file}, u"nombre demasiado largo para el sistema de ficheros: ",
       u"name too long for the file system: "},
      {{IoStatus::Busy, {}, file}, u"otro programa lo tiene abierto: ", u"held open by another program: "},
      {{IoStatus::NotRegularFile, {}, file},
       u"no es un fichero normal (es una carpeta, una tubería o un dispositivo): ",
       u"not a regular file (a folder, a pipe or a device): "},
      {{IoStatus::Damaged, {}, file}, u"fichero dañado: ", u"damaged file: "},
      {{IoStatus::Failed, {FailureCause::Other, 5}, file}, u"error 5 del sistema: ", u"system error 5: "},
      {{IoStatus::Failed, {}, file}, u"leído o escrito solo en parte: ", u"read or written only in part: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.status.cause()));
    EXPECT_EQ(FailureWords(table, 1, c.status), c.spanish + file);
    EXPECT_EQ(FailureWords(table, 5, c.status), c.english + file);
  }
}

TEST(FailureWords, OnlyWhatCanPassIsWorthTryingAgain) {
  const struct {
    FailureCause cause;
    bool again;
  } cases[] = {
      {FailureCause::Held, true},         {FailureCause::NoSpace, true},         {FailureCause::Other, true},
      {FailureCause::Denied, false},      {FailureCause::NameTooLong, false},    {FailureCause::NotFound, false},
      {FailureCause::Damaged, false},     {FailureCause::NotRegularFile, false},
  };
  for (const auto& c : cases) EXPECT_EQ(WorthTryingAgain(c.cause), c.again) << static_cast<int>(c.cause);
}

TEST(FailureWords, PlaceholdersAreFilledInOnePass) {
  EXPECT_EQ(Substituted(u"%1: %2", {u"a%2", u"b%1"}), u"a%2: b%1");
  EXPECT_EQ(Substituted(u"%2 before %1", {u"one", u"two"}), u"two before one");
  EXPECT_EQ(Substituted(u"100% sure, %3 stays", {u"x"}), u"100% sure, %3 stays");
}

TEST(FailureWords, AMessageQuotesTheDatabaseInTheLanguagesQuotes) {
  const Database db{u"/datos/", u"Base"};
  const IoStatus held{IoStatus::Busy, {}, u"/datos/Base/Base.z04"};
  EXPECT_EQ(FailureMessage(Texts{1}, text::kFieldNotStored, db, held),
            u"No se ha guardado el campo en la base de datos «Base»: otro programa lo tiene abierto: "
            u"/datos/Base/Base.z04.");
  EXPECT_EQ(FailureMessage(Texts{5}, text::kFieldNotStored, db, held),
            u"The field was not stored in the database “Base”: held open by another program: /datos/Base/Base.z04.");
  EXPECT_EQ(TryAgainAdvice(Texts{5}, held), u" Try again ...");
  EXPECT_EQ(TryAgainAdvice(Texts{1}, IoStatus{IoStatus::Failed, {FailureCause::NoSpace, 28}, u"x"}),
            u" Libere espacio en el disco e inténtelo de nuevo ...");
  EXPECT_EQ(TryAgainAdvice(Texts{5}, IoStatus{IoStatus::Failed, {FailureCause::Denied, 13}, u"x"}), u"");
}

}  // namespace
}  // namespace zentora
