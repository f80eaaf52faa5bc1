// Keys pressed in a headless dialog, by the rules the desktop runners keep (see Keystroke), so
// that a test can drive a whole road by keyboard and prove the handlers need no mouse.
#include <cstddef>
#include <vector>

#include "platform/dialog_lifecycle.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "platform/headless/session.h"

namespace zentora::platform::headless {
namespace {

std::size_t IndexOfControl(const DialogState& state, int id) {
  for (std::size_t i = 0; i < state.controls.size(); ++i) {
    if (state.controls[i].control.id == id) return i;
  }
  return state.controls.size();
}

// A control Tab stops at: one that takes the focus and is enabled; of an option group only
// the chosen option (or the first, when none is chosen).
bool IsTabStop(const DialogState& state, std::size_t i) {
  const ControlState& control = state.controls[i];
  if (!control.enabled || !TakesFocus(control.control.kind)) return false;
  if (control.control.kind != ControlKind::Option) return true;
  const auto [first, end] = GroupAround(state.dialog.controls, i);
  for (std::size_t k = first; k < end; ++k) {
    if (state.controls[k].checked) return k == i;
  }
  return i == first;
}

void MoveFocus(DialogState& state, bool forward) {
  const std::size_t count = state.controls.size();
  if (count == 0) return;
  std::size_t at = IndexOfControl(state, state.focus);
  if (at == count) at = forward ? count - 1 : 0;
  for (std::size_t step = 1; step <= count; ++step) {
    const std::size_t next = forward ? (at + step) % count : (at + count - step % count) % count;
    if (IsTabStop(state, next)) {
      state.focus = state.controls[next].control.id;
      return;
    }
  }
}

// An arrow on an option chooses the next (or previous) enabled option of its group.
void MoveInGroup(std::size_t index, DialogState& state, std::size_t at, bool forward) {
  const auto [first, end] = GroupAround(state.dialog.controls, at);
  const std::size_t size = end - first;
  for (std::size_t step = 1; step < size; ++step) {
    const std::size_t next = first + (at - first + (forward ? step : size - step)) % size;
    if (!state.controls[next].enabled) continue;
    for (std::size_t k = first; k < end; ++k) state.controls[k].checked = (k == next);
    state.focus = state.controls[next].control.id;
    Deliver(index, CommandEvent{state.focus, kCodeClicked});
    return;
  }
}

Key SurfaceKey(Keystroke key) {
  switch (key) {
    case Keystroke::Left: return Key::Left;
    case Keystroke::Right: return Key::Right;
    case Keystroke::Up: return Key::Up;
    case Keystroke::Down: return Key::Down;
    case Keystroke::PageUp: return Key::PageUp;
    case Keystroke::PageDown: return Key::PageDown;
    case Keystroke::Home: return Key::Home;
    case Keystroke::End: return Key::End;
    case Keystroke::Letter:
    case Keystroke::CtrlLetter: return Key::Character;
    default: return Key::Enter;
  }
}

}  // namespace

void PlayKeystroke(std::size_t index, const Step& step) {
  DialogState& state = *CurrentSession().dialogs[index];
  const std::size_t at = IndexOfControl(state, state.focus);
  const ControlState* focused = at < state.controls.size() ? &state.controls[at] : nullptr;
  const ControlKind kind = focused != nullptr ? focused->control.kind : ControlKind::Static;
  switch (step.key) {
    case Keystroke::Tab:
    case Keystroke::ShiftTab: MoveFocus(state, step.key == Keystroke::Tab); return;
    case Keystroke::Escape:
      if (EscapeCloses(state.dialog)) Deliver(index, CloseEvent{});
      return;
    case Keystroke::Enter:
    case Keystroke::CtrlEnter: {
      const bool ctrl = step.key == Keystroke::CtrlEnter;
      if (focused != nullptr && kind == ControlKind::Edit && (focused->control.flags & kWantsReturn) && !ctrl &&
          !(focused->control.flags & kReadOnly)) {
        state.controls[at].text += u"\r\n";
        Deliver(index, CommandEvent{state.focus, kCodeEditChanged});
      } else if (focused != nullptr && kind == ControlKind::Surface) {
        Deliver(index, KeyEvent{state.focus, Key::Enter, 0, ctrl});
      } else if (focused != nullptr && kind == ControlKind::Button) {
        Deliver(index, CommandEvent{state.focus, kCodeKeyboard});
      } else if (const int accept = DefaultButton(state.dialog.controls); accept != 0) {
        if (state.Control(accept).enabled) Deliver(index, CommandEvent{accept, kCodeKeyboard});
      }
      return;
    }
    default: break;
  }
  if (focused == nullptr) return;
  const bool arrow = step.key == Keystroke::Left || step.key == Keystroke::Right || step.key == Keystroke::Up ||
                     step.key == Keystroke::Down;
  if (kind == ControlKind::Option && arrow) {
    MoveInGroup(index, state, at, step.key == Keystroke::Right || step.key == Keystroke::Down);
  } else if (kind == ControlKind::Surface) {
    Deliver(index, KeyEvent{state.focus, SurfaceKey(step.key), step.character, step.key == Keystroke::CtrlLetter});
  }
}

}  // namespace zentora::platform::headless
