#include "texts/text_table.h"

#include "texts/text_rows.h"

namespace zentora {
namespace {

// The byte width of each group's buffer.
constexpr GroupWidth kGroupWidths[] = {
    {text::kStructureWordsGroup, 110},
    {text::kMissingSoundGroup, 110},
    {text::kMissingImageGroup, 110},
    {text::kSoundChooserGroup, 110},
    {text::kImageChooserGroup, 110},
    {text::kNoDataGroup, 110},
    {text::kProcessedGroup, 110},
    {text::kEntryWarningsGroup, 110},
    {text::kMemoViewerGroup, 110},
    {text::kLogicalViewerGroup, 110},
    {text::kTextViewerGroup, 110},
    {text::kNumberViewerGroup, 110},
    {text::kMemoEntryGroup, 110},
    {text::kLogicalEntryGroup, 110},
    {text::kTextEntryGroup, 110},
    {text::kNumberEntryGroup, 110},
    {text::kDefineFieldGroup, 110},
    {text::kDatabaseNameGroup, 110},
    {text::kBrowserTitleGroup, 110},
    {text::kRecordCounterGroup, 110},
    {text::kGoToGroup, 110},
    {text::kMainTitleGroup, 110},
    {text::kDatabaseExistsGroup, 220},
    {text::kDuplicateLabelGroup, 220},
    {text::kCreationStartedGroup, 220},
    {text::kMessageCaptionGroup, 100},
    {text::kMenuGroup, 100},
    {text::kAboutTitleGroup, 100},
    {text::kAboutTextsGroup, 200},
    {text::kAboutExitGroup, 100},
    {text::kMessagesGroup, 220},
};

// Every text of the program, named by its id, in Spanish and in English. A new text is one
// row here and its id in text_ids.h (the next entry of its group).
constexpr TextRow kRows[] = {
    // structure listing words
    {text::TypeWord(1), u"DECIMAL", u"DECIMAL"},
    {text::TypeWord(2), u"ENTERO", u"INTEGER"},
    {text::TypeWord(3), u"CADENA", u"STRING"},
    {text::TypeWord(4), u"LOGICO", u"LOGICAL"},
    {text::TypeWord(5), u"MEMO", u"MEMO"},
    {text::TypeWord(6), u"IMAGEN", u"IMAGE"},
    {text::TypeWord(7), u"SONIDO WAV", u"WAV SOUND"},
    {text::kNoWord, u"no", u"no"},
    {text::kYesWord, u"sí", u"yes"},
    {text::kKeyLabel, u"Llave: ", u"Key: "},
    {text::kNameLabel, u"Etiqueta: ", u"Label: "},
    {text::kTypeLabel, u"Dato: ", u"Data: "},
    {text::kSizeLabel, u"Tamaño: ", u"Size: "},
    {text::kDecimalsLabel, u"Decimales: ", u"Decimals: "},
    {text::kRecordsSuffix, u" Registros ...", u" Records ..."},
    // missing sound
    {text::kSoundMissing, u"El sonido NO existe ...", u"The sound does NOT exist ..."},
    // missing image
    {text::kImageMissing, u"La imagen NO existe ...", u"The image does NOT exist ..."},
    // sound chooser
    {text::kSoundChooserTitle, u"Navegador de ficheros para sonido", u"File browser for sound"},
    {text::kSoundFilter, u"Sonidos", u"Sounds"},
    // image chooser
    {text::kImageChooserTitle, u"Navegador de ficheros para imagen", u"File browser for image"},
    {text::kImageFilter, u"Imagenes", u"Images"},
    // no data
    {text::kNoData, u"No datos", u"No data"},
    // processed
    {text::kProcessed, u"Procesado ...", u"Processed ..."},
    // entry warnings
    {text::kWeRepeat, u"Repetimos ....", u"We repeat ..."},
    {text::kValueTooLong,
     u"El tamaño de los datos es mayor al configurado ...",
     u"The size of the data is greater than the configured ..."},
    // memo viewer
    {text::kMemoViewerTitle, u"Visualizar memotext", u"Memotext viewer"},
    {text::kStructureViewLabel, u"Estructura de Datos", u"Data structure"},
    {text::kMemoViewerExit, u"Salir", u"Exit"},
    // logical viewer
    {text::kLogicalViewerTitle, u"Visualizar respuesta lógica", u"Logical response viewer"},
    {text::kLogicalViewerYes, u"Sí", u"Yes"},
    {text::kLogicalViewerNo, u"No", u"No"},
    {text::kLogicalViewerAccept, u"Aceptar", u"Accept"},
    // string viewer
    {text::kTextViewerTitle, u"Visualizar cadena", u"Text string viewer"},
    {text::kTextViewerAccept, u"Aceptar", u"Accept"},
    // numeric viewer
    {text::kNumberViewerTitle, u"Visualizar dato numérico", u"Numeric data display"},
    {text::kNumberViewerAccept, u"Aceptar", u"Accept"},
    // memo entry
    {text::kMemoEntryTitle, u"Insertar MemoText", u"Insert memotext"},
    {text::kMemoEntryAccept, u"Aceptar", u"Accept"},
    // logical entry
    {text::kLogicalEntryTitle, u"Insertar respuesta lógica", u"Insert logical response"},
    {text::kLogicalEntryYes, u"Sí", u"Yes"},
    {text::kLogicalEntryNo, u"No", u"No"},
    {text::kLogicalEntryAccept, u"Aceptar", u"Accept"},
    // string entry
    {text::kTextEntryTitle, u"Insertar Cadena", u"Insert text string"},
    {text::kTextEntryAccept, u"Aceptar", u"Accept"},
    // numeric entry
    {text::kNumberEntryTitle, u"Insertar Datos Numéricos", u"Insert Numeric data"},
    {text::kNumberEntryAccept, u"Aceptar", u"Accept"},
    // define field
    {text::kDefineFieldTitle, u"Define un campo", u"Define a field"},
    {text::kFieldNamePrompt, u"Nombre del campo", u"Field Name"},
    {text::kDecimalOption, u"Decimal", u"Decimal"},
    {text::kIntegerOption, u"Entero", u"Integer"},
    {text::kStringOption, u"Cadena", u"String"},
    {text::kLogicalOption, u"Lógico", u"Logical"},
    {text::kMemoOption, u"MemoText", u"MemoText"},
    {text::kImageOption, u"Imagen", u"Image"},
    {text::kKeyFieldQuestion, u"Es campo llave?", u"Is it key field?"},
    {text::kFieldSizePrompt,
     u"Tamaño del dato (cantidad de digitos totales)",
     u"Data size (number of total digits)"},
    {text::kFieldDecimalsPrompt,
     u"Tamaño de decimales despues de la coma (max. 7)",
     u"Decimal size after the point (max. 7)"},
    {text::kFieldTypeFrame, u"Tipo de dato", u"Datatype"},
    {text::kDefineFieldAccept, u"Aceptar", u"Accept"},
    {text::kSoundOption, u"Sonido WAV", u"Wav sound"},
    // database name
    {text::kDatabaseNameTitle, u"Nombre base de datos", u"Database name"},
    {text::kDatabaseNameAccept, u"Aceptar", u"Accept"},
    // browser title
    {text::kBrowserTitle, u"Visualización", u"Display"},
    // record counter
    {text::kRecordCounterOf, u" de ", u" of "},
    {text::kRecordCounterFirst, u"1 de ", u"1 of "},
    // go-to prompt
    {text::kGoToPrompt, u"Introduce Registro", u"Enter record"},
    {text::kGoToRange, u"De 1 a ", u"From 1 to "},
    // main title
    {text::kMainTitle, u"BASES DE DATOS", u"DATABASES"},
    // database exists
    {text::kDatabaseExists, u"La base de datos ya existe ...", u"The database already exists ..."},
    // duplicate label
    {text::kDuplicateLabel, u"No puede repetir nombre etiqueta ...", u"You can not repeat name tag ..."},
    {text::kNotArchived, u"No hemos archivado ...", u"We have not archived ..."},
    // creation started
    {text::kCreationStarted,
     u"La base de datos ha comenzado su creación ..",
     u"The database has started its creation .."},
    {text::kCannotAddField,
     u"Sintiendolo mucho, NO puedo insertar un nuevo CAMPO ..",
     u"Feeling it a lot, I can NOT insert a new field .."},
    // message caption
    {text::kMessageCaption, u"Programador", u"Programmer"},
    // menu
    {text::kMenuOperations, u"Operaciones", u"Operations"},
    {text::kMenuNew, u"Nuevo", u"New"},
    {text::kMenuNewDatabase, u"Base de Datos", u"Database"},
    {text::kMenuNewField, u"Campo", u"Field data"},
    {text::kMenuInsertData, u"Insertar Datos", u"Insert Data"},
    {text::kMenuSeeData, u"Ver Datos", u"See Data"},
    {text::kMenuDataStructure, u"Estructura Datos", u"Data structure"},
    {text::kMenuAuthor, u"Autor", u"Author"},
    {text::kMenuExit, u"Salir", u"Exit"},
    {text::kMenuLanguages, u"Idiomas", u"Languages"},
    {text::kMenuGoTo, u"Ir a", u"Go to"},
    // About title
    {text::kAboutTitle, u"Autor", u"Author"},
    // About texts
    {text::kAboutThanks,
     u"Velmora te da las Gracias por usar este programa.",
     u"Velmora thanks you for using this program."},
    {text::kAboutCredit,
     u"Programa hecho para todos los usuarios del sitio web de Velmora, www.velmora.example ... "
     u"Visítalo!!!",
     u"Program made for all users\r\nwww.velmora.example ... visit it!!!"},
    // About exit
    {text::kAboutExit, u"Salir", u"Exit"},
    // The program's own messages for what a user must not be left guessing about: a name that
    // cannot be a folder, a file another program holds, a value the disk did not take.
    {text::kInvalidName,
     u"Nombre no válido: no puede estar vacío, llevar < > : \" / \\ | ? * ni acabar en punto o espacio, "
     u"ni ser CON, PRN, AUX, NUL, COM1-9 o LPT1-9 ...",
     u"Invalid name: it cannot be empty, hold < > : \" / \\ | ? * or end in a dot or a space, "
     u"or be CON, PRN, AUX, NUL, COM1-9 or LPT1-9 ..."},
    {text::kDataFileUnavailable,
     u"No se puede abrir el fichero de datos: otro programa lo tiene abierto o no hay acceso. "
     u"No se ha guardado nada ...",
     u"The data file cannot be opened: another program holds it or access is denied. "
     u"Nothing was stored ..."},
    {text::kValueNotStored,
     u"No se ha podido guardar el dato: fichero ocupado por otro programa o disco lleno. "
     u"El registro queda incompleto ...",
     u"The value could not be stored: the file is held by another program or the disk is full. "
     u"The record is incomplete ..."},
    {text::kChosenFileUnreadable,
     u"No se puede leer el fichero elegido; el campo queda vacío ...",
     u"The chosen file cannot be read; the field stays empty ..."},
    {text::kCacheFileNotWritten,
     u"No se puede escribir el fichero en la carpeta caché ...",
     u"The file cannot be written to the cache folder ..."},
    {text::kStructureUnavailable,
     u"No se puede leer la estructura de la base de datos: otro programa la tiene abierta o no hay "
     u"acceso. No se ha guardado nada ...",
     u"The structure of the database cannot be read: another program holds it or access is denied. "
     u"Nothing was stored ..."},
    {text::kDatabaseMissing, u"La base de datos %1 no existe ...", u"The database %1 does not exist ..."},
    {text::kOpenerMissing,
     u"No hay programa para abrirlo. El fichero está en la carpeta caché; ábralo a mano:\r\n%1",
     u"No program could open it. The file is in the cache folder; open it by hand:\r\n%1"},
    {text::kDecimalFieldRule,
     u"Campo Decimal: hace falta un nombre, un tamaño de 1 a 254 y de 1 a 12 decimales ...",
     u"Decimal field: it needs a name, a size from 1 to 254 and from 1 to 12 decimals ..."},
    {text::kShortFieldRule,
     u"Campo Entero, Cadena o Lógico: hace falta un nombre y un tamaño de 1 a 254, sin decimales ...",
     u"Integer, String or Logical field: it needs a name and a size from 1 to 254, no decimals ..."},
    {text::kMemoFieldRule,
     u"Campo MemoText: hace falta un nombre y un tamaño de 1 a 32767, sin decimales ...",
     u"MemoText field: it needs a name and a size from 1 to 32767, no decimals ..."},
    {text::kFieldNameRule, u"Hace falta el nombre del campo ...", u"The field needs a name ..."},
    {text::kStructureHeld,
     u"Otro programa tiene abierta la estructura de la base de datos %1; no se ha guardado el campo. "
     u"Inténtelo de nuevo ...",
     u"Another program holds the structure of the database %1 open; the field was not stored. "
     u"Try again ..."},
    {text::kDataFileHeld,
     u"Otro programa tiene abierto el fichero de datos de la base de datos %1. Inténtelo de nuevo ...",
     u"Another program holds the data file of the database %1 open. Try again ..."},
    {text::kAbandonRecord,
     u"¿Abandonar todo el registro? No se guardará nada de él ...",
     u"Abandon the whole record? Nothing of it will be stored ..."},
    {text::kYesButton, u"Sí", u"Yes"},
    {text::kNoButton, u"No", u"No"},
    {text::kOkButton, u"Aceptar", u"OK"},
    {text::kCancelButton, u"Cancelar", u"Cancel"},
    {text::kNameOutsideCodePage,
     u"El nombre lleva caracteres que otros programas no pueden pasar a Lirvak; "
     u"use solo letras de la página de códigos del sistema ...",
     u"The name holds characters other programs cannot pass to Lirvak; "
     u"use only letters of the system code page ..."},
    {text::kDataFileDamaged,
     u"El fichero de datos de la base de datos %1 está dañado: sus números de registro no dan un número "
     u"seguro para un registro nuevo. No se ha guardado nada ...",
     u"The data file of the database %1 is damaged: its record numbers give no safe number for a new "
     u"record. Nothing was stored ..."},
    {text::kRetryDataFileHeld,
     u"Otro programa tiene abierto el fichero de datos de la base de datos %1. ¿Intentarlo de nuevo? "
     u"Con No se abandona el registro ...",
     u"Another program holds the data file of the database %1 open. Try again? No abandons the record ..."},
    {text::kRetryRecordNotStored,
     u"No se ha podido guardar el registro en la base de datos %1 (¿disco lleno?). ¿Intentarlo de nuevo? "
     u"Con No se abandona el registro ...",
     u"The record could not be stored in the database %1 (is the disk full?). Try again? "
     u"No abandons the record ..."},
    {text::kNotRegularFile,
     u"Un fichero de la base de datos %1 no es un fichero normal (es una carpeta, una tubería o un "
     u"dispositivo); no se ha abierto ...",
     u"A file of the database %1 is not a regular file (it is a folder, a pipe or a device); "
     u"it was not opened ..."},
    {text::kOutputNotWritten,
     u"No se ha podido escribir el fichero %1 (no es un fichero normal, no hay permiso o el disco está "
     u"lleno) ...",
     u"The file %1 could not be written (it is not a regular file, access is denied or the disk is full) ..."},
    // the progress dialog's line while another program holds the data file
    {text::kDataFileInUseWaiting,
     u"Otro programa está usando el fichero de datos de la base de datos %1. Esperando a que lo deje ...",
     u"The data file of the database %1 is in use by another program. Waiting for it ..."},
    {text::kQuotedName, u"«%1»", u"“%1”"},
    // why a file operation failed ("%1": the file; "%2": the system's number)
    {text::kCauseNotFound, u"no existe: %1", u"not found: %1"},
    {text::kCauseDenied, u"permiso denegado (solo lectura o sin acceso): %1",
     u"permission denied (read-only or no access): %1"},
    {text::kCauseNoSpace, u"no queda espacio en el disco: %1", u"no space left on the disk: %1"},
    {text::kCauseNameTooLong, u"nombre demasiado largo para el sistema de ficheros: %1",
     u"name too long for the file system: %1"},
    {text::kCauseHeld, u"otro programa lo tiene abierto: %1", u"held open by another program: %1"},
    {text::kCauseNotRegularFile, u"no es un fichero normal (es una carpeta, una tubería o un dispositivo): %1",
     u"not a regular file (a folder, a pipe or a device): %1"},
    {text::kCauseDamaged, u"fichero dañado: %1", u"damaged file: %1"},
    {text::kCauseOther, u"error %2 del sistema: %1", u"system error %2: %1"},
    {text::kCausePartial, u"leído o escrito solo en parte: %1", u"read or written only in part: %1"},
    // what failed ("%1": the database's name, quoted; "%2": the cause and the file)
    {text::kFieldNotStored, u"No se ha guardado el campo en la base de datos %1: %2.",
     u"The field was not stored in the database %1: %2."},
    {text::kDatabaseNotMade, u"No se ha podido crear la base de datos %1: %2.", u"The database %1 could not be made: %2."},
    {text::kDataFileNotOpened,
     u"No se puede abrir el fichero de datos de la base de datos %1: %2. No se ha guardado nada ...",
     u"The data file of the database %1 cannot be opened: %2. Nothing was stored ..."},
    {text::kStructureNotRead, u"No se puede leer la estructura de la base de datos %1: %2. No se ha guardado nada ...",
     u"The structure of the database %1 cannot be read: %2. Nothing was stored ..."},
    {text::kRecordAbandoned,
     u"No se ha podido guardar el registro en la base de datos %1: %2. No se ha guardado nada de él ...",
     u"The record could not be stored in the database %1: %2. Nothing of it was stored ..."},
    {text::kRetryRecord,
     u"No se ha podido guardar el registro en la base de datos %1: %2. ¿Intentarlo de nuevo? "
     u"Con No se abandona el registro ...",
     u"The record could not be stored in the database %1: %2. Try again? No abandons the record ..."},
    {text::kTryAgain, u"Inténtelo de nuevo ...", u"Try again ..."},
    {text::kFreeSpaceTryAgain, u"Libere espacio en el disco e inténtelo de nuevo ...",
     u"Free some space on the disk and try again ..."},
    {text::kNameTooLongForDisk,
     u"El nombre es demasiado largo para el sistema de ficheros: los ficheros de la base de datos no "
     u"cabrían en la carpeta %1. Use un nombre más corto ...",
     u"The name is too long for the file system: the files of the database would not fit in the folder %1. "
     u"Use a shorter name ..."},
    {text::kDataFileNotRead, u"No se puede leer el fichero de datos de la base de datos %1: %2.",
     u"The data file of the database %1 cannot be read: %2."},
};

static_assert(EveryGroupHasOneWidth(kGroupWidths, kTextGroupCount),
              "every group of text_ids.h needs its width in kGroupWidths, given once");
static_assert(NoIdTwice(kRows), "a text id is given words twice");
static_assert(EveryEntryHasWords(kRows, kTextGroupCount),
              "every group needs words for its entries 1, 2, ... up to its last, none left out");

}  // namespace

TextTable FillTextTable() {
  TextTable table;
  for (const GroupWidth& group : kGroupWidths) table.groups[static_cast<size_t>(group.group - 1)].width = group.width;
  for (const TextRow& row : kRows) {
    std::vector<TextEntry>& entries = table.groups[static_cast<size_t>(row.id.group - 1)].entries;
    const auto at = static_cast<size_t>(row.id.entry - 1);
    if (entries.size() <= at) entries.resize(at + 1);
    entries[at] = {row.spanish, row.english};
  }
  return table;
}

std::u16string UiText(const TextTable& table, int32_t language, int group, int entry) {
  if (group < 1 || group > kTextGroupCount) return {};
  const std::vector<TextEntry>& entries = table.groups[static_cast<size_t>(group - 1)].entries;
  if (entry < 1 || static_cast<size_t>(entry) > entries.size()) return {};
  const TextEntry& text = entries[static_cast<size_t>(entry - 1)];
  return ShowsEnglish(language) ? text.english : text.spanish;
}

}  // namespace zentora
