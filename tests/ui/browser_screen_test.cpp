// The record browser on screens of every height: the window it asks for as a function of the
// screen's work area, and a field page that scrolls to every line by keyboard on a short one.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "dialogs/record_browser.h"
#include "platform/scrolling.h"
#include "platform/headless/script.h"
#include "sample_records.h"
#include "scripted_test.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using headless::Keystroke;
using platform::Rect;

struct ScreenCase {
  const char* what;
  Rect work_area;
  Rect window;      // the client area the browser asks for
  Rect page;        // its field page
  int scroll_height;  // 0: the page shows every line
};

void PrintTo(const ScreenCase& screen, std::ostream* out) { *out << screen.what; }

class BrowserScreenTest : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(BrowserScreenTest, TheWindowFitsTheWorkArea) {
  const ScreenCase& c = GetParam();
  const Texts texts{1};
  const platform::DialogTemplate dialog = RecordBrowserTemplate(texts, c.work_area);
  EXPECT_EQ(dialog.rect, c.window);
  ASSERT_EQ(dialog.controls.size(), 4u);
  EXPECT_EQ(dialog.controls[0].id, kBrowserSurfaceId);
  EXPECT_EQ(dialog.controls[0].rect, c.page);
  EXPECT_EQ(dialog.controls[0].scroll_height, c.scroll_height);
  // The arrows and the position stay where they are.
  const platform::DialogTemplate big = RecordBrowserTemplate(texts, {0, 0, 1280, 1024});
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(dialog.controls[i], big.controls[i]);
  // Whatever the screen, the window's frame ends inside the work area once it has room for
  // three lines.
  if (c.work_area.cy >= 200) {
    EXPECT_GE(dialog.rect.y, c.work_area.y);
    EXPECT_LE(dialog.rect.y + dialog.rect.cy + kBrowserFrameAllowance, c.work_area.y + c.work_area.cy);
  }
}

constexpr int kPage = 40 * kFieldLinePitch;
constexpr int kWide = 292 + kBrowserScrollBarWidth;

INSTANTIATE_TEST_SUITE_P(
    Screens, BrowserScreenTest,
    ::testing::Values(
        ScreenCase{"big screen: as it always was", {0, 0, 1920, 1080}, {83, 50, 292, 895}, {5, 25, 282, 845}, 0},
        ScreenCase{"1024 high", {0, 0, 1280, 1024}, {83, 50, 292, 895}, {5, 25, 282, 845}, 0},
        ScreenCase{"960 high, no task bar: moved up, all shown", {0, 0, 1024, 960}, {83, 5, 292, 895},
                   {5, 25, 282, 845}, 0},
        ScreenCase{"960 high less a task bar: scrolls", {0, 0, 1024, 932}, {83, 0, kWide, 872},
                   {5, 25, 282 + kBrowserScrollBarWidth, 822}, kPage},
        ScreenCase{"768 high", {0, 0, 1024, 768}, {83, 0, kWide, 708}, {5, 25, 282 + kBrowserScrollBarWidth, 658},
                   kPage},
        ScreenCase{"768 high under a top panel", {0, 28, 1024, 740}, {83, 28, kWide, 680},
                   {5, 25, 282 + kBrowserScrollBarWidth, 630}, kPage},
        ScreenCase{"tiny: three lines at least", {0, 0, 640, 100}, {83, 0, kWide, 113},
                   {5, 25, 282 + kBrowserScrollBarWidth, 63}, kPage}));

struct ScrollCase {
  int first, top, height, expected;
};

TEST(FirstRowShowing, MovesTheLeastThatShowsTheRowsAndStaysInsideTheDrawing) {
  // A view 100 rows tall of a drawing 300 tall.
  const ScrollCase cases[] = {
      {0, 10, 21, 0},       // already in view
      {0, 90, 21, 11},      // below: its bottom comes to the view's bottom
      {50, 20, 21, 20},     // above: its top comes to the view's top
      {0, 290, 21, 200},    // never past the drawing's end
      {100, -5, 21, 0},     // never before its start
      {120, 150, 21, 120},  // inside
  };
  for (const ScrollCase& c : cases) {
    SCOPED_TRACE(c.top);
    EXPECT_EQ(platform::FirstRowShowing(c.first, 100, 300, c.top, c.height), c.expected);
  }
}

class ShortScreenTest : public testing::ScriptedTest {
 protected:
  void SetUp() override {
    testing::MakeDatabaseFolder(db);
    for (int i = 1; i <= 40; ++i) {
      const std::u16string n{static_cast<char16_t>(u'0' + i / 10), static_cast<char16_t>(u'0' + i % 10)};
      testing::Define(db, testing::Field(u"campo " + n, FieldType::String));
    }
  }
  static std::function<void(const headless::DialogState&)> Top(int expected) {
    return [expected](const headless::DialogState& shown) {
      EXPECT_EQ(shown.Control(kBrowserSurfaceId).scroll_top, expected);
    };
  }

  testing::TempFolder folder;
  Database db{folder.path(), u"muchos"};
  Texts texts{1};
  AttachmentsState attachments;
  RecordBrowserState browser;
};

TEST_F(ShortScreenTest, TheMarkScrollsThePageToEveryLineAndEnterOpensTheLast) {
  script.UseWorkArea({0, 0, 1024, 768});
  script.ExpectDialog(u"Visualización").Inspect(Top(0));
  for (int i = 0; i < 31; ++i) script.Press(Keystroke::Down);  // line 30: the last that shows
  script.Inspect(Top(0)).Press(Keystroke::Down).Inspect(Top(31 * kFieldLinePitch + 21 - 658));
  for (int i = 0; i < 10; ++i) script.Press(Keystroke::Down);  // past the last line, it stays
  script.Inspect(Top(kPage - 658)).Press(Keystroke::Enter);
  script.ExpectDialog(u"Visualizar cadena").Inspect([](const headless::DialogState& viewer) {
    EXPECT_EQ(viewer.Control(1084).text, PadFieldName(u"campo 40"));
  });
  script.Press(Keystroke::Enter).Press(Keystroke::Home).Inspect(Top(0)).Press(Keystroke::Escape);
  ShowRecordBrowser(texts, db, browser, attachments);
  EXPECT_EQ(browser.selected_field, PadFieldName(u"campo 40"));
}

// The border a drawn box of the surface shows now at `box`: that of the last box drawn there.
platform::Colour BorderAt(const headless::DialogState& shown, platform::Rect box) {
  platform::Colour border = platform::kWhite;
  for (const headless::DrawOp& op : shown.Control(kBrowserSurfaceId).picture) {
    if (op.kind == headless::DrawOp::Kind::Box && op.rect == box) border = op.colour;
  }
  return border;
}

TEST_F(ShortScreenTest, TheMarkLeavesALineItVisitedAsThePageDrawsIt) {
  const auto outer = [](int line) { return platform::Rect{0, line * kFieldLinePitch, 280, 20}; };
  const auto inner = [](int line) { return platform::Rect{1, line * kFieldLinePitch + 1, 278, 18}; };
  script.ExpectDialog(u"Visualización").Press(Keystroke::Down).Press(Keystroke::Down).Press(Keystroke::Down);
  script.Press(Keystroke::Up).Inspect([&](const headless::DialogState& shown) {
    // Lines 0 and 2 were visited: a 1-pixel black border again; line 1 holds the mark.
    for (const int line : {0, 2}) {
      EXPECT_EQ(BorderAt(shown, outer(line)), platform::kBlack) << "line " << line;
      EXPECT_EQ(BorderAt(shown, inner(line)), platform::kWhite) << "line " << line;
    }
    EXPECT_EQ(BorderAt(shown, outer(1)), platform::kMarkBlue);
    EXPECT_EQ(BorderAt(shown, inner(1)), platform::kMarkBlue);
  });
  script.Press(Keystroke::Escape);
  ShowRecordBrowser(texts, db, browser, attachments);
}

TEST_F(ShortScreenTest, OnABigScreenThePageNeverScrolls) {
  script.ExpectDialog(u"Visualización").Press(Keystroke::End).Inspect(Top(0)).Press(Keystroke::Escape);
  ShowRecordBrowser(texts, db, browser, attachments);
}

}  // namespace
}  // namespace zentora
