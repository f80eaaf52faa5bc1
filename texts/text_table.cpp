#include "texts/text_table.h"

#include <initializer_list>

namespace zentora {
namespace {

void AddGroup(TextTable& table, int group, int width, std::initializer_list<TextEntry> entries) {
  TextGroup& slot = table.groups[static_cast<size_t>(group - 1)];
  slot.width = width;
  slot.entries.assign(entries);
}

}  // namespace

TextTable FillTextTable() {
  TextTable table;
  // structure listing words
  AddGroup(table, text::kStructureWordsGroup, 110, {
      {u"DECIMAL", u"DECIMAL"},
      {u"ENTERO", u"INTEGER"},
      {u"CADENA", u"STRING"},
      {u"LOGICO", u"LOGICAL"},
      {u"MEMO", u"MEMO"},
      {u"IMAGEN", u"IMAGE"},
      {u"SONIDO WAV", u"WAV SOUND"},
      {u"no", u"no"},
      {u"sí", u"yes"},
      {u"Llave: ", u"Key: "},
      {u"Etiqueta: ", u"Label: "},
      {u"Dato: ", u"Data: "},
      {u"Tamaño: ", u"Size: "},
      {u"Decimales: ", u"Decimals: "},
      {u" Registros ...", u" Records ..."},
  });
  // missing sound
  AddGroup(table, text::kMissingSoundGroup, 110, {
      {u"El sonido NO existe ...", u"The sound does NOT exist ..."},
  });
  // missing image
  AddGroup(table, text::kMissingImageGroup, 110, {
      {u"La imagen NO existe ...", u"The image does NOT exist ..."},
  });
  // sound chooser
  AddGroup(table, text::kSoundChooserGroup, 110, {
      {u"Navegador de ficheros para sonido", u"File browser for sound"},
      {u"Sonidos", u"Sounds"},
  });
  // image chooser
  AddGroup(table, text::kImageChooserGroup, 110, {
      {u"Navegador de ficheros para imagen", u"File browser for image"},
      {u"Imagenes", u"Images"},
  });
  // no data
  AddGroup(table, text::kNoDataGroup, 110, {
      {u"No datos", u"No data"},
  });
  // processed
  AddGroup(table, text::kProcessedGroup, 110, {
      {u"Procesado ...", u"Processed ..."},
  });
  // entry warnings
  AddGroup(table, text::kEntryWarningsGroup, 110, {
      {u"Repetimos ....", u"We repeat ..."},
      {u"El tamaño de los datos es mayor al configurado ...", u"The size of the data is greater than the configured ..."},
  });
  // memo viewer
  AddGroup(table, text::kMemoViewerGroup, 110, {
      {u"Visualizar memotext", u"Memotext viewer"},
      {u"Estructura de Datos", u"Data structure"},
      {u"Salir", u"Exit"},
  });
  // logical viewer
  AddGroup(table, text::kLogicalViewerGroup, 110, {
      {u"Visualizar respuesta lógica", u"Logical response viewer"},
      {u"Sí", u"Yes"},
      {u"No", u"No"},
      {u"Aceptar", u"Accept"},
  });
  // string viewer
  AddGroup(table, text::kTextViewerGroup, 110, {
      {u"Visualizar cadena", u"Text string viewer"},
      {u"Aceptar", u"Accept"},
  });
  // numeric viewer
  AddGroup(table, text::kNumberViewerGroup, 110, {
      {u"Visualizar dato numérico", u"Numeric data display"},
      {u"Aceptar", u"Accept"},
  });
  // memo entry
  AddGroup(table, text::kMemoEntryGroup, 110, {
      {u"Insertar MemoText", u"Insert memotext"},
      {u"Aceptar", u"Accept"},
  });
  // logical entry
  AddGroup(table, text::kLogicalEntryGroup, 110, {
      {u"Insertar respuesta lógica", u"Insert logical response"},
      {u"Sí", u"Yes"},
      {u"No", u"No"},
      {u"Aceptar", u"Accept"},
  });
  // string entry
  AddGroup(table, text::kTextEntryGroup, 110, {
      {u"Insertar Cadena", u"Insert text string"},
      {u"Aceptar", u"Accept"},
  });
  // numeric entry
  AddGroup(table, text::kNumberEntryGroup, 110, {
      {u"Insertar Datos Numéricos", u"Insert Numeric data"},
      {u"Aceptar", u"Accept"},
  });
  // define field
  AddGroup(table, text::kDefineFieldGroup, 110, {
      {u"Define un campo", u"Define a field"},
      {u"Nombre del campo", u"Field Name"},
      {u"Decimal", u"Decimal"},
      {u"Entero", u"Integer"},
      {u"Cadena", u"String"},
      {u"Lógico", u"Logical"},
      {u"MemoText", u"MemoText"},
      {u"Imagen", u"Image"},
      {u"Es campo llave?", u"Is it key field?"},
      {u"Tamaño del dato (cantidad de digitos totales)", u"Data size (number of total digits)"},
      {u"Tamaño de decimales despues de la coma (max. 7)", u"Decimal size after the point (max. 7)"},
      {u"Tipo de dato", u"Datatype"},
      {u"Aceptar", u"Accept"},
      {u"Sonido WAV", u"Wav sound"},
  });
  // database name
  AddGroup(table, text::kDatabaseNameGroup, 110, {
      {u"Nombre base de datos", u"Database name"},
      {u"Aceptar", u"Accept"},
  });
  // browser title
  AddGroup(table, text::kBrowserTitleGroup, 110, {
      {u"Visualización", u"Display"},
  });
  // record counter
  AddGroup(table, text::kRecordCounterGroup, 110, {
      {u" de ", u" of "},
      {u"1 de ", u"1 of "},
  });
  // go-to prompt
  AddGroup(table, text::kGoToGroup, 110, {
      {u"Introduce Registro", u"Enter record"},
      {u"De 1 a ", u"From 1 to "},
  });
  // main title
  AddGroup(table, text::kMainTitleGroup, 110, {
      {u"BASES DE DATOS", u"DATABASES"},
  });
  // database exists
  AddGroup(table, text::kDatabaseExistsGroup, 220, {
      {u"La base de datos ya existe ...", u"The database already exists ..."},
  });
  // duplicate label
  AddGroup(table, text::kDuplicateLabelGroup, 220, {
      {u"No puede repetir nombre etiqueta ...", u"You can not repeat name tag ..."},
      {u"No hemos archivado ...", u"We have not archived ..."},
  });
  // creation started
  AddGroup(table, text::kCreationStartedGroup, 220, {
      {u"La base de datos ha comenzado su creación ..", u"The database has started its creation .."},
      {u"Sintiendolo mucho, NO puedo insertar un nuevo CAMPO ..", u"Feeling it a lot, I can NOT insert a new field .."},
  });
  // message caption
  AddGroup(table, text::kMessageCaptionGroup, 100, {
      {u"Programador", u"Programmer"},
  });
  // menu
  AddGroup(table, text::kMenuGroup, 100, {
      {u"Operaciones", u"Operations"},
      {u"Nuevo", u"New"},
      {u"Base de Datos", u"Database"},
      {u"Campo", u"Field data"},
      {u"Insertar Datos", u"Insert Data"},
      {u"Ver Datos", u"See Data"},
      {u"Estructura Datos", u"Data structure"},
      {u"Autor", u"Author"},
      {u"Salir", u"Exit"},
      {u"Idiomas", u"Languages"},
      {u"Ir a", u"Go to"},
  });
  // About title
  AddGroup(table, text::kAboutTitleGroup, 100, {
      {u"Autor", u"Author"},
  });
  // About texts
  AddGroup(table, text::kAboutTextsGroup, 200, {
      {u"Velmora te da las Gracias por usar este programa.", u"Velmora thanks you for using this program."},
      {u"Programa hecho para todos los usuarios del sitio web de Velmora, www.velmora.example ... "
       u"Visítalo!!!",
       u"Program made for all users\r\nwww.velmora.example ... visit it!!!"},
  });
  // About exit
  AddGroup(table, text::kAboutExitGroup, 100, {
      {u"Salir", u"Exit"},
  });
  // The program's own messages for what a user must not be left guessing about: a name that
  // cannot be a folder, a file another program holds, a value the disk did not take.
  AddGroup(table, text::kMessagesGroup, 220, {
      {u"Nombre no válido: no puede estar vacío, llevar < > : \" / \\ | ? * ni acabar en punto o espacio, "
       u"ni ser CON, PRN, AUX, NUL, COM1-9 o LPT1-9 ...",
       u"Invalid name: it cannot be empty, hold < > : \" / \\ | ? * or end in a dot or a space, "
       u"or be CON, PRN, AUX, NUL, COM1-9 or LPT1-9 ..."},
      {u"No se puede abrir el fichero de datos: otro programa lo tiene abierto o no hay acceso. "
       u"No se ha guardado nada ...",
       u"The data file cannot be opened: another program holds it or access is denied. "
       u"Nothing was stored ..."},
      {u"No se ha podido guardar el dato: fichero ocupado por otro programa o disco lleno. "
       u"El registro queda incompleto ...",
       u"The value could not be stored: the file is held by another program or the disk is full. "
       u"The record is incomplete ..."},
      {u"No se puede leer el fichero elegido; el campo queda vacío ...",
       u"The chosen file cannot be read; the field stays empty ..."},
      {u"No se puede escribir el fichero en la carpeta caché ...",
       u"The file cannot be written to the cache folder ..."},
      {u"No se puede leer la estructura de la base de datos: otro programa la tiene abierta o no hay "
       u"acceso. No se ha guardado nada ...",
       u"The structure of the database cannot be read: another program holds it or access is denied. "
       u"Nothing was stored ..."},
      {u"La base de datos %1 no existe ...", u"The database %1 does not exist ..."},
      {u"No hay programa para abrirlo. El fichero está en la carpeta caché; ábralo a mano:\r\n%1",
       u"No program could open it. The file is in the cache folder; open it by hand:\r\n%1"},
      {u"Campo Decimal: hace falta un nombre, un tamaño de 1 a 254 y de 1 a 12 decimales ...",
       u"Decimal field: it needs a name, a size from 1 to 254 and from 1 to 12 decimals ..."},
      {u"Campo Entero, Cadena o Lógico: hace falta un nombre y un tamaño de 1 a 254, sin decimales ...",
       u"Integer, String or Logical field: it needs a name and a size from 1 to 254, no decimals ..."},
      {u"Campo MemoText: hace falta un nombre y un tamaño de 1 a 32767, sin decimales ...",
       u"MemoText field: it needs a name and a size from 1 to 32767, no decimals ..."},
      {u"Hace falta el nombre del campo ...", u"The field needs a name ..."},
      {u"Otro programa tiene abierta la estructura de la base de datos %1; no se ha guardado el campo. "
       u"Inténtelo de nuevo ...",
       u"Another program holds the structure of the database %1 open; the field was not stored. "
       u"Try again ..."},
      {u"Otro programa tiene abierto el fichero de datos de la base de datos %1. Inténtelo de nuevo ...",
       u"Another program holds the data file of the database %1 open. Try again ..."},
      {u"¿Abandonar todo el registro? No se guardará nada de él ...",
       u"Abandon the whole record? Nothing of it will be stored ..."},
      {u"Sí", u"Yes"},
      {u"No", u"No"},
      {u"Aceptar", u"OK"},
      {u"Cancelar", u"Cancel"},
      {u"El nombre lleva caracteres que otros programas no pueden pasar a Lirvak; "
       u"use solo letras de la página de códigos del sistema ...",
       u"The name holds characters other programs cannot pass to Lirvak; "
       u"use only letters of the system code page ..."},
      {u"El fichero de datos de la base de datos %1 está dañado: sus números de registro no dan un número "
       u"seguro para un registro nuevo. No se ha guardado nada ...",
       u"The data file of the database %1 is damaged: its record numbers give no safe number for a new "
       u"record. Nothing was stored ..."},
      {u"Otro programa tiene abierto el fichero de datos de la base de datos %1. ¿Intentarlo de nuevo? "
       u"Con No se abandona el registro ...",
       u"Another program holds the data file of the database %1 open. Try again? No abandons the record ..."},
      {u"No se ha podido guardar el registro en la base de datos %1 (¿disco lleno?). ¿Intentarlo de nuevo? "
       u"Con No se abandona el registro ...",
       u"The record could not be stored in the database %1 (is the disk full?). Try again? "
       u"No abandons the record ..."},
      {u"Un fichero de la base de datos %1 no es un fichero normal (es una carpeta, una tubería o un "
       u"dispositivo); no se ha abierto ...",
       u"A file of the database %1 is not a regular file (it is a folder, a pipe or a device); "
       u"it was not opened ..."},
      {u"No se ha podido escribir el fichero %1 (no es un fichero normal, no hay permiso o el disco está "
       u"lleno) ...",
       u"The file %1 could not be written (it is not a regular file, access is denied or the disk is full) ..."},
      // the progress dialog's line while another program holds the data file
      {u"Otro programa está usando el fichero de datos de la base de datos %1. Esperando a que lo deje ...",
       u"The data file of the database %1 is in use by another program. Waiting for it ..."},
      {u"«%1»", u"“%1”"},
      {u"no existe: %1", u"not found: %1"},
      {u"permiso denegado (solo lectura o sin acceso): %1", u"permission denied (read-only or no access): %1"},
      {u"no queda espacio en el disco: %1", u"no space left on the disk: %1"},
      {u"nombre demasiado largo para el sistema de ficheros: %1", u"name too long for the file system: %1"},
      {u"otro programa lo tiene abierto: %1", u"held open by another program: %1"},
      {u"no es un fichero normal (es una carpeta, una tubería o un dispositivo): %1",
       u"not a regular file (a folder, a pipe or a device): %1"},
      {u"fichero dañado: %1", u"damaged file: %1"},
      {u"error %2 del sistema: %1", u"system error %2: %1"},
      {u"leído o escrito solo en parte: %1", u"read or written only in part: %1"},
      {u"No se ha guardado el campo en la base de datos %1: %2.", u"The field was not stored in the database %1: %2."},
      {u"No se ha podido crear la base de datos %1: %2.", u"The database %1 could not be made: %2."},
      {u"No se puede abrir el fichero de datos de la base de datos %1: %2. No se ha guardado nada ...",
       u"The data file of the database %1 cannot be opened: %2. Nothing was stored ..."},
      {u"No se puede leer la estructura de la base de datos %1: %2. No se ha guardado nada ...",
       u"The structure of the database %1 cannot be read: %2. Nothing was stored ..."},
      {u"No se ha podido guardar el registro en la base de datos %1: %2. No se ha guardado nada de él ...",
       u"The record could not be stored in the database %1: %2. Nothing of it was stored ..."},
      {u"No se ha podido guardar el registro en la base de datos %1: %2. ¿Intentarlo de nuevo? "
       u"Con No se abandona el registro ...",
       u"The record could not be stored in the database %1: %2. Try again? No abandons the record ..."},
      {u"Inténtelo de nuevo ...", u"Try again ..."},
      {u"Libere espacio en el disco e inténtelo de nuevo ...", u"Free some space on the disk and try again ..."},
      {u"El nombre es demasiado largo para el sistema de ficheros: los ficheros de la base de datos no "
       u"cabrían en la carpeta %1. Use un nombre más corto ...",
       u"The name is too long for the file system: the files of the database would not fit in the folder %1. "
       u"Use a shorter name ..."},
      {u"No se puede leer el fichero de datos de la base de datos %1: %2.",
       u"The data file of the database %1 cannot be read: %2."},
  });
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
