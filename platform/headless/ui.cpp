// The headless runner behind platform/ui.h: no screen, the same handlers. Dialogs live in
// the session as their state (texts, checks, images, timers); a modal dialog plays the
// script's steps until its handler ends it, and every window the program opens must be the
// one the script expects next.
#include <algorithm>
#include <string>
#include <utility>

#include "platform/encoding.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "platform/headless/session.h"

namespace zentora::platform {

using headless::CurrentSession;
using headless::DialogState;
using headless::LiveControl;
using headless::LiveState;
using headless::Quoted;
using headless::ScriptFailure;
using headless::Session;
using headless::StepKind;

namespace {

std::size_t IndexOf(Dialog dialog) {
  const Session& session = CurrentSession();
  if (dialog.value <= 0 || static_cast<std::size_t>(dialog.value) > session.dialogs.size()) {
    throw ScriptFailure("no dialog has the handle " + std::to_string(dialog.value));
  }
  return static_cast<std::size_t>(dialog.value - 1);
}

std::size_t Create(const DialogTemplate& dialog, DialogHandler handler, bool modal) {
  Session& session = CurrentSession();
  auto state = std::make_unique<DialogState>();
  state->handle.value = static_cast<std::intptr_t>(session.dialogs.size() + 1);
  state->dialog = dialog;
  state->caption = dialog.caption;
  state->modal = modal;
  for (const ControlTemplate& control : dialog.controls) {
    headless::ControlState control_state;
    control_state.control = control;
    control_state.text = control.text;
    control_state.enabled = (control.flags & kDisabled) == 0;
    control_state.image = control.image;
    state->controls.push_back(std::move(control_state));
  }
  // The first control that can take the keyboard has it at the start.
  for (const headless::ControlState& control : state->controls) {
    if (control.enabled && headless::TakesFocus(control.control.kind)) {
      state->focus = control.control.id;
      break;
    }
  }
  if (!session.activation.empty()) session.dialogs[session.activation.back()]->active = false;
  state->active = true;
  session.activation.push_back(session.dialogs.size());
  session.dialogs.push_back(std::move(state));
  auto runner = std::make_unique<headless::Runner>();
  runner->handler = std::move(handler);
  session.runners.push_back(std::move(runner));
  return session.dialogs.size() - 1;
}

// The dialog is gone: the one active before it takes the keyboard again.
void Deactivate(std::size_t index) {
  Session& session = CurrentSession();
  std::erase(session.activation, index);
  session.dialogs[index]->active = false;
  if (!session.activation.empty()) session.dialogs[session.activation.back()]->active = true;
}

void Finish(std::size_t index) {
  Session& session = CurrentSession();
  DialogState& state = *session.dialogs[index];
  headless::Runner& runner = *session.runners[index];
  if (!state.open || runner.destroying) return;
  runner.destroying = true;
  headless::Deliver(index, DestroyEvent{});
  state.open = false;
  state.visible = false;
  state.timers.clear();
  Deactivate(index);
}

void MatchOpening(std::size_t index) {
  const std::u16string& caption = CurrentSession().dialogs[index]->caption;
  const headless::Step& step = TakeAnswer("dialog " + Quoted(caption), StepKind::ExpectDialog, StepKind::ExpectDialog);
  if (step.caption != caption) {
    throw ScriptFailure("dialog " + Quoted(caption) + " opened, but the script expected dialog " +
                        Quoted(step.caption));
  }
}

// Should the runner leave through an exception, the dialog is gone for the rest of the session.
struct AbandonOnUnwind {
  std::size_t index;
  bool armed = true;
  ~AbandonOnUnwind() {
    if (!armed) return;
    DialogState& state = *CurrentSession().dialogs[index];
    state.open = false;
    state.visible = false;
    state.timers.clear();
    Deactivate(index);
  }
};

}  // namespace

namespace headless {

// A dialog a handler may still act on: open, or handling its Destroy event.
DialogState& LiveState(Dialog dialog) {
  DialogState& state = *CurrentSession().dialogs[IndexOf(dialog)];
  if (!state.open) throw ScriptFailure("dialog " + Quoted(state.caption) + " has already ended");
  return state;
}

ControlState& LiveControl(Dialog dialog, int id) {
  return const_cast<ControlState&>(LiveState(dialog).Control(id));
}

// A window opens: the script's next step must answer a window of this sort.
const Step& TakeAnswer(const std::string& shown, StepKind first, StepKind second) {
  Session& session = CurrentSession();
  if (session.next_step >= session.steps.size()) {
    throw ScriptFailure("unexpected " + shown + ": the script has no steps left");
  }
  const Step& step = session.steps[session.next_step];
  if (step.kind != first && step.kind != second) {
    throw ScriptFailure("unexpected " + shown + ": the script's next step is " + DescribeStep(step));
  }
  ++session.next_step;
  return step;
}

Session& CurrentSession() {
  static Session session;
  return session;
}

void ResetSession() { CurrentSession() = Session{}; }

std::string Quoted(const std::u16string& text) {
  std::string quoted(1, '\'');
  quoted += Utf16ToUtf8(text);
  quoted += '\'';
  return quoted;
}

void Deliver(std::size_t index, const DialogEvent& event) {
  Session& session = CurrentSession();
  Runner& runner = *session.runners[index];  // stable: runners are held by pointer
  const Dialog handle = session.dialogs[index]->handle;
  ++runner.depth;
  {
    AbandonOnUnwind abandon{index};
    runner.handler(handle, event);
    abandon.armed = false;
  }
  --runner.depth;
  if (!session.dialogs[index]->modal && runner.ending && runner.depth == 0) Finish(index);
}

const ControlState& DialogState::Control(int id) const {
  for (const ControlState& control : controls) {
    if (control.control.id == id) return control;
  }
  throw ScriptFailure("dialog " + Quoted(caption) + " has no control " + std::to_string(id));
}

const std::vector<std::unique_ptr<DialogState>>& Dialogs() { return CurrentSession().dialogs; }

const DialogState* FindDialog(const std::u16string& caption) {
  const auto& dialogs = CurrentSession().dialogs;
  for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
    if ((*it)->caption == caption) return it->get();
  }
  return nullptr;
}

const DialogState& StateOf(Dialog dialog) { return *CurrentSession().dialogs[IndexOf(dialog)]; }

const std::vector<MessageShown>& MessagesShown() { return CurrentSession().messages; }
const std::vector<MessageLayout>& MessageLayouts() { return CurrentSession().message_layouts; }

const std::vector<std::u16string>& MessageButtonsShown() { return CurrentSession().message_buttons; }

const std::vector<InputShown>& InputsShown() { return CurrentSession().inputs; }

const std::vector<MessageShown>& QuestionsShown() { return CurrentSession().questions; }

const std::vector<OpenFileRequest>& FileRequestsShown() { return CurrentSession().file_requests; }

const std::vector<std::u16string>& ShellOpens() { return CurrentSession().shell_opens; }

std::uint64_t ClockMs() { return CurrentSession().clock_ms; }

int PumpCount() { return CurrentSession().pumps; }

void AdvanceClock(unsigned ms) {
  Session& session = CurrentSession();
  const std::uint64_t target = session.clock_ms + ms;
  for (;;) {
    // The earliest tick due by the target time; timers started earlier go first on a tie.
    std::size_t due_dialog = 0;
    int due_timer = 0;
    const TimerState* due = nullptr;
    for (std::size_t i = 0; i < session.dialogs.size(); ++i) {
      const DialogState& state = *session.dialogs[i];
      if (!state.open) continue;
      for (const auto& [id, timer] : state.timers) {
        if (timer.next_due_ms > target) continue;
        if (due == nullptr || timer.next_due_ms < due->next_due_ms ||
            (timer.next_due_ms == due->next_due_ms && timer.order < due->order)) {
          due = &timer;
          due_dialog = i;
          due_timer = id;
        }
      }
    }
    if (due == nullptr) break;
    session.clock_ms = due->next_due_ms;
    session.dialogs[due_dialog]->timers[due_timer].next_due_ms += due->period_ms;
    Deliver(due_dialog, TimerEvent{due_timer});
  }
  // A tick may have run a nested dialog whose script moved the clock further still.
  session.clock_ms = std::max(session.clock_ms, target);
}

}  // namespace headless

int RunModal(const DialogTemplate& dialog, DialogHandler handler) {
  Session& session = CurrentSession();
  const std::size_t index = Create(dialog, std::move(handler), /*modal=*/true);
  AbandonOnUnwind abandon{index};
  MatchOpening(index);
  headless::Deliver(index, InitEvent{});
  while (!session.runners[index]->ending) {
    const std::u16string& caption = session.dialogs[index]->caption;
    if (session.next_step >= session.steps.size()) {
      throw ScriptFailure("dialog " + Quoted(caption) + " waits for the user, but the script has no steps left");
    }
    const headless::Step step = session.steps[session.next_step];
    if (headless::AnswersAWindow(step.kind)) {
      throw ScriptFailure("dialog " + Quoted(caption) + " waits for the user, but the script's next step is " +
                          headless::DescribeStep(step));
    }
    ++session.next_step;
    headless::PlayStep(index, step);
  }
  Finish(index);
  abandon.armed = false;
  return session.dialogs[index]->result;
}

Dialog CreateModeless(const DialogTemplate& dialog, DialogHandler handler) {
  const std::size_t index = Create(dialog, std::move(handler), /*modal=*/false);
  AbandonOnUnwind abandon{index};
  MatchOpening(index);
  headless::Deliver(index, InitEvent{});
  abandon.armed = false;
  return CurrentSession().dialogs[index]->handle;
}

void DestroyDialog(Dialog dialog) {
  if (LiveState(dialog).modal) {
    throw ScriptFailure("dialog " + Quoted(LiveState(dialog).caption) + " is modal: it ends with EndDialog");
  }
  Finish(IndexOf(dialog));
}

void ShowNormal(Dialog dialog) { LiveState(dialog).visible = true; }

void PumpMessages() {
  Session& session = CurrentSession();
  ++session.pumps;
  // Letting messages through is when a modeless dialog takes the user: the steps written
  // after its ExpectDialog are played on it then, up to the next window the script answers.
  while (session.next_step < session.steps.size()) {
    const headless::Step step = session.steps[session.next_step];
    if (headless::AnswersAWindow(step.kind)) return;
    std::size_t index = session.dialogs.size();
    for (std::size_t i = session.dialogs.size(); i-- > 0;) {
      const headless::DialogState& state = *session.dialogs[i];
      if (state.open && !state.modal && state.dialog.caption == step.after_dialog) {
        index = i;
        break;
      }
    }
    if (index == session.dialogs.size()) return;
    ++session.next_step;
    headless::PlayStep(index, step);
  }
}

Rect WorkArea() { return CurrentSession().work_area; }

std::u16string GetText(Dialog dialog, int id) { return LiveControl(dialog, id).text; }

void SetText(Dialog dialog, int id, const std::u16string& text) { LiveControl(dialog, id).text = text; }

void SetCaption(Dialog dialog, const std::u16string& caption) { LiveState(dialog).caption = caption; }

bool IsChecked(Dialog dialog, int id) { return LiveControl(dialog, id).checked; }

void SetChecked(Dialog dialog, int id, bool checked) { LiveControl(dialog, id).checked = checked; }

bool IsEnabled(Dialog dialog, int id) { return LiveControl(dialog, id).enabled; }

void SetEnabled(Dialog dialog, int id, bool enabled) { LiveControl(dialog, id).enabled = enabled; }

void FocusControl(Dialog dialog, int id) {
  LiveControl(dialog, id);  // a control the dialog has
  LiveState(dialog).focus = id;
}

void SetImage(Dialog dialog, int id, int resource) {
  headless::ControlState& control = LiveControl(dialog, id);
  control.image = resource;
  control.images_shown.push_back(resource);
}

void SetProgressRange(Dialog dialog, int id, int low, int high) {
  headless::ControlState& control = LiveControl(dialog, id);
  control.progress_low = low;
  control.progress_high = high;
}

void SetProgressPosition(Dialog dialog, int id, int position) {
  headless::ControlState& control = LiveControl(dialog, id);
  // A bar never shows outside its range, whatever it is sent.
  control.progress_position = std::clamp(position, control.progress_low, control.progress_high);
  control.positions_shown.push_back(control.progress_position);
}

void StartTimer(Dialog dialog, int timer_id, unsigned period_ms) {
  Session& session = CurrentSession();
  // The shortest period a desktop timer honours; shorter ones run at this rate.
  const unsigned period = std::max(period_ms, 10u);
  LiveState(dialog).timers[timer_id] = headless::TimerState{period, session.clock_ms + period, session.timers_started++};
}

void StopTimer(Dialog dialog, int timer_id) { LiveState(dialog).timers.erase(timer_id); }

void EndDialog(Dialog dialog, int result) {
  DialogState& state = LiveState(dialog);
  state.result = result;
  headless::Runner& runner = *CurrentSession().runners[IndexOf(dialog)];
  runner.ending = true;
  if (!state.modal && runner.depth == 0) Finish(IndexOf(dialog));
}

}  // namespace zentora::platform
