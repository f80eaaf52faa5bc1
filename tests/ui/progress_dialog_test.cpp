#include "dialogs/progress_dialog.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ui.h"
#include "platform/headless/script.h"
#include "scripted_test.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using headless::DialogState;

using ProgressDialogTest = testing::ScriptedTest;

TEST_F(ProgressDialogTest, IsASmallBorderedBarOnTopWithNoTitleBar) {
  const platform::DialogTemplate dialog = ProgressDialogTemplate();
  EXPECT_EQ(dialog.caption, u"Dialog1");
  EXPECT_EQ(dialog.rect, (platform::Rect{0, 0, 100, 10}));
  EXPECT_EQ(dialog.units, platform::Units::DialogUnits);
  EXPECT_EQ(dialog.style, platform::kStyleCentred | platform::kStyleTopmost | platform::kStyleModalFrame |
                              platform::kStyleNoTitleBar);
  ASSERT_EQ(dialog.controls.size(), 1u);
  EXPECT_EQ(dialog.controls[0].id, 1001);
  EXPECT_EQ(dialog.controls[0].kind, platform::ControlKind::ProgressBar);
  EXPECT_EQ(dialog.controls[0].rect, (platform::Rect{0, 0, 100, 10}));
  EXPECT_EQ(dialog.controls[0].text, u"ProgressBar1");
}

TEST_F(ProgressDialogTest, ShowsModelessAndReturnsAtOnce) {
  ProgressState state;
  script.ExpectDialog(u"Dialog1");
  ShowProgressDialog(state);
  ASSERT_TRUE(state.window);
  const DialogState& shown = headless::StateOf(state.window);
  EXPECT_TRUE(shown.open);
  EXPECT_FALSE(shown.modal);
  EXPECT_TRUE(shown.visible);
  EXPECT_EQ(shown.Control(kProgressBarId).progress_low, 0);
  EXPECT_EQ(shown.Control(kProgressBarId).progress_high, 100);
  EndProgressDialog(state);
}

struct StrideCase {
  uint64_t units;
  std::vector<int> positions;
};

class ProgressStrideTest : public testing::ScriptedTest, public ::testing::WithParamInterface<StrideCase> {};

TEST_P(ProgressStrideTest, MovesAfterEveryUnitAndEndsAtAHundred) {
  ProgressState state;
  script.ExpectDialog(u"Dialog1");
  ShowProgressDialog(state);
  const platform::Dialog shown = state.window;
  for (uint64_t k = 1; k <= GetParam().units; ++k) {
    AdvanceProgress(state, k, GetParam().units);
    // Messages are let through before every move, so the bar gets painted.
    EXPECT_EQ(headless::PumpCount(), static_cast<int>(k));
  }
  EndProgressDialog(state);
  EXPECT_FALSE(state.window);
  EXPECT_FALSE(headless::StateOf(shown).open);
  EXPECT_EQ(headless::StateOf(shown).Control(kProgressBarId).positions_shown, GetParam().positions);
}

INSTANTIATE_TEST_SUITE_P(Units, ProgressStrideTest,
                         ::testing::Values(StrideCase{1, {100}}, StrideCase{3, {33, 66, 100}},
                                           StrideCase{7, {14, 28, 42, 57, 71, 85, 100}}));

TEST_F(ProgressDialogTest, ThereIsNeverMoreThanOne) {
  ProgressState state;
  script.ExpectDialog(u"Dialog1").ExpectDialog(u"Dialog1");
  ShowProgressDialog(state);
  const platform::Dialog first = state.window;
  ShowProgressDialog(state);
  EXPECT_NE(state.window, first);
  EXPECT_FALSE(headless::StateOf(first).open);
  EXPECT_TRUE(headless::StateOf(state.window).open);
  EndProgressDialog(state);
  EndProgressDialog(state);  // a second end finds nothing to end
  EXPECT_FALSE(state.window);
}

TEST_F(ProgressDialogTest, AdvancingWithNoDialogStillLetsMessagesThrough) {
  ProgressState state;
  AdvanceProgress(state, 1, 2);
  EXPECT_EQ(headless::PumpCount(), 1);
  EXPECT_TRUE(headless::Dialogs().empty());
}

// The waiting form: a line and a Cancel; each way of giving up ends the wait, and until then
// the wait goes on with messages let through.
TEST_F(ProgressDialogTest, TheWaitingFormGoesOnUntilTheUserGivesUp) {
  struct Case {
    const char* what;
    std::function<void(headless::Script&)> give_up;
  };
  const Case cases[] = {
      {"Cancel clicked", [](headless::Script& s) { s.Click(kWaitingCancelId); }},
      {"Cancel from the keyboard", [](headless::Script& s) { s.PressKey(kWaitingCancelId); }},
      {"Escape", [](headless::Script& s) { s.Press(headless::Keystroke::Escape); }},
      {"the close box", [](headless::Script& s) { s.Close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgressState state;
    script.ExpectDialog(u"Espera");
    ShowWaitingDialog(state, u"Espera", u"En uso", u"Cancelar");
    const platform::Dialog shown = state.window;
    ASSERT_TRUE(shown);
    EXPECT_EQ(headless::StateOf(shown).Control(kWaitingLineId).text, u"En uso");
    EXPECT_TRUE(StillWaiting(state));  // nothing done yet
    // Shown again while waiting: the same dialog stays.
    ShowWaitingDialog(state, u"Espera", u"En uso", u"Cancelar");
    EXPECT_EQ(state.window, shown);
    c.give_up(script);
    EXPECT_FALSE(StillWaiting(state));
    EXPECT_FALSE(StillWaiting(state)) << "given up stays given up";
    // The bar takes its place once the file is held.
    script.ExpectDialog(u"Dialog1");
    ShowProgressDialog(state);
    EXPECT_FALSE(headless::StateOf(shown).open);
    EXPECT_FALSE(state.waiting);
    EndProgressDialog(state);
  }
}

TEST(ProgressPercent, RoundsDownAndNeverPassesAHundred) {
  struct Case {
    uint64_t done;
    uint64_t total;
    int percent;
  };
  const std::vector<Case> cases = {
      {0, 10, 0},        {1, 3, 33},   {2, 3, 66},    {3, 3, 100},   {199, 200, 99},
      {5, 0, 100},       {12, 10, 100}, {1, 1, 100},  {4'000'000'000ull, 8'000'000'000ull, 50},
      {UINT64_MAX - 1, UINT64_MAX, 99}, {UINT64_MAX / 3, UINT64_MAX, 33},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressPercent(c.done, c.total), c.percent) << c.done << "/" << c.total;
}

}  // namespace
}  // namespace zentora
