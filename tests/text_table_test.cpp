#include "texts/text_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/encoding.h"

namespace zentora {
namespace {

struct ExpectedText {
  int group;
  int entry;
  const char16_t* spanish;
  const char16_t* english;
};

// Every text of the program but the About credit line, by group and entry.
const std::vector<ExpectedText> kExpected = {
    {1, 1, u"DECIMAL", u"DECIMAL"},
    {1, 2, u"ENTERO", u"INTEGER"},
    {1, 3, u"CADENA", u"STRING"},
    {1, 4, u"LOGICO", u"LOGICAL"},
    {1, 5, u"MEMO", u"MEMO"},
    {1, 6, u"IMAGEN", u"IMAGE"},
    {1, 7, u"SONIDO WAV", u"WAV SOUND"},
    {1, 8, u"no", u"no"},
    {1, 9, u"sí", u"yes"},
    {1, 10, u"Llave: ", u"Key: "},
    {1, 11, u"Etiqueta: ", u"Label: "},
    {1, 12, u"Dato: ", u"Data: "},
    {1, 13, u"Tamaño: ", u"Size: "},
    {1, 14, u"Decimales: ", u"Decimals: "},
    {1, 15, u" Registros ...", u" Records ..."},
    {2, 1, u"El sonido NO existe ...", u"The sound does NOT exist ..."},
    {3, 1, u"La imagen NO existe ...", u"The image does NOT exist ..."},
    {4, 1, u"Navegador de ficheros para sonido", u"File browser for sound"},
    {4, 2, u"Sonidos", u"Sounds"},
    {5, 1, u"Navegador de ficheros para imagen", u"File browser for image"},
    {5, 2, u"Imagenes", u"Images"},
    {6, 1, u"No datos", u"No data"},
    {7, 1, u"Procesado ...", u"Processed ..."},
    {8, 1, u"Repetimos ....", u"We repeat ..."},
    {8, 2, u"El tamaño de los datos es mayor al configurado ...", u"The size of the data is greater than the configured ..."},
    {9, 1, u"Visualizar memotext", u"Memotext viewer"},
    {9, 2, u"Estructura de Datos", u"Data structure"},
    {9, 3, u"Salir", u"Exit"},
    {10, 1, u"Visualizar respuesta lógica", u"Logical response viewer"},
    {10, 2, u"Sí", u"Yes"},
    {10, 3, u"No", u"No"},
    {10, 4, u"Aceptar", u"Accept"},
    {11, 1, u"Visualizar cadena", u"Text string viewer"},
    {11, 2, u"Aceptar", u"Accept"},
    {12, 1, u"Visualizar dato numérico", u"Numeric data display"},
    {12, 2, u"Aceptar", u"Accept"},
    {13, 1, u"Insertar MemoText", u"Insert memotext"},
    {13, 2, u"Aceptar", u"Accept"},
    {14, 1, u"Insertar respuesta lógica", u"Insert logical response"},
    {14, 2, u"Sí", u"Yes"},
    {14, 3, u"No", u"No"},
    {14, 4, u"Aceptar", u"Accept"},
    {15, 1, u"Insertar Cadena", u"Insert text string"},
    {15, 2, u"Aceptar", u"Accept"},
    {16, 1, u"Insertar Datos Numéricos", u"Insert Numeric data"},
    {16, 2, u"Aceptar", u"Accept"},
    {17, 1, u"Define un campo", u"Define a field"},
    {17, 2, u"Nombre del campo", u"Field Name"},
    {17, 3, u"Decimal", u"Decimal"},
    {17, 4, u"Entero", u"Integer"},
    {17, 5, u"Cadena", u"String"},
    {17, 6, u"Lógico", u"Logical"},
    {17, 7, u"MemoText", u"MemoText"},
    {17, 8, u"Imagen", u"Image"},
    {17, 9, u"Es campo llave?", u"Is it key field?"},
    {17, 10, u"Tamaño del dato (cantidad de digitos totales)", u"Data size (number of total digits)"},
    {17, 11, u"Tamaño de decimales despues de la coma (max. 7)", u"Decimal size after the point (max. 7)"},
    {17, 12, u"Tipo de dato", u"Datatype"},
    {17, 13, u"Aceptar", u"Accept"},
    {17, 14, u"Sonido WAV", u"Wav sound"},
    {18, 1, u"Nombre base de datos", u"Database name"},
    {18, 2, u"Aceptar", u"Accept"},
    {19, 1, u"Visualización", u"Display"},
    {20, 1, u" de ", u" of "},
    {20, 2, u"1 de ", u"1 of "},
    {21, 1, u"Introduce Registro", u"Enter record"},
    {21, 2, u"De 1 a ", u"From 1 to "},
    {22, 1, u"BASES DE DATOS", u"DATABASES"},
    {23, 1, u"La base de datos ya existe ...", u"The database already exists ..."},
    {24, 1, u"No puede repetir nombre etiqueta ...", u"You can not repeat name tag ..."},
    {24, 2, u"No hemos archivado ...", u"We have not archived ..."},
    {25, 1, u"La base de datos ha comenzado su creación ..", u"The database has started its creation .."},
    {25, 2, u"Sintiendolo mucho, NO puedo insertar un nuevo CAMPO ..", u"Feeling it a lot, I can NOT insert a new field .."},
    {26, 1, u"Programador", u"Programmer"},
    {27, 1, u"Operaciones", u"Operations"},
    {27, 2, u"Nuevo", u"New"},
    {27, 3, u"Base de Datos", u"Database"},
    {27, 4, u"Campo", u"Field data"},
    {27, 5, u"Insertar Datos", u"Insert Data"},
    {27, 6, u"Ver Datos", u"See Data"},
    {27, 7, u"Estructura Datos", u"Data structure"},
    {27, 8, u"Autor", u"Author"},
    {27, 9, u"Salir", u"Exit"},
    {27, 10, u"Idiomas", u"Languages"},
    {27, 11, u"Ir a", u"Go to"},
    {28, 1, u"Autor", u"Author"},
    {29, 1, u"Velmora te da las Gracias por usar este programa.", u"Velmora thanks you for using this program."},
    {30, 1, u"Salir", u"Exit"},
};

// Entries per group, and the byte width of each group's buffer.
constexpr int kEntryCount[kTextGroupCount] = {15, 1, 1, 2, 2, 1, 1, 2, 3, 4, 2, 2, 2, 4, 2,
                                              2, 14, 2, 1, 2, 2, 1, 1, 2, 2, 1, 11, 1, 2, 1, 46};
constexpr int kWidth[kTextGroupCount] = {110, 110, 110, 110, 110, 110, 110, 110, 110, 110,
                                         110, 110, 110, 110, 110, 110, 110, 110, 110, 110,
                                         110, 110, 220, 220, 220, 100, 100, 100, 200, 100, 220};

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

std::string Trace(int group, int entry) {
  return "group " + std::to_string(group) + " entry " + std::to_string(entry);
}

TEST(TextTable, EveryTextInBothLanguages) {
  const TextTable table = FillTextTable();
  for (const ExpectedText& text : kExpected) {
    SCOPED_TRACE(Trace(text.group, text.entry));
    EXPECT_EQ(UiText(table, kSpanish, text.group, text.entry), text.spanish);
    EXPECT_EQ(UiText(table, kEnglish, text.group, text.entry), text.english);
  }
}

TEST(TextTable, GroupsHaveTheirEntryCountsAndWidths) {
  const TextTable table = FillTextTable();
  for (int group = 1; group <= kTextGroupCount; ++group) {
    SCOPED_TRACE("group " + std::to_string(group));
    EXPECT_EQ(table.groups[group - 1].width, kWidth[group - 1]);
    EXPECT_EQ(table.groups[group - 1].entries.size(), static_cast<size_t>(kEntryCount[group - 1]));
  }
}

// Each text lives in a zero-terminated code page 1252 buffer of its group's width, so it must
// have a single-byte form for every character and leave room for the terminator.
TEST(TextTable, EveryTextFitsItsGroupBufferInCodePage1252) {
  const TextTable table = FillTextTable();
  for (int group = 1; group <= kTextGroupCount; ++group) {
    const int width = table.groups[group - 1].width;
    for (int entry = 1; entry <= kEntryCount[group - 1]; ++entry) {
      SCOPED_TRACE(Trace(group, entry));
      for (int32_t language : {kSpanish, kEnglish}) {
        const std::u16string text = UiText(table, language, group, entry);
        EXPECT_FALSE(text.empty());
        const std::string bytes = platform::Utf16ToCp1252(text);
        EXPECT_EQ(platform::Cp1252ToUtf16(bytes), text) << "a character has no code page 1252 form";
        EXPECT_LE(bytes.size(), static_cast<size_t>(width - 1));
      }
    }
  }
}

TEST(TextTable, AboutCreditLineNamesTheSiteAndInvitesToVisit) {
  const TextTable table = FillTextTable();
  const std::u16string spanish = UiText(table, kSpanish, 29, 2);
  const std::u16string english = UiText(table, kEnglish, 29, 2);
  for (const std::u16string& text : {spanish, english}) {
    EXPECT_NE(text.find(u"www.velmora.example"), std::u16string::npos);
    EXPECT_TRUE(text.ends_with(u"!!!"));
    EXPECT_LE(platform::Utf16ToCp1252(text).size(), 199u);
  }
  EXPECT_NE(spanish.find(u"Velmora"), std::u16string::npos);
  EXPECT_EQ(spanish.find(u"\r\n"), std::u16string::npos) << "the Spanish credit is one line";
  const size_t line_break = english.find(u"\r\n");
  ASSERT_NE(line_break, std::u16string::npos);
  EXPECT_NE(english.substr(0, line_break).find(u"made for all users"), std::u16string::npos);
  EXPECT_TRUE(english.substr(line_break + 2).starts_with(u"www.velmora.example"));
  EXPECT_EQ(english.find(u"\r\n", line_break + 2), std::u16string::npos);
}

TEST(TextTable, EqualPairsReadTheSameInBothLanguages) {
  const TextTable table = FillTextTable();
  const struct {
    int group, entry;
    const char16_t* text;
  } pairs[] = {{1, 1, u"DECIMAL"}, {1, 5, u"MEMO"},     {1, 8, u"no"},        {10, 3, u"No"},
               {14, 3, u"No"},     {17, 3, u"Decimal"}, {17, 7, u"MemoText"}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(Trace(pair.group, pair.entry));
    EXPECT_EQ(UiText(table, kSpanish, pair.group, pair.entry), pair.text);
    EXPECT_EQ(UiText(table, kEnglish, pair.group, pair.entry), pair.text);
  }
}

TEST(TextTable, LanguageChangeBetweenLookupsNeedsNoRefill) {
  const TextTable table = FillTextTable();
  int32_t language = kSpanish;
  EXPECT_EQ(UiText(table, language, 28, 1), u"Autor");
  language = kEnglish;
  EXPECT_EQ(UiText(table, language, 28, 1), u"Author");
  language = kSpanish;
  EXPECT_EQ(UiText(table, language, 8, 1), u"Repetimos ....");
}

TEST(TextTable, UnknownLanguageReadsSpanish) {
  const TextTable table = FillTextTable();
  for (int32_t language : {0, 2, 3, 4, 6, 7, -1, -5, 8, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE("language " + std::to_string(language));
    EXPECT_EQ(UiText(table, language, 26, 1), u"Programador");
    EXPECT_EQ(UiText(table, language, 1, 9), u"sí");
  }
}

TEST(TextTable, LookupsOutsideTheTableAreEmpty) {
  const TextTable table = FillTextTable();
  const int outside[][2] = {{0, 1}, {32, 1}, {31, 47}, {-1, 1}, {1, 0}, {1, 16}, {29, 3}, {30, 2}, {2, -1}};
  for (const auto& at : outside) {
    SCOPED_TRACE(Trace(at[0], at[1]));
    EXPECT_EQ(UiText(table, kSpanish, at[0], at[1]), u"");
    EXPECT_EQ(UiText(table, kEnglish, at[0], at[1]), u"");
  }
}

TEST(TextTable, FillingTwiceGivesTheSameTable) { EXPECT_EQ(FillTextTable(), FillTextTable()); }

}  // namespace
}  // namespace zentora
