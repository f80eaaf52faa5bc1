// The script of the headless runner: the steps a test writes, and how each is played on the
// dialog that waits for the user. A step the user could not take (typing into a button,
// clicking a greyed control) stops the test instead of being quietly skipped.
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/encoding.h"
#include "platform/dialog_lifecycle.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "platform/headless/session.h"

namespace zentora::platform::headless {
namespace {

Step& Add(StepKind kind) {
  Session& session = CurrentSession();
  Step step;
  step.kind = kind;
  for (auto it = session.steps.rbegin(); it != session.steps.rend(); ++it) {
    if (it->kind == StepKind::ExpectDialog) {
      step.after_dialog = it->caption;
      break;
    }
  }
  session.steps.push_back(std::move(step));
  return session.steps.back();
}

ControlState& UsableControl(DialogState& state, const Step& step) {
  auto& control = const_cast<ControlState&>(state.Control(step.id));
  if (!control.enabled) {
    throw ScriptFailure("cannot " + DescribeStep(step) + " in dialog " + Quoted(state.caption) +
                        ": the control is disabled");
  }
  return control;
}

void Refuse(const DialogState& state, const Step& step, const char* why) {
  throw ScriptFailure("cannot " + DescribeStep(step) + " in dialog " + Quoted(state.caption) + ": " + why);
}

// Choosing an option clears the others of its group.
void SelectOption(DialogState& state, int id) {
  std::size_t chosen = 0;
  while (state.controls[chosen].control.id != id) ++chosen;
  const auto [first, end] = GroupAround(state.dialog.controls, chosen);
  for (std::size_t i = first; i < end; ++i) state.controls[i].checked = (i == chosen);
}

bool MenuHasCommand(const Menu& items, int id) {
  for (const MenuItem& item : items) {
    if (item.items.empty() ? (item.id == id && item.text != u"-") : MenuHasCommand(item.items, id)) return true;
  }
  return false;
}

}  // namespace

std::string DescribeStep(const Step& step) {
  const std::string id = std::to_string(step.id);
  switch (step.kind) {
    case StepKind::ExpectDialog: return "expect dialog " + Quoted(step.caption);
    case StepKind::ExpectMessage: return "expect message " + Quoted(step.text);
    case StepKind::AnswerInput: return "answer " + Quoted(step.text) + " to input box " + Quoted(step.caption);
    case StepKind::CancelInput: return "cancel input box " + Quoted(step.caption);
    case StepKind::ChooseFile: return "choose file " + Quoted(step.text) + " in " + Quoted(step.caption);
    case StepKind::CancelFile: return "cancel open-file dialog " + Quoted(step.caption);
    case StepKind::ChooseMenu: return "choose menu item " + id;
    case StepKind::Type: return "type " + Quoted(step.text) + " into " + id;
    case StepKind::Click: return "click " + id;
    case StepKind::PressKey: return "press " + id + " from the keyboard";
    case StepKind::ClickAt:
      return "click " + id + " at " + std::to_string(step.x) + "," + std::to_string(step.y);
    case StepKind::Close: return "close";
    case StepKind::Wait: return "wait " + std::to_string(step.ms) + " ms";
    case StepKind::Inspect: return "inspect";
    case StepKind::Do: return "do";
    case StepKind::AnswerQuestion:
      return std::string(step.yes ? "answer yes" : "answer no") + " to question " + Quoted(step.text);
    case StepKind::Keyboard: return "press key " + std::to_string(static_cast<int>(step.key));
  }
  return "?";
}

void PlayStep(std::size_t index, const Step& step) {
  DialogState& state = *CurrentSession().dialogs[index];
  if (step.kind == StepKind::Type || step.kind == StepKind::Click || step.kind == StepKind::PressKey) {
    if (TakesFocus(UsableControl(state, step).control.kind)) state.focus = step.id;
  }
  switch (step.kind) {
    case StepKind::Type: {
      ControlState& control = UsableControl(state, step);
      if (control.control.kind != ControlKind::Edit) Refuse(state, step, "the control is not an edit");
      if (control.control.flags & kReadOnly) Refuse(state, step, "the edit is read-only");
      std::u16string typed;
      for (char16_t c : step.text) {
        // A digits-only edit turns away every other key, as the desktop's does.
        if ((control.control.flags & kDigitsOnly) && (c < u'0' || c > u'9')) continue;
        typed.push_back(c);
      }
      control.text = typed;
      Deliver(index, CommandEvent{step.id, kCodeEditChanged});
      break;
    }
    case StepKind::Click:
    case StepKind::PressKey: {
      ControlState& control = UsableControl(state, step);
      const ControlKind kind = control.control.kind;
      if (kind == ControlKind::CheckBox) {
        control.checked = !control.checked;
      } else if (kind == ControlKind::Option) {
        SelectOption(state, step.id);
      } else if (kind != ControlKind::Button &&
                 !((kind == ControlKind::Static || kind == ControlKind::Bitmap || kind == ControlKind::Icon) &&
                   (control.control.flags & kNotify))) {
        Refuse(state, step, "the control takes no clicks");
      }
      Deliver(index, CommandEvent{step.id, step.kind == StepKind::Click ? kCodeClicked : kCodeKeyboard});
      break;
    }
    case StepKind::ClickAt:
      UsableControl(state, step);
      Deliver(index, MouseDownEvent{step.id, step.x, step.y});
      break;
    case StepKind::Close: Deliver(index, CloseEvent{}); break;
    case StepKind::ChooseMenu:
      if (!state.has_menu) Refuse(state, step, "it has no menu bar");
      if (!MenuHasCommand(state.menu, step.id)) Refuse(state, step, "its menu bar has no such item");
      Deliver(index, CommandEvent{step.id, kCodeClicked});
      break;
    case StepKind::Wait: AdvanceClock(step.ms); break;
    case StepKind::Inspect: step.look(state); break;
    case StepKind::Do: step.action(); break;
    case StepKind::Keyboard: PlayKeystroke(index, step); break;
    case StepKind::AnswerQuestion:
    case StepKind::ExpectDialog:
    case StepKind::ExpectMessage:
    case StepKind::AnswerInput:
    case StepKind::CancelInput:
    case StepKind::ChooseFile:
    case StepKind::CancelFile: break;  // taken when a window opens, never played
  }
}

Script::Script() {
  if (CurrentSession().script_alive) throw std::logic_error("only one headless script may run at a time");
  ResetSession();
  CurrentSession().script_alive = true;
}

Script::~Script() { ResetSession(); }

Script& Script::ExpectDialog(const std::u16string& caption) {
  Add(StepKind::ExpectDialog).caption = caption;
  return *this;
}

Script& Script::ExpectMessage(const std::u16string& text, const std::u16string& caption) {
  Step& step = Add(StepKind::ExpectMessage);
  step.text = text;
  step.caption = caption;
  return *this;
}

Script& Script::ExpectMessageStarting(const std::u16string& start, const std::u16string& caption) {
  ExpectMessage(start, caption);
  CurrentSession().steps.back().prefix_only = true;
  return *this;
}

Script& Script::AnswerInput(const std::u16string& title, const std::u16string& answer) {
  Step& step = Add(StepKind::AnswerInput);
  step.caption = title;
  step.text = answer;
  return *this;
}

Script& Script::CancelInput(const std::u16string& title) {
  Add(StepKind::CancelInput).caption = title;
  return *this;
}

Script& Script::ChooseFile(const std::u16string& title, const std::u16string& path) {
  Step& step = Add(StepKind::ChooseFile);
  step.caption = title;
  step.text = path;
  return *this;
}

Script& Script::CancelFile(const std::u16string& title) {
  Add(StepKind::CancelFile).caption = title;
  return *this;
}

Script& Script::AnswerQuestion(const std::u16string& question, bool yes) {
  Step& step = Add(StepKind::AnswerQuestion);
  step.text = question;
  step.yes = yes;
  return *this;
}

Script& Script::FailShellOpens() {
  CurrentSession().shell_open_fails = true;
  return *this;
}

Script& Script::UseWorkArea(Rect area) {
  CurrentSession().work_area = area;
  return *this;
}

Script& Script::Press(Keystroke key, char16_t letter) {
  Step& step = Add(StepKind::Keyboard);
  step.key = key;
  step.character = letter;
  return *this;
}

Script& Script::ChooseMenu(int id) {
  Add(StepKind::ChooseMenu).id = id;
  return *this;
}

Script& Script::Type(int id, const std::u16string& text) {
  Step& step = Add(StepKind::Type);
  step.id = id;
  step.text = text;
  return *this;
}

Script& Script::Click(int id) {
  Add(StepKind::Click).id = id;
  return *this;
}

Script& Script::PressKey(int id) {
  Add(StepKind::PressKey).id = id;
  return *this;
}

Script& Script::ClickAt(int id, int x, int y) {
  Step& step = Add(StepKind::ClickAt);
  step.id = id;
  step.x = x;
  step.y = y;
  return *this;
}

Script& Script::Close() {
  Add(StepKind::Close);
  return *this;
}

Script& Script::Wait(unsigned ms) {
  Add(StepKind::Wait).ms = ms;
  return *this;
}

Script& Script::Inspect(std::function<void(const DialogState&)> look) {
  Add(StepKind::Inspect).look = std::move(look);
  return *this;
}

Script& Script::Do(std::function<void()> action) {
  Add(StepKind::Do).action = std::move(action);
  return *this;
}

std::string Script::Leftover() const {
  const Session& session = CurrentSession();
  if (session.next_step >= session.steps.size()) return {};
  const Step& step = session.steps[session.next_step];
  std::string where = step.after_dialog.empty() || AnswersAWindow(step.kind)
                          ? std::string()
                          : ", after dialog " + Quoted(step.after_dialog);
  return "step " + std::to_string(session.next_step + 1) + " of the script (" + DescribeStep(step) + where +
         ") was never played";
}

}  // namespace zentora::platform::headless
