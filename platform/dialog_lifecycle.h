// What the runners behind platform/ui.h share, whatever their desktop: the bookkeeping of an
// open dialog's life, the parking of a handler's exception, and the rule that adjacent
// option buttons form one group.
#pragma once
#include <cstddef>
#include <exception>
#include <utility>
#include <vector>

#include "platform/ui.h"

namespace zentora::platform {

struct DialogLifecycle {
  bool modal = false;
  int depth = 0;            // handler calls in progress on this dialog
  bool ending = false;      // ended: a modal loop stops, a modeless dialog goes once its handler returns
  bool destroying = false;  // its Destroy event is under way or done
  int result = 0;

  // A modeless dialog ended while none of its handler calls runs: it goes now, unless it is
  // going already.
  bool ModelessDue() const { return !modal && ending && depth == 0 && !destroying; }
};

// A handler's exception cannot cross a desktop's own frames: it waits here and leaves from
// RunModal, CreateModeless or PumpMessages once the desktop's loop has returned.
class ParkedFailure {
 public:
  // Keeps the exception being handled, unless an earlier one still waits.
  void Park() {
    if (!failure_) failure_ = std::current_exception();
  }
  void Rethrow() {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  std::exception_ptr failure_;
};

// One handler call on a desktop runner. A failure is parked and ends the dialog with result
// -1; `end_modal` then stops a modal dialog's loop. True when a modeless dialog is due to go.
template <class Call, class EndModal>
bool DeliverParked(DialogLifecycle& life, ParkedFailure& parked, Call call, EndModal end_modal) {
  ++life.depth;
  try {
    call();
  } catch (...) {
    parked.Park();
    life.ending = true;
    life.result = -1;
    if (life.modal) end_modal();
  }
  --life.depth;
  return life.ModelessDue();
}

// Adjacent options form one group, in which choosing one clears the others: every control
// starts a group but an option that follows an option.
inline bool StartsGroup(const std::vector<ControlTemplate>& controls, std::size_t i) {
  return !(controls[i].kind == ControlKind::Option && i > 0 && controls[i - 1].kind == ControlKind::Option);
}

// The controls [first, end) of the group that holds control `i`.
inline std::pair<std::size_t, std::size_t> GroupAround(const std::vector<ControlTemplate>& controls, std::size_t i) {
  std::size_t first = i;
  while (!StartsGroup(controls, first)) --first;
  std::size_t end = i + 1;
  while (end < controls.size() && !StartsGroup(controls, end)) ++end;
  return {first, end};
}

// The keyboard rules every runner keeps: Enter that no control takes presses the dialog's
// first enabled push button (its accept button); Escape is the close command where the
// window has a close box, and nothing where it has none (the main window, the About box).
inline int DefaultButton(const std::vector<ControlTemplate>& controls) {
  for (const ControlTemplate& control : controls) {
    if (control.kind == ControlKind::Button && !(control.flags & kDisabled)) return control.id;
  }
  return 0;
}
inline bool EscapeCloses(const DialogTemplate& dialog) { return (dialog.style & kStyleSystemMenu) != 0; }

}  // namespace zentora::platform
