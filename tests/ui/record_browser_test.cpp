#include "dialogs/record_browser.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "sample_records.h"
#include "scripted_test.h"
#include "shell/app_state.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using headless::DialogState;
using headless::DrawOp;
using headless::TextSeen;
using platform::ControlKind;
using testing::Field;

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

// Where a press lands in the middle of line `line`.
constexpr int LineY(int line) { return line * 21 + 10; }

std::u16string LineName(const std::u16string& name) {
  std::u16string padded = PadFieldName(name);
  padded.resize(40, u' ');
  return padded;
}

// The names the surface shows now, with their colours, line by line from the top.
std::vector<TextSeen> Shown(const DialogState& browser) {
  return headless::TextsSeen(browser.Control(kBrowserSurfaceId).picture);
}

std::vector<int> RedLines(const DialogState& browser) {
  std::vector<int> red;
  for (const TextSeen& text : Shown(browser)) {
    if (text.colour == platform::kRed) red.push_back((text.y - 3) / 21);
  }
  return red;
}

class RecordBrowserTest : public testing::ScriptedTest {
 protected:
  void Open(int32_t language) {
    state = MakeAppState(folder.path(), language);
    db = state.DatabaseNamed(u"agenda");
    testing::MakeDatabaseFolder(db);
    cache = folder.path() + u"cache" + platform::PathSeparator();
    ASSERT_TRUE(platform::CreateFolder(cache));
    state.attachments.cache_folder = cache;
  }

  // Seven fields, one of each type, and `records` records.
  void FillAgenda(int records) {
    for (const FieldDefinition& field : agenda) testing::Define(db, field);
    testing::CreateEmptyDataFile(db);
    for (int r = 1; r <= records; ++r) {
      const std::u16string n(1, static_cast<char16_t>(u'0' + r));
      testing::Store(db, agenda[0], r, u"1234.5" + n);
      testing::Store(db, agenda[1], r, n);
      testing::Store(db, agenda[2], r, u"name " + n);
      testing::Store(db, agenda[3], r, r == 2 ? u"0" : u"1");
      testing::Store(db, agenda[4], r, u"first line\r\nline " + n);
      std::string picture = "JPEG bytes of ";
      picture += static_cast<char>('0' + r);
      if (r != 3) testing::StoreBytes(db, agenda[5], r, picture);
    }
  }

  void Show() { ShowRecordBrowser(state.shell.texts, db, state.browser, state.attachments); }

  testing::TempFolder folder;
  AppState state;
  Database db;
  std::u16string cache;
  const std::vector<FieldDefinition> agenda = {
      Field(u"Price", FieldType::Decimal, 10, 2), Field(u"Count", FieldType::Integer),
      Field(u"Name", FieldType::String),          Field(u"Paid", FieldType::Logical),
      Field(u"Notes", FieldType::Memo),           Field(u"Photo", FieldType::Image),
      Field(u"Voice", FieldType::WavSound),
  };
};

TEST_F(RecordBrowserTest, WindowIsMeasuredInPixelsWithTheSurfaceTheArrowsAndTheLabel) {
  Open(kSpanish);
  const platform::DialogTemplate dialog = RecordBrowserTemplate(state.shell.texts, {0, 0, 1280, 1024});
  EXPECT_EQ(dialog.caption, u"Visualización");
  EXPECT_EQ(dialog.units, platform::Units::Pixels);
  EXPECT_EQ(dialog.rect, (platform::Rect{83, 50, 292, 895}));
  EXPECT_EQ(dialog.style, platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame);
  ASSERT_EQ(dialog.controls.size(), 4u);
  const std::uint32_t clickable = platform::kSunken | platform::kNotify;
  struct Expected {
    int id;
    ControlKind kind;
    platform::Rect rect;
    std::uint32_t flags;
    int image;
  };
  const Expected expected[] = {
      {kBrowserSurfaceId, ControlKind::Surface, {5, 25, 282, 845}, clickable, 0},
      {kBrowserPreviousId, ControlKind::Bitmap, {4, 5, 16, 15}, clickable, 400},
      {kBrowserPositionId, ControlKind::Static, {20, 5, 249, 15}, clickable | platform::kTextCentred, 0},
      {kBrowserNextId, ControlKind::Bitmap, {269, 5, 15, 15}, clickable, 401},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(dialog.controls[i].id, expected[i].id);
    EXPECT_EQ(dialog.controls[i].kind, expected[i].kind);
    EXPECT_EQ(dialog.controls[i].rect, expected[i].rect);
    EXPECT_EQ(dialog.controls[i].flags, expected[i].flags);
    EXPECT_EQ(dialog.controls[i].image, expected[i].image);
  }
  EXPECT_EQ(dialog.controls[2].font, (platform::Font{u"MS Sans Serif", 10, true}));
  state.shell.texts.language = kEnglish;
  EXPECT_EQ(RecordBrowserTemplate(state.shell.texts, {0, 0, 1280, 1024}).caption, u"Display");
}

struct LanguageCase {
  int32_t language;
  const char16_t* caption;
  const char16_t* label;
  const char16_t* popup;
  const char16_t* go_to;
};

class RecordBrowserLanguageTest : public RecordBrowserTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(RecordBrowserLanguageTest, OpensOnRecordOneOfNWithItsMenuAndFieldPage) {
  const LanguageCase& expected = GetParam();
  Open(expected.language);
  FillAgenda(3);
  state.browser.current_record = 9;
  script.ExpectDialog(expected.caption)
      .Inspect([&](const DialogState& browser) {
        EXPECT_EQ(browser.Control(kBrowserPositionId).text, expected.label);
        EXPECT_EQ(state.browser.current_record, 1);
        EXPECT_TRUE(state.browser.open);
        ASSERT_TRUE(browser.has_menu);
        ASSERT_EQ(browser.menu.size(), 1u);
        EXPECT_EQ(browser.menu[0].text, expected.popup);
        ASSERT_EQ(browser.menu[0].items.size(), 1u);
        EXPECT_EQ(browser.menu[0].items[0].id, 1096);
        EXPECT_EQ(browser.menu[0].items[0].text, expected.go_to);
        EXPECT_EQ(browser.Control(kBrowserSurfaceId).copies, 1);
        const std::vector<TextSeen> names = Shown(browser);
        ASSERT_EQ(names.size(), 40u);
        for (std::size_t i = 0; i < agenda.size(); ++i) {
          EXPECT_EQ(names[i].text, LineName(agenda[i].name));
        }
      })
      .Close();
  Show();
  EXPECT_FALSE(state.browser.open);
  EXPECT_EQ(BrowserMenu(state.shell.texts), headless::FindDialog(expected.caption)->menu);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, RecordBrowserLanguageTest,
                         ::testing::Values(LanguageCase{kSpanish, u"Visualizaci\u00f3n", u"1 de 3", u"Operaciones",
                                                        u"Ir a"},
                                           LanguageCase{kEnglish, u"Display", u"1 of 3", u"Operations", u"Go to"}));

TEST_F(RecordBrowserTest, FieldPageIsFortyBoxedLinesOnAWhitePage) {
  Open(kEnglish);
  for (int i = 0; i < 3; ++i) testing::Define(db, agenda[static_cast<std::size_t>(i)]);
  testing::CreateEmptyDataFile(db);
  script.ExpectDialog(u"Display")
      .Inspect([&](const DialogState& browser) {
        const std::vector<DrawOp>& page = browser.Control(kBrowserSurfaceId).picture;
        const platform::Font font{u"MS Sans Serif", 9, false, 204};
        ASSERT_EQ(page.size(), 1u + 2u * 40u);
        EXPECT_EQ(page[0].rect, (platform::Rect{0, 0, 500, 900}));
        EXPECT_EQ(page[0].kind, DrawOp::Kind::Clear);
        EXPECT_EQ(page[0].colour, platform::kWhite);
        for (int i = 0; i < 40; ++i) {
          SCOPED_TRACE(i);
          const DrawOp& box = page[static_cast<std::size_t>(1 + 2 * i)];
          const DrawOp& name = page[static_cast<std::size_t>(2 + 2 * i)];
          EXPECT_EQ(box.kind, DrawOp::Kind::Box);
          EXPECT_EQ(box.rect, (platform::Rect{0, 21 * i, 280, 20}));
          EXPECT_EQ(box.colour, platform::kBlack);
          EXPECT_EQ(box.fill, platform::kWhite);
          EXPECT_EQ(name.kind, DrawOp::Kind::Text);
          EXPECT_EQ(name.rect, (platform::Rect{0, 21 * i + 3, 0, 0}));
          EXPECT_EQ(name.colour, platform::kBlack);
          EXPECT_EQ(name.font, font);
          EXPECT_EQ(name.text, i < 3 ? LineName(agenda[static_cast<std::size_t>(i)].name) : std::u16string(40, u' '));
        }
      })
      .Close();
  Show();
}

TEST(FieldLineAtTest, EachLineTakesItsBoxAndTheGapBelowIt) {
  const std::pair<std::uint16_t, int> cases[] = {
      {0, 0}, {19, 0}, {20, 0}, {21, 1}, {41, 1}, {42, 2}, {818, 38}, {819, 39}, {839, 39}, {840, -1}, {65535, -1},
  };
  for (const auto& [y, line] : cases) EXPECT_EQ(FieldLineAt(y), line) << y;
}

TEST_F(RecordBrowserTest, PreviousAndNextStopAtTheFirstAndLastRecord) {
  Open(kSpanish);
  FillAgenda(3);
  auto label_is = [](const char16_t* text, int copies) {
    return [=](const DialogState& browser) {
      EXPECT_EQ(browser.Control(kBrowserPositionId).text, text);
      EXPECT_EQ(browser.Control(kBrowserSurfaceId).copies, copies);
    };
  };
  script.ExpectDialog(u"Visualización")
      .Click(kBrowserPreviousId)
      .Inspect(label_is(u"1 de 3", 1))
      .Click(kBrowserNextId)
      .Inspect(label_is(u"2 de 3", 2))
      .Click(kBrowserNextId)
      .Click(kBrowserNextId)
      .Inspect(label_is(u"3 de 3", 3))
      .Click(kBrowserPreviousId)
      .Inspect(label_is(u"2 de 3", 4))
      .Click(kBrowserPositionId)  // the label takes clicks but does nothing with them
      .Inspect(label_is(u"2 de 3", 4))
      .Close();
  Show();
  EXPECT_EQ(state.browser.current_record, 2);
}

TEST_F(RecordBrowserTest, TheRecordCountIsReadAgainAtEveryStep) {
  Open(kEnglish);
  FillAgenda(1);
  script.ExpectDialog(u"Display")
      .Click(kBrowserNextId)
      .Inspect([](const DialogState& browser) { EXPECT_EQ(browser.Control(kBrowserPositionId).text, u"1 of 1"); })
      .Do([&] { testing::Store(db, agenda[2], 2, u"added meanwhile"); })
      .Click(kBrowserNextId)
      .Inspect([](const DialogState& browser) { EXPECT_EQ(browser.Control(kBrowserPositionId).text, u"2 of 2"); })
      .Close();
  Show();
}

TEST_F(RecordBrowserTest, AnEmptyDataFileShowsOneOfZeroAndTheViewersSayNoData) {
  Open(kSpanish);
  for (const FieldDefinition& field : agenda) testing::Define(db, field);
  testing::CreateEmptyDataFile(db);
  script.ExpectDialog(u"Visualización")
      .Inspect([](const DialogState& browser) { EXPECT_EQ(browser.Control(kBrowserPositionId).text, u"1 de 0"); })
      .Click(kBrowserNextId)
      .Click(kBrowserPreviousId)
      .Inspect([](const DialogState& browser) {
        EXPECT_EQ(browser.Control(kBrowserPositionId).text, u"1 de 0");
        EXPECT_EQ(browser.Control(kBrowserSurfaceId).copies, 1);
      })
      .ClickAt(kBrowserSurfaceId, 100, LineY(2))
      .ExpectDialog(u"Visualizar cadena")
      .Inspect([](const DialogState& viewer) { EXPECT_EQ(viewer.Control(1085).text, u"No datos"); })
      .Click(1086)
      .Close();
  Show();
}

// Each line opens what its field's type asks for, on the record on show (here record 2).
TEST_F(RecordBrowserTest, AClickOnEachLineOpensTheViewerOfItsType) {
  Open(kEnglish);
  FillAgenda(3);
  auto shows = [](int id, std::u16string text) {
    return [=](const DialogState& viewer) { EXPECT_EQ(viewer.Control(id).text, text); };
  };
  script.ExpectDialog(u"Display")
      .Click(kBrowserNextId)
      .ClickAt(kBrowserSurfaceId, 5, LineY(0))
      .ExpectDialog(u"Numeric data display")
      .Inspect(shows(1082, u"1,234.52"))
      .Inspect(shows(1081, PadFieldName(u"Price")))
      .Click(1083)
      .ClickAt(kBrowserSurfaceId, 270, LineY(1))
      .ExpectDialog(u"Numeric data display")
      .Inspect(shows(1082, u"2"))
      .Click(1083)
      .ClickAt(kBrowserSurfaceId, 450, LineY(2))  // x is not looked at
      .ExpectDialog(u"Text string viewer")
      .Inspect(shows(1085, u"name 2"))
      .Click(1086)
      .ClickAt(kBrowserSurfaceId, 5, LineY(3))
      .ExpectDialog(u"Logical response viewer")
      .Inspect([](const DialogState& viewer) {
        EXPECT_FALSE(viewer.Control(1087).checked);
        EXPECT_TRUE(viewer.Control(1089).checked);
      })
      .Click(1090)
      .ClickAt(kBrowserSurfaceId, 5, LineY(4))
      .ExpectDialog(u"Memotext viewer")
      .Inspect(shows(1091, u"first line\r\nline 2"))
      .Inspect(shows(1092, PadFieldName(u"Notes")))
      .Click(1093)
      .ClickAt(kBrowserSurfaceId, 5, LineY(5))
      .ClickAt(kBrowserSurfaceId, 5, LineY(6))
      .ExpectMessage(u"The sound does NOT exist ...", u"Programmer")
      .Close();
  Show();
  EXPECT_EQ(state.browser.selected_field, PadFieldName(u"Voice"));
  EXPECT_EQ(state.browser.current_record, 2);
  const std::vector<std::u16string>& opened = headless::ShellOpens();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].substr(0, cache.size() + 8), cache + u"image_2_");
  EXPECT_EQ(testing::ReadAll(std::filesystem::path(opened[0])), "JPEG bytes of 2");
}

TEST_F(RecordBrowserTest, ClickedLinesTurnRedUntilNavigationRedrawsThePage) {
  Open(kEnglish);
  FillAgenda(2);
  script.ExpectDialog(u"Display")
      .ClickAt(kBrowserSurfaceId, 10, 20)  // the gap under line 0 belongs to line 0
      .ExpectDialog(u"Numeric data display")
      .Click(1083)
      .ClickAt(kBrowserSurfaceId, 10, 21)
      .ExpectDialog(u"Numeric data display")
      .PressKey(1083)
      .ClickAt(kBrowserSurfaceId, 10, LineY(9))  // an empty box: redrawn, nothing opens
      .Inspect([](const DialogState& browser) {
        EXPECT_EQ(RedLines(browser), (std::vector<int>{0, 1, 9}));
        const std::vector<TextSeen> names = Shown(browser);
        ASSERT_EQ(names.size(), 40u);  // each redrawn box wiped its black name
        const std::vector<DrawOp>& picture = browser.Control(kBrowserSurfaceId).picture;
        const DrawOp& last_box = picture[picture.size() - 2];
        EXPECT_EQ(last_box.kind, DrawOp::Kind::Box);
        EXPECT_EQ(last_box.rect, (platform::Rect{0, 189, 280, 20}));
        EXPECT_EQ(last_box.fill, platform::kWhite);
        EXPECT_EQ(picture.back().text, std::u16string(40, u' '));
        EXPECT_EQ(picture.back().font, (platform::Font{u"MS Sans Serif", 9, false, 204}));
      })
      .Click(kBrowserNextId)
      .Inspect([](const DialogState& browser) { EXPECT_EQ(RedLines(browser), std::vector<int>{}); })
      .Close();
  Show();
  EXPECT_EQ(state.browser.selected_field, PadFieldName(u""));
}

TEST_F(RecordBrowserTest, OnlyTheFirstFortyOfFortyFiveFieldsGetLines) {
  Open(kEnglish);
  for (int i = 1; i <= 45; ++i) {
    testing::Define(db, Field(u"field " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                     std::u16string(1, static_cast<char16_t>(u'0' + i / 10)) +
                                     std::u16string(1, static_cast<char16_t>(u'0' + i % 10)),
                                 FieldType::String));
  }
  testing::CreateEmptyDataFile(db);
  script.ExpectDialog(u"Display")
      .Inspect([](const DialogState& browser) {
        const std::vector<TextSeen> names = Shown(browser);
        ASSERT_EQ(names.size(), 40u);
        EXPECT_EQ(names[39].text, LineName(u"field O40"));
        EXPECT_EQ(names[39].y, 39 * 21 + 3);
      })
      .ClickAt(kBrowserSurfaceId, 10, LineY(39))
      .ExpectDialog(u"Text string viewer")
      .Inspect([](const DialogState& viewer) { EXPECT_EQ(viewer.Control(1084).text, PadFieldName(u"field O40")); })
      .Click(1086)
      .ClickAt(kBrowserSurfaceId, 10, 840)  // below the last line
      .ClickAt(kBrowserSurfaceId, 10, -1)   // read as 65535
      .Inspect([](const DialogState& browser) { EXPECT_EQ(RedLines(browser), std::vector<int>{39}); })
      .Close();
  Show();
}

struct GoToCase {
  const char* what;
  std::vector<std::u16string> answers;  // refused ones, then the accepted one
  std::int64_t record;
};

void PrintTo(const GoToCase& go, std::ostream* out) { *out << go.what; }

class GoToTest : public RecordBrowserTest, public ::testing::WithParamInterface<GoToCase> {};

TEST_P(GoToTest, TheAnswerIsCheckedAfterRounding) {
  const GoToCase& go = GetParam();
  Open(kSpanish);
  FillAgenda(9);
  script.ExpectDialog(u"Visualización").ChooseMenu(1096);
  for (const std::u16string& answer : go.answers) script.AnswerInput(u"De 1 a 9", answer);
  script
      .Inspect([&](const DialogState& browser) {
        const std::u16string record(1, static_cast<char16_t>(u'0' + go.record));
        EXPECT_EQ(browser.Control(kBrowserPositionId).text, record + u" de 9");
        EXPECT_EQ(browser.Control(kBrowserSurfaceId).copies, 2);
      })
      .Close();
  Show();
  EXPECT_EQ(state.browser.current_record, go.record);
  const std::vector<headless::InputShown>& asked = headless::InputsShown();
  ASSERT_EQ(asked.size(), go.answers.size());
  for (const headless::InputShown& input : asked) {
    EXPECT_EQ(input, (headless::InputShown{u"Introduce Registro", u"De 1 a 9", u"", {u"Aceptar", u"Cancelar"}}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, GoToTest,
    ::testing::Values(GoToCase{"plain", {u"7"}, 7}, GoToCase{"last", {u"9"}, 9},
                      GoToCase{"refused", {u"0", u"-3", u"10", u"1", u"seven", u"", u"4"}, 4},
                      GoToCase{"leading number", {u"  5 records"}, 5},
                      GoToCase{"half to even below", {u"2.5"}, 2}, GoToCase{"half to even above", {u"3.5"}, 4},
                      GoToCase{"rounds to zero or to the record on show",
                               {u"0.5", u"0.4", u"-0.4", u"0.51", u"1.6"}, 2},
                      GoToCase{"rounds past N", {u"9.6", u"9.4"}, 9},
                      GoToCase{"rounds onto the record on show", {u"1.4", u"8.5"}, 8},
                      GoToCase{"exponent and hexadecimal", {u"1e30", u"&H6"}, 6}),
    [](const ::testing::TestParamInfo<GoToCase>& info) {
      std::string name = info.param.what;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

TEST_F(RecordBrowserTest, GoToCancelEndsTheCommandWithNothingChanged) {
  Open(kEnglish);
  FillAgenda(1);
  script.ExpectDialog(u"Display")
      .ClickAt(kBrowserSurfaceId, 0, LineY(1))
      .ExpectDialog(u"Numeric data display")
      .Click(1083)
      .ChooseMenu(1096)
      .AnswerInput(u"From 1 to 1", u"1")  // the one record is on show already
      .CancelInput(u"From 1 to 1")
      .Inspect([](const DialogState& browser) {
        EXPECT_EQ(browser.Control(kBrowserPositionId).text, u"1 of 1");
        EXPECT_EQ(browser.Control(kBrowserSurfaceId).copies, 1);
        EXPECT_EQ(RedLines(browser), std::vector<int>{1});
      })
      .Close();
  Show();
  EXPECT_EQ(state.browser.current_record, 1);
  ASSERT_EQ(headless::InputsShown().size(), 2u);
  for (const headless::InputShown& input : headless::InputsShown())
    EXPECT_EQ(input, (headless::InputShown{u"Enter record", u"From 1 to 1", u"", {u"OK", u"Cancel"}}));
}

TEST_F(RecordBrowserTest, WithoutTheOpenFlagAClickOnlyMarksItsLine) {
  Open(kEnglish);
  FillAgenda(1);
  script.ExpectDialog(u"Display")
      .Do([&] { state.browser.open = false; })
      .ClickAt(kBrowserSurfaceId, 0, LineY(2))  // a text line: no viewer opens
      .Inspect([](const DialogState& browser) { EXPECT_EQ(RedLines(browser), std::vector<int>{2}); })
      .Close();
  Show();
  EXPECT_EQ(state.browser.selected_field, PadFieldName(u"Name"));
  EXPECT_FALSE(headless::FindDialog(u"Display")->open);
}

}  // namespace
}  // namespace zentora
