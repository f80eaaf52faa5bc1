// The desktop runner behind platform/ui.h on Linux, on FLTK. Every dialog is an FLTK window
// built from its template; a modal dialog runs a nested event loop until its handler ends
// it. Dialogs have no owner, so the program's other windows stay usable.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Text_Display.H>

#include <cstdlib>

#include <exception>
#include <utility>

#include "platform/encoding.h"
#include "platform/fltk/internal.h"

namespace zentora::platform {

using fltk::DialogRecord;
using fltk::Deliver;
using fltk::RecordOf;

namespace {

ParkedFailure pending_failure;
// Every open dialog, by its handle (a number never used twice, so a stale handle finds nothing).
std::map<std::intptr_t, std::unique_ptr<DialogRecord>> open_dialogs;
std::intptr_t last_handle = 0;

void RethrowPending() { pending_failure.Rethrow(); }

struct TimerKey {
  std::intptr_t dialog = 0;
  int id = 0;
  auto operator<=>(const TimerKey&) const = default;
};
struct Timer {
  TimerKey key;
  double period = 0;
};
std::map<TimerKey, std::unique_ptr<Timer>> timers;

void Tick(void* data) {
  auto* timer = static_cast<Timer*>(data);
  const TimerKey key = timer->key;
  Fl::repeat_timeout(timer->period, &Tick, data);
  Deliver(Dialog{key.dialog}, TimerEvent{key.id});  // the handler may stop the timer: `timer` unused after
}

void RemoveTimer(const TimerKey& key) {
  const auto found = timers.find(key);
  if (found == timers.end()) return;
  Fl::remove_timeout(&Tick, found->second.get());
  timers.erase(found);
}

DialogRecord& Open(const DialogTemplate& dialog, DialogHandler handler, bool modal) {
  fltk::OpenDisplay();
  auto record = std::make_unique<DialogRecord>();
  record->handle = Dialog{++last_handle};
  record->form = dialog;
  record->handler = std::move(handler);
  record->modal = modal;
  DialogRecord& kept = *record;
  open_dialogs[kept.handle.value] = std::move(record);
  fltk::BuildWindow(kept);
  return kept;
}

// The last event, then the window and the record go. FLTK deletes the window once the
// callback that may be running inside it has returned.
void Close(std::intptr_t handle) {
  DialogRecord* record = RecordOf(handle);
  if (record == nullptr || record->destroying) return;
  record->destroying = true;
  Deliver(record->handle, DestroyEvent{});
  for (auto it = timers.begin(); it != timers.end();) {
    auto next = std::next(it);
    if (it->first.dialog == handle) RemoveTimer(it->first);
    it = next;
  }
  record->window->hide();
  Fl::delete_widget(record->window);
  open_dialogs.erase(handle);
}

// Nothing to do: while an idle callback is installed Fl::wait() does not sleep. A modal
// dialog ended by a timer needs it, because Fl::wait() runs the timers due before it sleeps
// and would otherwise sleep on with no timer left to wake it.
void WakeUp(void*) {}

void WakeModalLoop(DialogRecord& record) {
  if (!Fl::has_idle(&WakeUp, &record)) Fl::add_idle(&WakeUp, &record);
}

void DestroyOrDefer(DialogRecord& record) {
  record.ending = true;
  if (record.modal) WakeModalLoop(record);
  // Inside its own handler the dialog must outlive the call: it goes when the handler returns.
  if (!record.modal && record.depth == 0) Close(record.handle.value);
}

void ShowWindow(DialogRecord& record) {
  // FLTK's nearest to "topmost": kept above the program's other windows; set before showing.
  if (record.form.style & kStyleTopmost) record.window->set_non_modal();
  record.window->show();
}

}  // namespace

namespace fltk {

const ControlTemplate* DialogRecord::Control(int id) const {
  for (const ControlTemplate& control : form.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

Fl_Widget* DialogRecord::Widget(int id) const {
  const auto found = controls.find(id);
  return found == controls.end() ? nullptr : found->second;
}

DialogRecord* RecordOf(std::intptr_t value) {
  const auto found = open_dialogs.find(value);
  return found == open_dialogs.end() ? nullptr : found->second.get();
}

DialogRecord* RecordOf(Dialog dialog) { return RecordOf(dialog.value); }

void Deliver(Dialog dialog, const DialogEvent& event) {
  DialogRecord* record = RecordOf(dialog);
  if (record == nullptr) return;
  if (DeliverParked(*record, pending_failure, [&] { record->handler(dialog, event); },
                    [record] { WakeModalLoop(*record); }))
    Close(dialog.value);
}

void OpenDisplay() {
  static const bool opened = [] {
    fl_open_display();
    return true;
  }();
  (void)opened;
}

}  // namespace fltk

int RunModal(const DialogTemplate& dialog, DialogHandler handler) {
  DialogRecord& record = Open(dialog, std::move(handler), /*modal=*/true);
  const std::intptr_t handle = record.handle.value;
  fltk::Deliver(record.handle, InitEvent{});
  if (!record.ending) ShowWindow(record);
  while (!record.ending) Fl::wait();
  Fl::remove_idle(&WakeUp, &record);
  const int result = record.result;
  Close(handle);
  RethrowPending();
  return result;
}

Dialog CreateModeless(const DialogTemplate& dialog, DialogHandler handler) {
  DialogRecord& record = Open(dialog, std::move(handler), /*modal=*/false);
  const Dialog handle = record.handle;
  fltk::Deliver(handle, InitEvent{});
  // A dialog that ended at once leaves nothing behind.
  if (DialogRecord* live = RecordOf(handle)) ShowWindow(*live);
  RethrowPending();
  return RecordOf(handle) != nullptr ? handle : Dialog{};
}

void DestroyDialog(Dialog dialog) {
  DialogRecord* record = RecordOf(dialog);
  if (record == nullptr) return;
  DestroyOrDefer(*record);
}

void ShowNormal(Dialog dialog) {
  DialogRecord* record = RecordOf(dialog);
  if (record == nullptr) return;
  record->window->show();
  if (record->window->shown()) record->window->redraw();
  Fl::flush();
}

void PumpMessages() {
  Fl::check();
  RethrowPending();
}

Rect WorkArea() {
  fltk::OpenDisplay();
  Rect area;
  Fl::screen_work_area(area.x, area.y, area.cx, area.cy);
  return area;
}

std::u16string GetText(Dialog dialog, int id) {
  DialogRecord* record = RecordOf(dialog);
  if (record == nullptr) return {};
  Fl_Widget* widget = record->Widget(id);
  if (auto* input = dynamic_cast<Fl_Input_*>(widget)) {
    return fltk::FromEditText(input->value(), input->input_type() == FL_MULTILINE_INPUT);
  }
  if (auto* area = dynamic_cast<Fl_Text_Display*>(widget)) {
    char* text = area->buffer()->text();  // a copy, the caller's to free
    std::u16string result = fltk::FromEditText(text, /*multi_line=*/true);
    std::free(text);
    return result;
  }
  const auto label = record->labels.find(id);
  return label == record->labels.end() ? std::u16string{} : label->second;
}

void SetText(Dialog dialog, int id, const std::u16string& text) {
  DialogRecord* record = RecordOf(dialog);
  Fl_Widget* widget = record != nullptr ? record->Widget(id) : nullptr;
  if (widget == nullptr) return;
  // The program's own change is no user's typing: value() does not call back.
  if (auto* input = dynamic_cast<Fl_Input_*>(widget)) {
    input->value(fltk::EditText(text).c_str());
  } else if (auto* area = dynamic_cast<Fl_Text_Display*>(widget)) {
    record->setting_text = true;
    area->buffer()->text(fltk::EditText(text).c_str());
    record->setting_text = false;
  } else if (record->labels.count(id) != 0) {
    record->labels[id] = text;
    widget->copy_label(fltk::LabelText(text).c_str());
  }
  // A label drawn over nothing of its own needs its place behind it painted again.
  if (widget->box() == FL_NO_BOX && widget->parent() != nullptr) {
    widget->parent()->damage(FL_DAMAGE_ALL, widget->x(), widget->y(), widget->w(), widget->h());
  }
  widget->redraw();
}

void SetCaption(Dialog dialog, const std::u16string& caption) {
  if (DialogRecord* record = RecordOf(dialog)) record->window->copy_label(Utf16ToUtf8(caption).c_str());
}

bool IsChecked(Dialog dialog, int id) {
  DialogRecord* record = RecordOf(dialog);
  auto* button = record != nullptr ? dynamic_cast<Fl_Button*>(record->Widget(id)) : nullptr;
  return button != nullptr && button->value() != 0;
}

void SetChecked(Dialog dialog, int id, bool checked) {
  DialogRecord* record = RecordOf(dialog);
  auto* button = record != nullptr ? dynamic_cast<Fl_Button*>(record->Widget(id)) : nullptr;
  if (button != nullptr) button->value(checked ? 1 : 0);
}

bool IsEnabled(Dialog dialog, int id) {
  DialogRecord* record = RecordOf(dialog);
  Fl_Widget* widget = record != nullptr ? record->Widget(id) : nullptr;
  return widget != nullptr && widget->active();
}

void SetEnabled(Dialog dialog, int id, bool enabled) {
  DialogRecord* record = RecordOf(dialog);
  Fl_Widget* widget = record != nullptr ? record->Widget(id) : nullptr;
  if (widget == nullptr) return;
  if (enabled) {
    widget->activate();
  } else {
    widget->deactivate();
  }
}

void FocusControl(Dialog dialog, int id) {
  DialogRecord* record = RecordOf(dialog);
  Fl_Widget* widget = record != nullptr ? record->Widget(id) : nullptr;
  if (widget == nullptr) return;
  widget->take_focus();
  if (auto* input = dynamic_cast<Fl_Input_*>(widget)) input->position(input->size(), 0);  // all selected
  fltk::RevealFocus(*record);
}

void SetImage(Dialog dialog, int id, int resource) {
  if (DialogRecord* record = RecordOf(dialog)) fltk::ShowImage(*record, id, resource);
}

void SetProgressRange(Dialog dialog, int id, int low, int high) {
  DialogRecord* record = RecordOf(dialog);
  auto* bar = record != nullptr ? dynamic_cast<Fl_Progress*>(record->Widget(id)) : nullptr;
  if (bar == nullptr) return;
  bar->minimum(static_cast<float>(low));
  bar->maximum(static_cast<float>(high));
  bar->value(static_cast<float>(low));
}

void SetProgressPosition(Dialog dialog, int id, int position) {
  DialogRecord* record = RecordOf(dialog);
  auto* bar = record != nullptr ? dynamic_cast<Fl_Progress*>(record->Widget(id)) : nullptr;
  if (bar == nullptr) return;
  const float clamped = std::min(std::max(static_cast<float>(position), bar->minimum()), bar->maximum());
  bar->value(clamped);
  bar->redraw();
  Fl::flush();  // progress shows even while the caller works
}

void StartTimer(Dialog dialog, int timer_id, unsigned period_ms) {
  if (RecordOf(dialog) == nullptr) return;
  const TimerKey key{dialog.value, timer_id};
  RemoveTimer(key);
  auto timer = std::make_unique<Timer>();
  timer->key = key;
  timer->period = period_ms / 1000.0;
  Fl::add_timeout(timer->period, &Tick, timer.get());
  timers[key] = std::move(timer);
}

void StopTimer(Dialog dialog, int timer_id) { RemoveTimer(TimerKey{dialog.value, timer_id}); }

void EndDialog(Dialog dialog, int result) {
  DialogRecord* record = RecordOf(dialog);
  if (record == nullptr) return;
  record->result = result;
  DestroyOrDefer(*record);
}

}  // namespace zentora::platform
