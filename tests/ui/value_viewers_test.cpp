#include "dialogs/value_viewers.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/headless/script.h"
#include "sample_records.h"
#include "scripted_test.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using headless::DialogState;
using platform::ControlKind;
using testing::Field;

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

class ValueViewerTest : public testing::ScriptedTest {
 protected:
  void Open(int32_t language) {
    texts.language = language;
    testing::MakeDatabaseFolder(value.db);
    for (const FieldDefinition& field : fields) testing::Define(value.db, field);
    testing::CreateEmptyDataFile(value.db);
  }

  // The viewer of field `index`, on `record`.
  void Select(std::size_t index, std::int64_t record) {
    value.field = fields[index].name;
    value.record = record;
  }

  testing::TempFolder folder;
  Texts texts;
  ValueOnShow value{Database{folder.path(), u"ledger"}, PadFieldName(u""), 1};
  const std::vector<FieldDefinition> fields = {
      Field(u"Amount", FieldType::Decimal, 12, 2), Field(u"Units", FieldType::Integer, 9, 0),
      Field(u"Title", FieldType::String, 30),      Field(u"Settled", FieldType::Logical, 1),
      Field(u"Remarks", FieldType::Memo, 2000),
  };
};

struct ControlCase {
  int id;
  ControlKind kind;
  platform::Rect rect;
  std::uint32_t flags;
};

struct TemplateCase {
  const char* viewer;
  platform::DialogTemplate (*build)(const Texts&, const std::u16string&);
  platform::Rect rect;
  const char16_t* spanish;
  const char16_t* english;
  const char16_t* close_spanish;
  const char16_t* close_english;
  std::vector<ControlCase> controls;  // label first, close button last
};

constexpr std::uint32_t kOneLine = platform::kReadOnly | platform::kSunken | platform::kScrollsSideways;
constexpr std::uint32_t kMultiLine = platform::kMultiLine | kOneLine | platform::kHorizontalScrollBar;
constexpr std::uint32_t kMemo =
    platform::kMultiLine | platform::kReadOnly | platform::kSunken | platform::kVerticalScrollBar | platform::kWrap;

const TemplateCase kTemplates[] = {
    {"number", NumberViewerTemplate, {135, 105, 338, 59}, u"Visualizar dato numérico", u"Numeric data display",
     u"Aceptar", u"Accept",
     {{1081, ControlKind::Static, {1, 1, 330, 15}, 0},
      {1082, ControlKind::Edit, {1, 16, 330, 15}, kOneLine},
      {1083, ControlKind::Button, {1, 36, 50, 15}, 0}}},
    {"text", TextViewerTemplate, {70, 70, 335, 65}, u"Visualizar cadena", u"Text string viewer", u"Aceptar",
     u"Accept",
     {{1084, ControlKind::Static, {1, 1, 330, 15}, 0},
      {1085, ControlKind::Edit, {1, 16, 330, 25}, kMultiLine},
      {1086, ControlKind::Button, {1, 42, 50, 15}, 0}}},
    {"logical", LogicalViewerTemplate, {70, 70, 337, 75}, u"Visualizar respuesta lógica",
     u"Logical response viewer", u"Aceptar", u"Accept",
     {{1088, ControlKind::Static, {1, 1, 330, 15}, 0},
      {1087, ControlKind::Option, {1, 17, 100, 15}, platform::kDisabled | platform::kVerticallyCentred},
      {1089, ControlKind::Option, {1, 31, 100, 15}, platform::kDisabled | platform::kVerticallyCentred},
      {1090, ControlKind::Button, {1, 51, 50, 15}, 0}}},
    {"memo", MemoViewerTemplate, {70, 70, 336, 321}, u"Visualizar memotext", u"Memotext viewer", u"Salir", u"Exit",
     {{1092, ControlKind::Static, {2, 2, 330, 15}, 0},
      {1091, ControlKind::Edit, {2, 17, 330, 280}, kMemo},
      {1093, ControlKind::Button, {2, 300, 50, 15}, 0}}},
};

TEST_F(ValueViewerTest, EachViewerHasItsLayoutAndTextsInBothLanguages) {
  Open(kSpanish);
  value.field = PadFieldName(u"Amount");
  for (const TemplateCase& viewer : kTemplates) {
    SCOPED_TRACE(viewer.viewer);
    for (const int32_t language : {kSpanish, kEnglish}) {
      texts.language = language;
      const platform::DialogTemplate dialog = viewer.build(texts, value.field);
      EXPECT_EQ(dialog.caption, language == kSpanish ? viewer.spanish : viewer.english);
      EXPECT_EQ(dialog.rect, viewer.rect);
      EXPECT_EQ(dialog.units, platform::Units::DialogUnits);
      EXPECT_EQ(dialog.style, platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame);
      ASSERT_EQ(dialog.controls.size(), viewer.controls.size());
      for (std::size_t i = 0; i < viewer.controls.size(); ++i) {
        const platform::ControlTemplate& control = dialog.controls[i];
        SCOPED_TRACE(control.id);
        EXPECT_EQ(control.id, viewer.controls[i].id);
        EXPECT_EQ(control.kind, viewer.controls[i].kind);
        EXPECT_EQ(control.rect, viewer.controls[i].rect);
        EXPECT_EQ(control.flags, viewer.controls[i].flags);
        // Only the memo text is in the normal weight.
        const bool memo_text = control.id == kMemoViewerValueId;
        EXPECT_EQ(control.font, (platform::Font{u"MS Sans Serif", 10, !memo_text}));
      }
      EXPECT_EQ(dialog.controls.front().text, PadFieldName(u"Amount"));
      EXPECT_EQ(dialog.controls.back().text, language == kSpanish ? viewer.close_spanish : viewer.close_english);
    }
  }
  texts.language = kSpanish;
  const platform::DialogTemplate logical = LogicalViewerTemplate(texts, value.field);
  EXPECT_EQ(logical.controls[1].text, u"Sí");
  EXPECT_EQ(logical.controls[2].text, u"No");
  // The dialogs that name no font of their own are measured in the program's bold one.
  EXPECT_EQ(logical.font, (platform::Font{u"MS Sans Serif", 10, true}));
  texts.language = kEnglish;
  EXPECT_EQ(LogicalViewerTemplate(texts, value.field).controls[1].text, u"Yes");
}

struct NumberCase {
  int32_t language;
  std::size_t field;
  const char16_t* stored;  // nullptr: nothing stored
  const char16_t* shown;
};

class NumberViewerTest : public ValueViewerTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberViewerTest, ShowsTheStoredNumberWithTheFieldsDecimals) {
  const NumberCase& number = GetParam();
  Open(number.language);
  testing::Store(value.db, fields[number.field], 1, u"77");  // another record's value is not shown
  if (number.stored != nullptr) testing::Store(value.db, fields[number.field], 2, number.stored);
  Select(number.field, 2);
  script.ExpectDialog(number.language == kEnglish ? u"Numeric data display" : u"Visualizar dato numérico")
      .Inspect([&](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(1081).text, fields[number.field].name);
        EXPECT_EQ(viewer.Control(1082).text, number.shown);
      })
      .Click(1083);
  ShowNumberViewer(texts, value);
}

INSTANTIATE_TEST_SUITE_P(Values, NumberViewerTest,
                         ::testing::Values(NumberCase{kEnglish, 0, u"1234.5", u"1,234.50"},
                                           NumberCase{kSpanish, 0, u"1234.5", u"1.234'50"},
                                           NumberCase{kEnglish, 0, u"-0.005", u"-0.00"},
                                           NumberCase{kEnglish, 1, u"1234567", u"1,234,567"},
                                           NumberCase{kSpanish, 1, u"1234567", u"1.234.567"},
                                           NumberCase{kEnglish, 0, nullptr, u"No data"},
                                           NumberCase{kSpanish, 1, nullptr, u"No datos"},
                                           // Any other language number is Spanish throughout.
                                           NumberCase{3, 0, u"1234.5", u"1.234'50"},
                                           NumberCase{0, 1, u"1234567", u"1.234.567"}));

class TextViewerTest : public ValueViewerTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(TextViewerTest, ShowsTheValueAsStoredOrNoData) {
  const int32_t language = GetParam();
  Open(language);
  testing::Store(value.db, fields[2], 1, u"  Ledger of 2026, \u00f1and\u00fa  ");
  Select(2, 1);
  const std::u16string caption = language == kSpanish ? u"Visualizar cadena" : u"Text string viewer";
  script.ExpectDialog(caption)
      .Inspect([](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(1084).text, PadFieldName(u"Title"));
        EXPECT_EQ(viewer.Control(1085).text, u"  Ledger of 2026, \u00f1and\u00fa  ");
      })
      .PressKey(1086)
      .ExpectDialog(caption)
      .Inspect([&](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(1085).text, language == kSpanish ? u"No datos" : u"No data");
      })
      .Close();
  ShowTextViewer(texts, value);
  value.record = 2;
  ShowTextViewer(texts, value);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, TextViewerTest, ::testing::Values(kSpanish, kEnglish));

struct LogicalCase {
  const char16_t* stored;  // nullptr: nothing stored
  bool yes;
};

class LogicalViewerTest : public ValueViewerTest, public ::testing::WithParamInterface<LogicalCase> {};

TEST_P(LogicalViewerTest, AnyNumberButZeroSelectsYes) {
  Open(kEnglish);
  if (GetParam().stored != nullptr) testing::Store(value.db, fields[3], 1, GetParam().stored);
  Select(3, 1);
  script.ExpectDialog(u"Logical response viewer")
      .Inspect([&](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(1087).checked, GetParam().yes);
        EXPECT_EQ(viewer.Control(1089).checked, !GetParam().yes);
        // Greyed: the user can look, not change.
        EXPECT_FALSE(viewer.Control(1087).enabled);
        EXPECT_FALSE(viewer.Control(1089).enabled);
      })
      .Click(1090);
  ShowLogicalViewer(texts, value);
}

INSTANTIATE_TEST_SUITE_P(Values, LogicalViewerTest,
                         ::testing::Values(LogicalCase{u"1", true}, LogicalCase{u"0", false}, LogicalCase{u"2", true},
                                           LogicalCase{u"-1", true}, LogicalCase{u"0.0", false},
                                           LogicalCase{u"yes", false}, LogicalCase{nullptr, false}));

TEST_F(ValueViewerTest, MemoViewerKeepsTheLinesOfTheValue) {
  Open(kEnglish);
  const std::u16string memo = u"line one\r\nline two\r\n\r\nline four, long enough to wrap at the box's width";
  testing::Store(value.db, fields[4], 3, memo);
  Select(4, 3);
  script.ExpectDialog(u"Memotext viewer")
      .Inspect([&](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(1092).text, PadFieldName(u"Remarks"));
        EXPECT_EQ(viewer.Control(1091).text, memo);
      })
      .Click(1093);
  ShowMemoViewer(texts, value);
}

// Through the index the record browser keeps, each viewer shows what the search of the file
// shows, also for a value stored after the index last looked at the file.
TEST_F(ValueViewerTest, ViewersReadThroughAnIndexFollowTheFile) {
  Open(kEnglish);
  ValueIndex index(value.db, {kAnyType});
  value.index = &index;
  testing::Store(value.db, fields[2], 1, u"first");
  Select(2, 1);
  script.ExpectDialog(u"Text string viewer").Inspect([](const DialogState& viewer) {
    EXPECT_EQ(viewer.Control(kTextViewerValueId).text, u"first");
  }).Click(kTextViewerCloseId);
  ShowTextViewer(texts, value);

  testing::Store(value.db, fields[0], 2, u"12.5");
  testing::Store(value.db, fields[4], 2, u"later");
  Select(0, 2);
  script.ExpectDialog(u"Numeric data display").Inspect([](const DialogState& viewer) {
    EXPECT_EQ(viewer.Control(kNumberViewerValueId).text, u"12.50");
  }).Click(kNumberViewerCloseId);
  ShowNumberViewer(texts, value);
  Select(4, 2);
  script.ExpectDialog(u"Memotext viewer").Inspect([](const DialogState& viewer) {
    EXPECT_EQ(viewer.Control(kMemoViewerValueId).text, u"later");
  }).Click(kMemoViewerCloseId);
  ShowMemoViewer(texts, value);
  EXPECT_EQ(index.IndexedValues(), 3u);
}

struct StructureCase {
  int32_t language;
  const char16_t* caption;
  const char16_t* label;
  std::u16string description;
};

class MemoStructureViewTest : public ValueViewerTest, public ::testing::WithParamInterface<StructureCase> {};

TEST_P(MemoStructureViewTest, ShowsTheStructureInItsLanguage) {
  const StructureCase& expected = GetParam();
  texts.language = expected.language;
  testing::MakeDatabaseFolder(value.db);
  FieldDefinition key = Field(u"Code", FieldType::Integer, 6, 0);
  key.key_flag = 1;
  testing::Define(value.db, key);
  testing::Define(value.db, Field(u"Amount", FieldType::Decimal, 12, 2));
  script.ExpectDialog(expected.caption)
      .Inspect([&](const DialogState& viewer) {
        EXPECT_EQ(viewer.Control(1092).text, expected.label);
        EXPECT_EQ(viewer.Control(1091).text, expected.description);
      })
      .Click(1093);
  ShowStructureViewer(texts, value.db);
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, MemoStructureViewTest,
    ::testing::Values(
        StructureCase{kSpanish, u"Visualizar memotext", u"Estructura de Datos",
                      u"Llave: sí\r\nEtiqueta: " + PadFieldName(u"Code") +
                          u"\r\nDato: ENTERO\r\nTamaño: 6\r\nDecimales: 0\r\n\r\n"
                          u"Llave: no\r\nEtiqueta: " + PadFieldName(u"Amount") +
                          u"\r\nDato: DECIMAL\r\nTamaño: 12\r\nDecimales: 2\r\n\r\n2 Registros ...\r\n"},
        StructureCase{kEnglish, u"Memotext viewer", u"Data structure",
                      u"Key: yes\r\nLabel: " + PadFieldName(u"Code") +
                          u"\r\nData: INTEGER\r\nSize: 6\r\nDecimals: 0\r\n\r\n"
                          u"Key: no\r\nLabel: " + PadFieldName(u"Amount") +
                          u"\r\nData: DECIMAL\r\nSize: 12\r\nDecimals: 2\r\n\r\n2 Records ...\r\n"}));

enum class Way { Click, Key, CloseCommand };

struct CloseCase {
  const char* name;
  void (*show)(const Texts&, const ValueOnShow&);
  const char16_t* caption;
  int button;
  Way way;
};

void PrintTo(const CloseCase& viewer, std::ostream* out) { *out << viewer.name; }

class ViewerCloseTest : public ValueViewerTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ViewerCloseTest, EndsByItsButtonOrTheWindowsCloseCommand) {
  const CloseCase& viewer = GetParam();
  Open(kSpanish);
  Select(0, 1);
  script.ExpectDialog(viewer.caption);
  switch (viewer.way) {
    case Way::Click: script.Click(viewer.button); break;
    case Way::Key: script.PressKey(viewer.button); break;
    case Way::CloseCommand: script.Close(); break;
  }
  viewer.show(texts, value);
  const DialogState* shown = headless::FindDialog(viewer.caption);
  ASSERT_NE(shown, nullptr);
  EXPECT_FALSE(shown->open);
  EXPECT_EQ(shown->result, 0);
}

std::vector<CloseCase> CloseCases() {
  const CloseCase viewers[] = {
      {"number", ShowNumberViewer, u"Visualizar dato num\u00e9rico", 1083, Way::Click},
      {"text", ShowTextViewer, u"Visualizar cadena", 1086, Way::Click},
      {"logical", ShowLogicalViewer, u"Visualizar respuesta l\u00f3gica", 1090, Way::Click},
      {"memo", ShowMemoViewer, u"Visualizar memotext", 1093, Way::Click},
  };
  std::vector<CloseCase> cases;
  for (const CloseCase& viewer : viewers) {
    for (const Way way : {Way::Click, Way::Key, Way::CloseCommand}) {
      CloseCase one = viewer;
      one.way = way;
      cases.push_back(one);
    }
  }
  return cases;
}

std::string CloseCaseName(const ::testing::TestParamInfo<CloseCase>& info) {
  const char* const ways[] = {"click", "key", "close"};
  return std::string(info.param.name) + "_" + ways[static_cast<int>(info.param.way)];
}

INSTANTIATE_TEST_SUITE_P(AllViewers, ViewerCloseTest, ::testing::ValuesIn(CloseCases()), CloseCaseName);

}  // namespace
}  // namespace zentora
