// Dialogs on a small screen and what every runner shows alike: how a dialog too big for the
// work area is fitted (its scrolling text gives up height, the rest scrolls), the program's
// own dialogs at 800x600, the menus' letters, and the message boxes' button in the program's
// language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/database_dialogs.h"
#include "dialogs/entry_dialogs.h"
#include "dialogs/value_viewers.h"
#include "platform/dialog_fit.h"
#include "platform/menu_letters.h"
#include "platform/system.h"
#include "scripted_test.h"
#include "shell/main_window.h"
#include "texts/text_table.h"

namespace zentora {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::FitDialog;
using platform::FittedDialog;
using platform::MakeControl;
using platform::Rect;

constexpr int kBar = 17;

const ControlTemplate kMemo = MakeControl(1, ControlKind::Edit, {}, u"",
                                          platform::kMultiLine | platform::kVerticalScrollBar);
const ControlTemplate kLine = MakeControl(2, ControlKind::Edit, {}, u"", platform::kMultiLine);
const ControlTemplate kButton = MakeControl(3, ControlKind::Button, {}, u"OK");

TEST(FitDialogTest, ATooTallDialogShrinksItsScrollingTextThenScrolls) {
  struct Case {
    const char* what;
    std::vector<ControlTemplate> controls;
    std::vector<Rect> pixels;
    int width, height, room_width, room_height;
    std::vector<Rect> placed;
    int content_height, view_width, view_height;
    bool down, across;
  };
  const Case cases[] = {
      {"fits: nothing moves", {kMemo, kButton}, {{5, 20, 300, 400}, {5, 430, 80, 25}}, 320, 460, 800, 568,
       {{5, 20, 300, 400}, {5, 430, 80, 25}}, 460, 320, 460, false, false},
      {"the memo gives up the overflow, the button moves up with it", {kMemo, kButton},
       {{5, 20, 300, 560}, {5, 590, 80, 25}}, 320, 620, 800, 568,
       {{5, 20, 300, 508}, {5, 538, 80, 25}}, 568, 320, 568, false, false},
      {"the memo keeps its fewest pixels; the rest scrolls", {kMemo, kButton},
       {{5, 20, 300, 100}, {5, 130, 80, 25}}, 320, 160, 800, 90,
       {{5, 20, 300, 64}, {5, 94, 80, 25}}, 124, 320 + kBar, 90, true, false},
      {"no scrolling text: the whole content scrolls", {kLine, kButton},
       {{5, 20, 300, 560}, {5, 590, 80, 25}}, 320, 620, 800, 568,
       {{5, 20, 300, 560}, {5, 590, 80, 25}}, 620, 320 + kBar, 568, true, false},
      {"too wide: it scrolls across, and down for the bar's room", {kButton}, {{5, 5, 900, 25}}, 910, 560, 800, 568,
       {{5, 5, 900, 25}}, 560, 800, 568, true, true},
      {"the tallest scrolling text is the one that gives", {kMemo, kMemo, kButton},
       {{5, 5, 300, 100}, {5, 110, 300, 400}, {5, 520, 80, 25}}, 320, 550, 800, 500,
       {{5, 5, 300, 100}, {5, 110, 300, 350}, {5, 470, 80, 25}}, 500, 320, 500, false, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const FittedDialog fitted = FitDialog(test.controls, test.pixels, test.width, test.height, test.room_width,
                                          test.room_height, kBar);
    EXPECT_EQ(fitted.controls, test.placed);
    EXPECT_EQ(fitted.content_height, test.content_height);
    EXPECT_EQ(fitted.view_width, test.view_width);
    EXPECT_EQ(fitted.view_height, test.view_height);
    EXPECT_EQ(fitted.scrolls_down, test.down);
    EXPECT_EQ(fitted.scrolls_across, test.across);
    EXPECT_LE(fitted.view_width, test.room_width);
    EXPECT_LE(fitted.view_height, test.room_height);
  }
}

TEST(FitDialogTest, AWindowIsPlacedWithinTheWorkAreaAndAControlScrolledIntoView) {
  const Rect area{0, 0, 800, 570};
  struct Case {
    int x, y;
    bool centred;
    int width, height;
    Rect placed;
  };
  const Case cases[] = {
      {100, 100, false, 300, 200, {100, 100, 300, 200}},
      {700, 500, false, 300, 200, {500, 370, 300, 200}},
      {-50, -20, false, 300, 200, {0, 0, 300, 200}},
      {0, 0, true, 300, 200, {250, 185, 300, 200}},
      {100, 100, false, 300, 900, {100, 0, 300, 900}},  // taller than the area: its top shows
  };
  for (const Case& test : cases) {
    EXPECT_EQ(platform::PlaceInWorkArea(area, test.x, test.y, test.centred, test.width, test.height), test.placed);
  }
  // A view 500 tall of a content 620 tall: a button at 590 brings the view down to show it
  // whole; going back up to a control at 20 brings the top back.
  EXPECT_EQ(platform::PositionShowing(0, 500, 620, 590, 25), 115);
  EXPECT_EQ(platform::PositionShowing(115, 500, 620, 20, 25), 20);
  EXPECT_EQ(platform::PositionShowing(115, 500, 620, 300, 25), 115);
}

// The program's tallest dialogs in pixels at a given size of dialog unit, fitted to an 800x600
// screen less a task bar and a title bar: the accept button always within reach.
struct Measured {
  int unit_x;  // pixels per 4 dialog units across
  int unit_y;  // pixels per 8 dialog units down
};

FittedDialog FitAt(const platform::DialogTemplate& dialog, Measured base, int room_height) {
  std::vector<Rect> pixels;
  int width = dialog.rect.cx * base.unit_x / 4;
  int height = dialog.rect.cy * base.unit_y / 8;
  for (const ControlTemplate& control : dialog.controls) {
    const Rect& r = control.rect;
    pixels.push_back({r.x * base.unit_x / 4, r.y * base.unit_y / 8, r.cx * base.unit_x / 4, r.cy * base.unit_y / 8});
    width = std::max(width, pixels.back().x + pixels.back().cx);
    height = std::max(height, pixels.back().y + pixels.back().cy);
  }
  return FitDialog(dialog.controls, pixels, width, height, 800 - 8, room_height, kBar);
}

Rect ControlIn(const platform::DialogTemplate& dialog, const FittedDialog& fitted, int id) {
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    if (dialog.controls[i].id == id) return fitted.controls[i];
  }
  ADD_FAILURE() << "no control " << id;
  return {};
}

TEST(SmallScreenTest, TheTallestDialogsKeepTheirButtonsWithinReachAt800x600) {
  const Texts texts{1};
  constexpr int kRoom = 600 - 30 - 32;  // a task bar and a title bar
  struct Case {
    const char* what;
    platform::DialogTemplate dialog;
    int button;
    bool may_scroll;  // nothing shrinks in it: it scrolls where it must
  };
  const Case cases[] = {
      {"define field", DefineFieldDialogTemplate(texts), kFieldAcceptId, true},
      {"memo entry", MemoEntryTemplate(texts, u"Notas", u""), kMemoEntryAcceptId, false},
      {"structure viewer", MemoViewerTemplate(texts, u"Estructura"), kMemoViewerCloseId, false},
  };
  for (const Case& test : cases) {
    for (const Measured base : {Measured{6, 13}, Measured{7, 16}, Measured{8, 17}}) {
      SCOPED_TRACE(std::string(test.what) + " at " + std::to_string(base.unit_x) + "x" + std::to_string(base.unit_y));
      const FittedDialog fitted = FitAt(test.dialog, base, kRoom);
      EXPECT_LE(fitted.view_height, kRoom);
      const Rect button = ControlIn(test.dialog, fitted, test.button);
      EXPECT_LE(button.y + button.cy, fitted.content_height) << "the button lies in what the window can show";
      if (!test.may_scroll) {
        EXPECT_FALSE(fitted.scrolls_down);
        EXPECT_LE(button.y + button.cy, fitted.view_height) << "the button shows without scrolling";
      } else if (fitted.content_height > kRoom) {
        EXPECT_TRUE(fitted.scrolls_down);
      }
    }
  }
}

TEST(MenuLettersTest, EachItemOfALevelGetsALetterOfItsOwn) {
  struct Case {
    std::vector<std::u16string> texts;
    std::vector<std::size_t> letters;
    std::vector<std::u16string> marked;
  };
  constexpr std::size_t kNone = std::u16string::npos;
  const Case cases[] = {
      {{u"Español", u"English"}, {0, 1}, {u"&Español", u"E&nglish"}},
      {{u"Nuevo", u"-", u"Nombre", u"Salir"}, {0, kNone, 1, 0}, {u"&Nuevo", u"-", u"N&ombre", u"&Salir"}},
      {{u"a", u"A", u"ab"}, {0, kNone, 1}, {u"&a", u"A", u"a&b"}},
      {{u"Ñu", u"ñandú"}, {0, 1}, {u"&Ñu", u"ñ&andú"}},
      {{u"R&D", u"Rd"}, {0, 1}, {u"&R&&D", u"R&d"}},
      {{u"1 & 2", u"12"}, {0, 1}, {u"&1 && 2", u"1&2"}},
  };
  for (const Case& test : cases) {
    std::vector<platform::MenuItem> items;
    for (const std::u16string& text : test.texts) items.push_back({0, text, 0, {}});
    const std::vector<std::size_t> letters = platform::MenuLetters(items);
    EXPECT_EQ(letters, test.letters);
    for (std::size_t i = 0; i < items.size() && i < letters.size(); ++i) {
      if (items[i].text == u"-") continue;
      EXPECT_EQ(platform::MarkedMenuText(items[i].text, letters[i]), test.marked[i]);
    }
  }
}

TEST(MenuLettersTest, NoTwoItemsOfAnyLevelOfTheMainMenuShareALetter) {
  for (const std::int32_t language : {1, 5}) {
    const platform::Menu bar = MainMenu(Texts{language});
    std::vector<const std::vector<platform::MenuItem>*> levels{&bar};
    for (const platform::MenuItem& popup : bar) levels.push_back(&popup.items);
    for (const auto* level : levels) {
      const std::vector<std::size_t> letters = platform::MenuLetters(*level);
      for (std::size_t i = 0; i < level->size(); ++i) {
        if ((*level)[i].text == u"-") continue;
        EXPECT_NE(letters[i], std::u16string::npos) << "item " << i;
      }
    }
  }
}

class MessageButtonTest : public testing::ScriptedTest {};

TEST_F(MessageButtonTest, AMessageBoxSaysOkInTheProgramsLanguage) {
  struct Case {
    std::int32_t language;
    const char16_t* caption;
    const char16_t* button;
  };
  for (const Case test : {Case{1, u"Nombre base de datos", u"Aceptar"}, Case{5, u"Database name", u"OK"}}) {
    const Texts texts{test.language};
    script.ExpectDialog(test.caption).Type(kDatabaseNameEditId, u"a/b").Click(kDatabaseNameAcceptId);
    script.ExpectMessage(texts.Text(text::kInvalidName)).Close();
    EXPECT_EQ(ShowDatabaseNameDialog(texts, platform::CurrentFolder()), std::nullopt);
    ASSERT_FALSE(platform::headless::MessageButtonsShown().empty());
    EXPECT_EQ(platform::headless::MessageButtonsShown().back(), test.button);
  }
}

}  // namespace
}  // namespace zentora
