// The database-name and define-field dialogs, played as a user would.
#include "dialogs/database_dialogs.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include <ostream>

namespace zentora {
namespace {

namespace headless = platform::headless;
using platform::ControlKind;
using platform::Rect;

struct ControlExpectation {
  int id;
  ControlKind kind;
  Rect rect;
  std::u16string spanish;
  std::u16string english;
  int points = 10;
  std::uint32_t flags = 0;
};

void ExpectControls(const platform::DialogTemplate& dialog, const std::vector<ControlExpectation>& expected,
                    bool english) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const platform::ControlTemplate& control = dialog.controls[i];
    const ControlExpectation& want = expected[i];
    EXPECT_EQ(control.id, want.id) << i;
    EXPECT_EQ(control.kind, want.kind) << want.id;
    EXPECT_EQ(control.rect, want.rect) << want.id;
    EXPECT_EQ(control.text, english ? want.english : want.spanish) << want.id;
    EXPECT_EQ(control.font, (platform::Font{u"MS Sans Serif", want.points, true})) << want.id;
    EXPECT_EQ(control.flags, want.flags) << want.id;
  }
}

constexpr std::uint32_t kOneLine = platform::kBorder | platform::kScrollsSideways;
constexpr std::uint32_t kNumber = platform::kDigitsOnly | platform::kSunken;

TEST(DatabaseDialogTemplates, NameDialogInBothLanguages) {
  const std::vector<ControlExpectation> controls = {
      {1017, ControlKind::Edit, {5, 5, 285, 25}, u"", u"", 10, kOneLine},
      {1018, ControlKind::Button, {5, 40, 50, 15}, u"Aceptar", u"Accept"},
  };
  for (const bool english : {false, true}) {
    const Texts texts{english ? 5 : 1};
    const platform::DialogTemplate dialog = DatabaseNameDialogTemplate(texts);
    EXPECT_EQ(dialog.caption, english ? u"Database name" : u"Nombre base de datos");
    EXPECT_EQ(dialog.rect, (Rect{64, 151, 294, 60}));
    EXPECT_EQ(dialog.units, platform::Units::DialogUnits);
    EXPECT_TRUE(dialog.style & platform::kStyleSystemMenu);  // the close box cancels
    ExpectControls(dialog, controls, english);
  }
}

TEST(DatabaseDialogTemplates, DefineFieldDialogInBothLanguages) {
  const std::vector<ControlExpectation> controls = {
      {1020, ControlKind::Static, {5, 0, 195, 15}, u"Nombre del campo", u"Field Name"},
      {1019, ControlKind::Edit, {5, 15, 195, 25}, u"", u"", 10, kOneLine},
      {1032, ControlKind::GroupFrame, {5, 40, 195, 120}, u"Tipo de dato", u"Datatype", 8},
      {1021, ControlKind::Option, {7, 50, 190, 15}, u"Decimal", u"Decimal"},
      {1022, ControlKind::Option, {7, 65, 190, 15}, u"Entero", u"Integer"},
      {1023, ControlKind::Option, {7, 80, 190, 15}, u"Cadena", u"String"},
      {1024, ControlKind::Option, {7, 95, 190, 15}, u"Lógico", u"Logical"},
      {1025, ControlKind::Option, {7, 110, 190, 16}, u"MemoText", u"MemoText"},
      {1026, ControlKind::Option, {7, 125, 190, 15}, u"Imagen", u"Image"},
      {1034, ControlKind::Option, {7, 140, 190, 15}, u"Sonido WAV", u"Wav sound"},
      {1027, ControlKind::CheckBox, {7, 161, 193, 15}, u"Es campo llave?", u"Is it key field?"},
      {1029, ControlKind::Static, {5, 179, 195, 22}, u"Tamaño del dato (cantidad de digitos totales)",
       u"Data size (number of total digits)"},
      {1028, ControlKind::Edit, {5, 201, 195, 25}, u"", u"", 10, kNumber},
      {1031, ControlKind::Static, {5, 231, 195, 22}, u"Tamaño de decimales despues de la coma (max. 7)",
       u"Decimal size after the point (max. 7)"},
      {1030, ControlKind::Edit, {5, 253, 195, 25}, u"", u"", 10, kNumber},
      {1033, ControlKind::Button, {5, 286, 50, 15}, u"Aceptar", u"Accept"},
  };
  for (const bool english : {false, true}) {
    const Texts texts{english ? 5 : 1};
    const platform::DialogTemplate dialog = DefineFieldDialogTemplate(texts);
    EXPECT_EQ(dialog.caption, english ? u"Define a field" : u"Define un campo");
    EXPECT_EQ(dialog.rect, (Rect{172, 87, 204, 305}));
    EXPECT_TRUE(dialog.style & platform::kStyleSystemMenu);
    ExpectControls(dialog, controls, english);
  }
}

class DatabaseNameDialogTest : public testing::ScriptedTest {
 protected:
  Texts texts{1};
  const std::u16string caption = u"Nombre base de datos";
};

TEST_F(DatabaseNameDialogTest, AcceptsANameByClickOrKeyboard) {
  script.ExpectDialog(caption).Type(1017, u"Agenda").Click(1018);
  script.ExpectDialog(caption).Type(1017, u"Clientes 2").PressKey(1018);
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), u"Agenda");
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), u"Clientes 2");
  EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(DatabaseNameDialogTest, AnEmptyNameKeepsItOpenSilentlyAndClosingCancels) {
  script.ExpectDialog(caption)
      .Click(1018)
      .Inspect([](const headless::DialogState& shown) { EXPECT_TRUE(shown.open); })
      .Close();
  // No command may go on with a name.
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), std::nullopt);
  EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(DatabaseNameDialogTest, ClosingAfterTypingGivesNoName) {
  script.ExpectDialog(caption).Type(1017, u"Nueva").Close();
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), std::nullopt);
}

TEST_F(DatabaseNameDialogTest, AnInvalidNameIsExplainedAndTheDialogStays) {
  const std::u16string message = texts.Text(text::kInvalidName);
  ASSERT_FALSE(message.empty());
  script.ExpectDialog(caption).Type(1017, u"a/b").Click(1018);
  script.ExpectMessage(message, u"Programador");
  script.Type(1017, u"CON").Click(1018);
  script.ExpectMessage(message, u"Programador");
  script.Type(1017, u"Fin.").Click(1018);
  script.ExpectMessage(message, u"Programador");
  script.Type(1017, u"Buena").Click(1018);
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), u"Buena");
  EXPECT_EQ(headless::MessagesShown().size(), 3u);
}

TEST_F(DatabaseNameDialogTest, AnInvalidNameThenCloseLeavesNoName) {
  texts.language = 5;
  script.ExpectDialog(u"Database name").Type(1017, u"x:y").Click(1018);
  script.ExpectMessage(texts.Text(text::kInvalidName), u"Programmer");
  script.Close();
  EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), std::nullopt);
}

// Windows callers name a database to Lirvak in the ANSI code page (1252 in the tests' Wine);
// on Linux names are UTF-8 on both sides and any name Lirvak can carry.
TEST_F(DatabaseNameDialogTest, ANameLirvakCannotCarryIsRefusedWhereNamesAreNarrow) {
  const bool narrow_names = platform::PathSeparator() == u'\\';
  for (const std::int32_t language : {1, 5}) {
    texts.language = language;
    const std::u16string message = texts.Text(text::kNameOutsideCodePage);
    ASSERT_FALSE(message.empty());
    script.ExpectDialog(texts.Text(text::kDatabaseNameTitle)).Type(1017, u"Datos \u4E2D\u6587").Click(1018);
    if (narrow_names) {
      script.ExpectMessage(message, texts.MessageCaption());
      script.Type(1017, u"Emoji \U0001F600").Click(1018).ExpectMessage(message, texts.MessageCaption());
      script.Type(1017, u"Año").Click(1018);  // in code page 1252: accepted
      EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), u"Año");
    } else {
      EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), u"Datos \u4E2D\u6587");
    }
  }
  EXPECT_EQ(headless::MessagesShown().size(), narrow_names ? 4u : 0u);
}

// One press of accept with the values given; `accepted` says whether the dialog ended.
struct DefinitionCase {
  int option;
  std::u16string size;
  std::u16string decimals;  // typed while Decimal is still selected
  bool accepted;
  std::int16_t stored_size;
  std::int16_t stored_decimals;
  std::u16string name = u"Campo";
};

std::ostream& operator<<(std::ostream& out, const DefinitionCase& c) {
  return out << "option " << c.option << " size '" << std::string(c.size.begin(), c.size.end()) << "' decimals '"
             << std::string(c.decimals.begin(), c.decimals.end()) << "'";
}

class DefinitionAcceptanceTest : public testing::ScriptedTest,
                                 public ::testing::WithParamInterface<DefinitionCase> {};

// A refused definition states the rule of its type and puts the focus in the edit to fix.
std::pair<std::u16string, int> RefusalFor(const DefinitionCase& c) {
  if (c.name.empty()) return {u"Hace falta el nombre del campo ...", 1019};
  switch (c.option) {
    case 1021:
      return {u"Campo Decimal: hace falta un nombre, un tamaño de 1 a 254 y de 1 a 12 decimales ...",
              c.size == u"0" || c.size == u"255" ? 1028 : 1030};
    case 1025: return {u"Campo MemoText: hace falta un nombre y un tamaño de 1 a 32767, sin decimales ...", 1028};
    default:
      return {u"Campo Entero, Cadena o Lógico: hace falta un nombre y un tamaño de 1 a 254, sin decimales ...", 1028};
  }
}

TEST_P(DefinitionAcceptanceTest, EndsOnlyWhenTheNumbersSuitTheType) {
  const DefinitionCase& c = GetParam();
  Texts texts{1};
  script.ExpectDialog(u"Define un campo").Type(1019, c.name).Type(1028, c.size).Type(1030, c.decimals);
  script.Click(c.option).Click(1033);
  if (!c.accepted) {
    const auto [rule, edit] = RefusalFor(c);
    script.ExpectMessage(rule, u"Programador").Inspect([edit = edit](const headless::DialogState& shown) {
      EXPECT_TRUE(shown.open);
      EXPECT_EQ(shown.focus, edit);
    });
    script.Close();
  }
  const std::optional<FieldDefinition> field = ShowDefineFieldDialog(texts);
  EXPECT_EQ(field.has_value(), c.accepted);
  EXPECT_EQ(headless::MessagesShown().size(), c.accepted ? 0u : 1u);
  if (field) {
    EXPECT_EQ(field->name, PadFieldName(c.name));
    EXPECT_EQ(field->size, c.stored_size);
    EXPECT_EQ(field->decimals, c.stored_decimals);
    EXPECT_EQ(field->key_flag, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DefinitionAcceptanceTest,
    ::testing::Values(DefinitionCase{1021, u"10", u"2", true, 10, 2}, DefinitionCase{1021, u"10", u"0", false, 0, 0},
                      DefinitionCase{1021, u"10", u"13", false, 0, 0}, DefinitionCase{1021, u"10", u"12", true, 10, 12},
                      DefinitionCase{1021, u"10", u"", false, 0, 0}, DefinitionCase{1021, u"0", u"2", false, 0, 0},
                      DefinitionCase{1021, u"254", u"1", true, 254, 1}, DefinitionCase{1021, u"255", u"1", false, 0, 0},
                      DefinitionCase{1022, u"255", u"", false, 0, 0}, DefinitionCase{1022, u"254", u"", true, 254, 0},
                      DefinitionCase{1022, u"", u"", false, 0, 0}, DefinitionCase{1023, u"5", u"", true, 5, 0},
                      DefinitionCase{1023, u"5", u"", false, 0, 0, u""}, DefinitionCase{1024, u"1", u"", true, 1, 0},
                      DefinitionCase{1024, u"1", u"2", false, 0, 0}, DefinitionCase{1025, u"32767", u"", true, 32767, 0},
                      DefinitionCase{1025, u"40000", u"", false, 0, 0}, DefinitionCase{1025, u"32768", u"", false, 0, 0},
                      DefinitionCase{1025, u"0", u"", false, 0, 0}, DefinitionCase{1026, u"", u"", true, 0, 0},
                      DefinitionCase{1034, u"40000", u"99", true, -32768, 99},
                      DefinitionCase{1023, u"0005", u"", true, 5, 0},
                      DefinitionCase{1023, u"5", u"", true, 5, 0, u"Un nombre de campo mucho más largo que treinta "
                                                               u"y cinco"}));

const std::u16string kShortRule =
    u"Campo Entero, Cadena o Lógico: hace falta un nombre y un tamaño de 1 a 254, sin decimales ...";

class DefineFieldDialogTest : public testing::ScriptedTest {
 protected:
  Texts texts{1};
  const std::u16string caption = u"Define un campo";
};

TEST_F(DefineFieldDialogTest, StartsWithDecimalSelectedAndEachOptionSetsItsType) {
  const std::vector<std::pair<int, std::int16_t>> options = {{1021, 1}, {1022, 2}, {1023, 3}, {1024, 4},
                                                             {1025, 5}, {1026, 6}, {1034, 7}};
  for (const auto& [option, type] : options) {
    script.ExpectDialog(caption).Inspect([](const headless::DialogState& shown) {
      EXPECT_TRUE(shown.Control(1021).checked);
      EXPECT_TRUE(shown.Control(1030).enabled);
      EXPECT_FALSE(shown.Control(1027).checked);
    });
    script.Type(1019, u"F").Type(1028, u"5").Type(1030, type == 1 ? u"1" : u"").Click(option);
    script.Inspect([option = option, type = type](const headless::DialogState& shown) {
      EXPECT_EQ(shown.Control(1030).enabled, type == 1);
      for (int id : {1021, 1022, 1023, 1024, 1025, 1026, 1034}) EXPECT_EQ(shown.Control(id).checked, id == option);
    });
    script.Click(1033);
  }
  for (const auto& [option, type] : options) {
    const std::optional<FieldDefinition> field = ShowDefineFieldDialog(texts);
    ASSERT_TRUE(field) << option;
    EXPECT_EQ(field->type, type);
  }
}

TEST_F(DefineFieldDialogTest, GreyedDecimalsKeepTheirTextUntilRemoved) {
  script.ExpectDialog(caption).Type(1019, u"Edad").Type(1028, u"3").Type(1030, u"2").Click(1022);
  script.Inspect([](const headless::DialogState& shown) {
    EXPECT_FALSE(shown.Control(1030).enabled);
    EXPECT_EQ(shown.Control(1030).text, u"2");
    EXPECT_TRUE(shown.Control(1028).enabled);
  });
  script.Click(1033).ExpectMessage(kShortRule).Inspect([](const headless::DialogState& shown) {
    EXPECT_TRUE(shown.open);
  });
  script.Click(1021).Type(1030, u"").Click(1022).Click(1033);
  const std::optional<FieldDefinition> field = ShowDefineFieldDialog(texts);
  ASSERT_TRUE(field);
  EXPECT_EQ(field->type, 2);
  EXPECT_EQ(field->size, 3);
  EXPECT_EQ(field->decimals, 0);
}

TEST_F(DefineFieldDialogTest, TheKeyBoxCountsOnlyForItsOwnDialog) {
  script.ExpectDialog(caption).Type(1019, u"Codigo").Click(1023).Type(1028, u"8").Click(1027).Click(1033);
  script.ExpectDialog(caption).Type(1019, u"Nombre").Click(1023).Type(1028, u"20").Click(1033);
  script.ExpectDialog(caption).Type(1019, u"Otro").Click(1023).Type(1028, u"20").Click(1027).Click(1027).PressKey(1033);
  const std::optional<FieldDefinition> first = ShowDefineFieldDialog(texts);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->key_flag, 1);
  EXPECT_EQ(first->name, PadFieldName(u"Codigo"));
  EXPECT_EQ(ShowDefineFieldDialog(texts).value_or(FieldDefinition{9}).key_flag, 0);
  EXPECT_EQ(ShowDefineFieldDialog(texts).value_or(FieldDefinition{9}).key_flag, 0);
}

TEST_F(DefineFieldDialogTest, ClosingAfterARefusedAttemptGivesNothing) {
  script.ExpectDialog(caption).Type(1019, u"Nuevo").Click(1023).Type(1028, u"300").Click(1033);
  script.ExpectMessage(kShortRule).Close();
  EXPECT_FALSE(ShowDefineFieldDialog(texts).has_value());
}

}  // namespace
}  // namespace zentora
