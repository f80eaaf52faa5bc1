// The small bar shown while a long piece of work (storing an attachment) runs on the user
// interface thread. It does nothing by itself: its caller shows it, moves it after each unit
// of work and ends it. There is no way for the user to cancel the work.
#pragma once
#include <cstdint>

#include "platform/ui.h"

namespace zentora {

inline constexpr int kProgressBarId = 1001;

// The one progress dialog, while it is shown; empty otherwise.
struct ProgressState {
  platform::Dialog window;
};

platform::DialogTemplate ProgressDialogTemplate();

// Shows the dialog modeless and keeps its handle in `state.window`; returns at once.
// A dialog already shown is ended first, so there is never more than one.
void ShowProgressDialog(ProgressState& state);

// After unit `done` of `total`: lets waiting messages through, then moves the bar to
// 100 * done / total percent (rounded down). `total` 0, or `done` past it, count as complete.
void AdvanceProgress(ProgressState& state, uint64_t done, uint64_t total);

// The position AdvanceProgress shows for unit `done` of `total`.
int ProgressPercent(uint64_t done, uint64_t total);

// Ends the dialog; the handle is cleared. Nothing happens when none is shown.
void EndProgressDialog(ProgressState& state);

}  // namespace zentora
