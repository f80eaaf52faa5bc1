// The About box: thanks, the maker's credit line and a running figure drawn in seven icon
// frames that change every 100 ms. It stays until the user presses its button.
#pragma once
#include <cstdint>

#include "platform/ui.h"
#include "resources/resource_numbers.h"
#include "shell/ui_state.h"

namespace zentora {

inline constexpr int kAboutIconId = 1118;
inline constexpr int kAboutThanksId = 1119;
inline constexpr int kAboutCreditId = 1120;
inline constexpr int kAboutExitId = 1117;
inline constexpr int kAboutTimerId = 1521;
inline constexpr unsigned kAboutFramePeriodMs = 100;
inline constexpr int16_t kFirstAboutFrame = PICTURE_RUNNING_FIGURE_1;
inline constexpr int16_t kLastAboutFrame = PICTURE_RUNNING_FIGURE_7;
static_assert(kLastAboutFrame - kFirstAboutFrame == 6, "the seven frames are numbered one after another");

// The box in the language in force, with its texts looked up now: an open box keeps them.
platform::DialogTemplate AboutBoxTemplate(const Texts& texts);

// The icon resource shown after `frame`: the first frame, the second, ... the seventh, then the
// first again.
int16_t NextAboutFrame(int16_t frame);

// Shows the box modally; returns its end result, always 0.
int ShowAboutBox(const ShellState& state);

// The Author command: opens the box unless one is open already, in which case it does nothing.
void RunAboutCommand(ShellState& state);

}  // namespace zentora
