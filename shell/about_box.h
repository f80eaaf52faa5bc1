// The About box: thanks, the maker's credit line and a running figure drawn in seven icon
// frames that change every 100 ms. It stays until the user presses its button.
#pragma once
#include <cstdint>

#include "platform/ui.h"
#include "shell/ui_state.h"

namespace zentora {

inline constexpr int kAboutIconId = 1118;
inline constexpr int kAboutThanksId = 1119;
inline constexpr int kAboutCreditId = 1120;
inline constexpr int kAboutExitId = 1117;
inline constexpr int kAboutTimerId = 1521;
inline constexpr unsigned kAboutFramePeriodMs = 100;
inline constexpr int16_t kFirstAboutFrame = 701;
inline constexpr int16_t kLastAboutFrame = 707;

// The box in the language in force, with its texts looked up now: an open box keeps them.
platform::DialogTemplate AboutBoxTemplate(const Texts& texts);

// The icon resource shown after `frame`: 701, 702, ... 707, then 701 again.
int16_t NextAboutFrame(int16_t frame);

// Shows the box modally; returns its end result, always 0.
int ShowAboutBox(const ShellState& state);

// The Author command: opens the box unless one is open already, in which case it does nothing.
void RunAboutCommand(ShellState& state);

}  // namespace zentora
