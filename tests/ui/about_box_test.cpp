#include "shell/about_box.h"

#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include "shell/ui_state.h"

namespace zentora {
namespace {

using platform::ControlKind;
using platform::headless::DialogState;
namespace headless = platform::headless;

constexpr int32_t kSpanish = 1;
constexpr int32_t kEnglish = 5;

struct LanguageCase {
  int32_t language;
  const char16_t* title;
  const char16_t* thanks;
  const char16_t* exit;
};

class AboutBoxLanguageTest : public testing::ScriptedTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(AboutBoxLanguageTest, ShowsTheLayoutAndTextsOfTheLanguageInForce) {
  const LanguageCase& expected = GetParam();
  ShellState state = MakeShellState(expected.language);
  script.ExpectDialog(expected.title)
      .Inspect([&](const DialogState& box) {
        EXPECT_EQ(box.dialog.rect, (platform::Rect{0, 0, 221, 121}));
        EXPECT_EQ(box.dialog.units, platform::Units::DialogUnits);
        // Measured in the desktop's own dialog font, not the program's larger bold one.
        EXPECT_EQ(box.dialog.font, (platform::Font{u"MS Sans Serif", 8, false}));
        EXPECT_EQ(box.dialog.style,
                  platform::kStyleCaption | platform::kStyleModalFrame | platform::kStyleCentred);
        ASSERT_EQ(box.controls.size(), 4u);

        const auto& icon = box.Control(kAboutIconId).control;
        EXPECT_EQ(icon.kind, ControlKind::Icon);
        EXPECT_EQ(icon.rect, (platform::Rect{5, 5, 30, 30}));
        EXPECT_EQ(icon.image, 701);

        const auto& thanks = box.Control(kAboutThanksId).control;
        EXPECT_EQ(thanks.kind, ControlKind::Static);
        EXPECT_EQ(thanks.rect, (platform::Rect{40, 10, 190, 25}));
        EXPECT_EQ(thanks.text, expected.thanks);
        EXPECT_EQ(thanks.font, (platform::Font{u"MS Sans Serif", 10, true}));

        const auto& credit = box.Control(kAboutCreditId).control;
        EXPECT_EQ(credit.kind, ControlKind::Static);
        EXPECT_EQ(credit.rect, (platform::Rect{5, 50, 190, 40}));
        EXPECT_EQ(credit.text, UiText(state.texts.table, expected.language, text::kAboutCredit));
        EXPECT_FALSE(credit.text.empty());
        EXPECT_EQ(credit.font, (platform::Font{u"MS Sans Serif", 10, true}));

        const auto& exit = box.Control(kAboutExitId).control;
        EXPECT_EQ(exit.kind, ControlKind::Button);
        EXPECT_EQ(exit.rect, (platform::Rect{5, 100, 90, 15}));
        EXPECT_EQ(exit.text, expected.exit);
        EXPECT_EQ(exit.font, (platform::Font{u"MS Sans Serif", 14, true}));
      })
      .Click(kAboutExitId);
  EXPECT_EQ(ShowAboutBox(state), 0);
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, AboutBoxLanguageTest,
    ::testing::Values(LanguageCase{kSpanish, u"Autor", u"Velmora te da las Gracias por usar este programa.", u"Salir"},
                      LanguageCase{kEnglish, u"Author", u"Velmora thanks you for using this program.", u"Exit"}));

using AboutBoxTest = testing::ScriptedTest;

TEST_F(AboutBoxTest, TheFigureRunsThroughItsSevenFramesOncePer100Ms) {
  ShellState state = MakeShellState(kEnglish);
  const std::vector<int> one_stride = {701, 702, 703, 704, 705, 706, 707};
  script.ExpectDialog(u"Author")
      .Wait(99)
      .Inspect([](const DialogState& box) {
        EXPECT_TRUE(box.Control(kAboutIconId).images_shown.empty());
        EXPECT_EQ(box.Control(kAboutIconId).image, 701);
        ASSERT_EQ(box.timers.count(kAboutTimerId), 1u);
        EXPECT_EQ(box.timers.at(kAboutTimerId).period_ms, 100u);
      })
      .Wait(1)
      .Inspect([](const DialogState& box) {
        // The first tick shows frame 701 again.
        EXPECT_EQ(box.Control(kAboutIconId).images_shown, std::vector<int>{701});
      })
      .Wait(600)
      .Inspect([&](const DialogState& box) { EXPECT_EQ(box.Control(kAboutIconId).images_shown, one_stride); })
      .Wait(250)
      .Inspect([&](const DialogState& box) {
        std::vector<int> expected = one_stride;
        expected.insert(expected.end(), {701, 702});
        EXPECT_EQ(box.Control(kAboutIconId).images_shown, expected);
        EXPECT_EQ(box.Control(kAboutIconId).image, 702);
      })
      .PressKey(kAboutExitId);
  EXPECT_EQ(ShowAboutBox(state), 0);
}

TEST_F(AboutBoxTest, ClosingStopsTheTimer) {
  ShellState state = MakeShellState(kSpanish);
  script.ExpectDialog(u"Autor").Wait(300).Click(kAboutExitId);
  ShowAboutBox(state);
  const DialogState& box = *headless::FindDialog(u"Autor");
  EXPECT_FALSE(box.open);
  EXPECT_TRUE(box.timers.empty());
  headless::AdvanceClock(1000);
  EXPECT_EQ(box.Control(kAboutIconId).images_shown, (std::vector<int>{701, 702, 703}));
}

// The box asks for no close box, but a desktop that gives it one anyway (and Escape with it)
// closes it as Exit does, its figure stopped.
TEST_F(AboutBoxTest, TheWindowCloseCommandEndsTheBox) {
  ShellState state = MakeShellState(kEnglish);
  script.ExpectDialog(u"Author").Close();
  ShowAboutBox(state);
  const DialogState* box = headless::FindDialog(u"Author");
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->open);
  EXPECT_TRUE(box->timers.empty());
}

TEST_F(AboutBoxTest, EscapeDoesNothingWhereTheBoxHasNoCloseBox) {
  ShellState state = MakeShellState(kEnglish);
  script.ExpectDialog(u"Author")
      .Press(headless::Keystroke::Escape)
      .Inspect([](const DialogState& box) { EXPECT_TRUE(box.open); })
      .Click(kAboutExitId);
  ShowAboutBox(state);
}

TEST_F(AboutBoxTest, AuthorWhileTheBoxIsOpenDoesNothing) {
  ShellState state = MakeShellState(kEnglish);
  script.ExpectDialog(u"Author")
      .Inspect([&](const DialogState&) { EXPECT_TRUE(state.about_box_open); })
      // A second box would be a dialog the script does not expect, and stop the test.
      .Do([&] { RunAboutCommand(state); })
      .Wait(100)
      .Click(kAboutExitId)
      .ExpectDialog(u"Author")
      .Click(kAboutExitId);
  RunAboutCommand(state);
  EXPECT_FALSE(state.about_box_open);
  EXPECT_EQ(headless::Dialogs().size(), 1u);
  RunAboutCommand(state);
  EXPECT_EQ(headless::Dialogs().size(), 2u);
  // The second box starts the figure from its first frame.
  EXPECT_TRUE(headless::Dialogs()[1]->Control(kAboutIconId).images_shown.empty());
}

TEST_F(AboutBoxTest, ALanguageSwitchReachesOnlyTheNextBox) {
  ShellState state = MakeShellState(kSpanish);
  script.ExpectDialog(u"Autor")
      .Do([&] { state.texts.language = kEnglish; })
      .Inspect([](const DialogState& box) {
        EXPECT_EQ(box.caption, u"Autor");
        EXPECT_EQ(box.Control(kAboutExitId).text, u"Salir");
      })
      .Click(kAboutExitId)
      .ExpectDialog(u"Author")
      .Click(kAboutExitId);
  RunAboutCommand(state);
  RunAboutCommand(state);
}

TEST(AboutBoxGuard, IsClearedWhenTheBoxFails) {
  headless::Script script;  // expects nothing: the box is an unexpected dialog
  ShellState state = MakeShellState(kSpanish);
  EXPECT_THROW(RunAboutCommand(state), headless::ScriptFailure);
  EXPECT_FALSE(state.about_box_open);
}

TEST(AboutFrames, RunFrom701To707AndBack) {
  const std::vector<std::pair<int16_t, int16_t>> cases = {
      {701, 702}, {702, 703}, {706, 707}, {707, 701}, {0, 701}, {708, 701}};
  for (const auto& [frame, next] : cases) EXPECT_EQ(NextAboutFrame(frame), next) << frame;
}

}  // namespace
}  // namespace zentora
