// The small bar shown while a long piece of work (storing an attachment) runs on the user
// interface thread. It does nothing by itself: its caller shows it, moves it after each unit
// of work and ends it. There is no way for the user to cancel the work itself; while the work
// waits for a file another program holds, the dialog says so instead, and its Cancel (or
// Escape) gives up that wait.
#pragma once
#include <cstdint>

#include "platform/ui.h"

namespace zentora {

inline constexpr int kProgressBarId = 1001;
inline constexpr int kWaitingLineId = 1002;
inline constexpr int kWaitingCancelId = 1003;

// The one progress dialog, while it is shown; empty otherwise.
struct ProgressState {
  platform::Dialog window;
  bool waiting = false;    // it shows the waiting line, not the bar
  bool cancelled = false;  // the user gave up the wait
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

// The dialog while another program holds the file the work needs: `line` says so, and a
// button `cancel` gives up the wait. Captioned `caption`, with a close box, so Escape gives up too.
platform::DialogTemplate WaitingDialogTemplate(const std::u16string& caption, const std::u16string& line,
                                               const std::u16string& cancel);

// Shows the waiting form of the dialog in place of the bar (once: a dialog already waiting
// stays as it is). A new one starts with `cancelled` cleared.
void ShowWaitingDialog(ProgressState& state, const std::u16string& caption, const std::u16string& line,
                       const std::u16string& cancel);

// While waiting: lets waiting messages through, so the dialog answers; false once the user
// gave up the wait.
bool StillWaiting(ProgressState& state);

// Ends the dialog; the handle is cleared. Nothing happens when none is shown.
void EndProgressDialog(ProgressState& state);

}  // namespace zentora
