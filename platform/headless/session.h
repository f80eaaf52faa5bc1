// What the headless runner and its script share inside platform/: one session per Script,
// holding the dialogs created, the steps still to play, the messages shown and the clock.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/headless/script.h"

namespace zentora::platform::headless {

enum class StepKind {
  // Steps that answer a window the program opens.
  ExpectDialog, ExpectMessage, AnswerInput, CancelInput, ChooseFile, CancelFile, AnswerQuestion,
  // Steps the user takes in the modal dialog that waits.
  Type, Click, PressKey, ClickAt, Close, ChooseMenu, Wait, Inspect, Do, Keyboard,
};

inline bool AnswersAWindow(StepKind kind) { return kind <= StepKind::AnswerQuestion; }

struct Step {
  StepKind kind = StepKind::Wait;
  std::u16string text;
  std::u16string caption;
  int id = 0;
  int x = 0;
  int y = 0;
  unsigned ms = 0;
  std::function<void(const DialogState&)> look;
  std::function<void()> action;
  Keystroke key = Keystroke::Enter;
  char16_t character = 0;
  bool yes = false;
  bool prefix_only = false;  // ExpectMessage: the text need only begin with step.text
  std::u16string after_dialog;  // caption of the last dialog the script expected before this step
};

// The runner's own side of a dialog, beside the state tests may look at.
struct Runner {
  DialogHandler handler;
  bool ending = false;
  bool destroying = false;
  int depth = 0;  // handler calls in progress on this dialog
};

struct Session {
  std::vector<std::unique_ptr<DialogState>> dialogs;
  std::vector<std::unique_ptr<Runner>> runners;  // parallel to dialogs
  std::vector<Step> steps;
  std::size_t next_step = 0;
  std::vector<std::size_t> activation;  // open dialogs, the active one last
  std::vector<MessageShown> messages;
  std::vector<std::u16string> message_buttons;  // the button's words of each message, in order
  std::vector<MessageLayout> message_layouts;  // one per message
  std::vector<InputShown> inputs;
  std::vector<MessageShown> questions;
  bool shell_open_fails = false;
  Rect work_area{0, 0, 1280, 1024};
  std::vector<OpenFileRequest> file_requests;
  std::vector<std::u16string> shell_opens;
  std::uint64_t clock_ms = 0;
  std::uint64_t timers_started = 0;
  int pumps = 0;
  bool script_alive = false;
};

Session& CurrentSession();
void ResetSession();

// How a step reads in a failure message: "click 1117", "expect dialog 'Author'".
std::string DescribeStep(const Step& step);
std::string Quoted(const std::u16string& text);

// A dialog a handler may still act on (open, or handling its Destroy event) and its control
// `id`; anything else stops the test with a message naming the dialog.
DialogState& LiveState(Dialog dialog);
ControlState& LiveControl(Dialog dialog, int id);

// A window of the program opens, described by `shown`: takes the script's next step, which
// must be of kind `first` or `second`.
const Step& TakeAnswer(const std::string& shown, StepKind first, StepKind second);

// Whether a control of this kind takes the keyboard focus when the user acts on it.
inline bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::Edit || kind == ControlKind::Button || kind == ControlKind::Option ||
         kind == ControlKind::CheckBox || kind == ControlKind::Surface;
}

// A key pressed in the dialog `index`, by the rules every desktop runner keeps.
void PlayKeystroke(std::size_t index, const Step& step);

// Plays one user step on the modal dialog `index` that waits for input.
void PlayStep(std::size_t index, const Step& step);
// Hands an event to a dialog's handler; a modeless dialog ended meanwhile is destroyed after.
void Deliver(std::size_t index, const DialogEvent& event);

}  // namespace zentora::platform::headless
