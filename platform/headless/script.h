// The headless runner's side door for tests: a script that plays the user, and the record
// of everything the program showed. The runner behind platform/ui.h runs the real handlers;
// the script only decides what the user does when a dialog waits for input.
//
//   Script script;
//   script.ExpectDialog(u"Author").Wait(700).Click(1117);
//   RunAboutCommand(state);
//   EXPECT_EQ(script.Leftover(), "");
//
// When the program opens a window (dialog, message box, input box, open-file dialog) that
// the script did not expect next, a modal dialog waits while the script has no step left for
// it, or a step asks what no user could do, the runner throws ScriptFailure naming the dialog;
// the test then stops there, and Leftover() names any step never played.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace zentora::platform::headless {

class ScriptFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One drawing on a surface or page, in the order drawn.
struct DrawOp {
  enum class Kind { Clear, Box, Text } kind = Kind::Clear;
  Rect rect;  // Box: the box; Text: x, y of the text (cx, cy 0)
  Colour colour;  // Clear and Text: the colour; Box: the border
  Colour fill;
  std::u16string text;
  Font font;
  bool operator==(const DrawOp&) const = default;
};

struct TextSeen {
  int x = 0;
  int y = 0;
  std::u16string text;
  Colour colour;
  bool operator==(const TextSeen&) const = default;
};

struct ControlState {
  ControlTemplate control;
  std::u16string text;
  bool checked = false;
  bool enabled = true;
  int image = 0;
  std::vector<int> images_shown;  // every SetImage, in order
  int progress_low = 0;
  int progress_high = 100;
  int progress_position = 0;
  std::vector<int> positions_shown;  // every SetProgressPosition, in order
  std::vector<DrawOp> picture;  // a surface: what it shows now
  std::vector<DrawOp> page;     // a surface: its off-screen page, not shown until copied
  int copies = 0;               // pages copied onto the surface
  int scroll_top = 0;           // a surface with a scroll height: its first row on show
};

// The texts a picture still shows: those drawn later than any clear or filled box that covers
// their top left corner, in drawing order.
std::vector<TextSeen> TextsSeen(const std::vector<DrawOp>& picture);

struct TimerState {
  unsigned period_ms = 0;
  std::uint64_t next_due_ms = 0;
  std::uint64_t order = 0;  // start order, to break ties between timers due together
};

struct DialogState {
  Dialog handle;
  DialogTemplate dialog;
  std::u16string caption;  // the caption now (SetCaption changes it)
  bool modal = false;
  bool open = true;
  bool visible = true;
  int result = 0;
  std::vector<ControlState> controls;
  std::map<int, TimerState> timers;  // running timers by id
  // The control with the keyboard focus (0 for none), kept while the dialog is inactive and
  // given back when it is active again, as every dialog of the program does.
  int focus = 0;
  bool active = false;  // the one dialog that takes the keyboard now
  bool has_menu = false;
  Menu menu;  // the bar attached now, when has_menu

  // The control `id`; throws ScriptFailure naming the dialog when it has none.
  const ControlState& Control(int id) const;
};

struct MessageShown {
  std::u16string text;
  std::u16string caption;
  bool operator==(const MessageShown&) const = default;
};

// A message box as laid out on the work area, every letter kModelLetterWidth pixels wide: its
// text's lines and the box's width in pixels.
struct MessageLayout {
  std::vector<std::u16string> lines;
  int width = 0;
};
// The width of every letter where there is no font to measure in.
inline constexpr int kModelLetterWidth = 7;

struct InputShown {
  std::u16string prompt;
  std::u16string title;
  std::u16string default_answer;
  BoxButtons buttons;
  bool operator==(const InputShown&) const = default;
};

// Keys the script can press, played by the rules the desktop runners keep: Tab and Shift+Tab
// move the focus through the controls that take it (one stop per option group), Enter
// presses the focused button or else the dialog's first one (a memo edit keeps plain Enter
// as a new line), Escape is the close command where the window has a close box, arrows
// move within an option group, and a focused surface gets every other key as a KeyEvent.
enum class Keystroke { Tab, ShiftTab, Enter, CtrlEnter, Escape, Left, Right, Up, Down, PageUp, PageDown, Home, End, Letter, CtrlLetter };

// One script at a time. Creating it starts a fresh session (no dialogs, clock at 0, nothing
// recorded); destroying it ends the session.
class Script {
 public:
  Script();
  ~Script();
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  // The next window the program opens must be a dialog with this caption.
  Script& ExpectDialog(const std::u16string& caption);
  // The next window must be a message box with this text (and caption, when given); the user
  // acknowledges it with OK.
  Script& ExpectMessage(const std::u16string& text, const std::u16string& caption = {});
  // The same for a message whose text begins with `start` (one that names a file made at run time).
  Script& ExpectMessageStarting(const std::u16string& start, const std::u16string& caption = {});
  // The next window must be the input box titled `title`; the user answers, or cancels it.
  Script& AnswerInput(const std::u16string& title, const std::u16string& answer);
  Script& CancelInput(const std::u16string& title);
  // The next window must be the open-file dialog titled `title`; the user picks `path`, which
  // must exist (the dialog accepts nothing else), or cancels.
  Script& ChooseFile(const std::u16string& title, const std::u16string& path);
  Script& CancelFile(const std::u16string& title);
  // The next window must be a yes/no question with this text; the user answers it.
  Script& AnswerQuestion(const std::u16string& question, bool yes);
  // The program's "open" finds no program for any file from now on.
  Script& FailShellOpens();
  // The screen's work area from now on (at first 1280 by 1024 pixels, with no task bar).
  Script& UseWorkArea(Rect area);

  // Steps played on the modal dialog that waits for the user, in order. Steps written after
  // the ExpectDialog of a modeless dialog are played on it when the program next lets
  // messages through (PumpMessages) while it is open.
  Script& Type(int id, const std::u16string& text);  // replaces the edit's text
  Script& Click(int id);                              // button, option or check box, with the mouse
  Script& PressKey(int id);                           // the same, from the keyboard
  Script& ClickAt(int id, int x, int y);              // a press of the mouse on a surface
  Script& Close();                                    // the window's close command
  Script& ChooseMenu(int id);                         // an item of the dialog's menu bar
  Script& Press(Keystroke key, char16_t letter = 0);  // a key, wherever the focus is
  Script& Wait(unsigned ms);                          // the clock moves on; due timers tick
  Script& Inspect(std::function<void(const DialogState&)> look);
  Script& Do(std::function<void()> action);  // something else the user does meanwhile

  // Empty when every step was played; otherwise names the first step left and its dialog.
  std::string Leftover() const;
};

// Every dialog created in this session, open or ended, in order of creation.
const std::vector<std::unique_ptr<DialogState>>& Dialogs();
// The most recent dialog with this caption, open or ended; nullptr when there is none.
const DialogState* FindDialog(const std::u16string& caption);
const DialogState& StateOf(Dialog dialog);
const std::vector<MessageShown>& MessagesShown();
// The words on the button of each message box shown, in the same order.
const std::vector<std::u16string>& MessageButtonsShown();
// The layout of each message of MessagesShown(), in the same order.
const std::vector<MessageLayout>& MessageLayouts();
const std::vector<InputShown>& InputsShown();
const std::vector<MessageShown>& QuestionsShown();
const std::vector<OpenFileRequest>& FileRequestsShown();
// Paths handed to the desktop's "open", in order.
const std::vector<std::u16string>& ShellOpens();

// The script's clock. Moving it on delivers every timer tick due up to the new time, in the
// order they fall due, to whichever dialogs are open.
std::uint64_t ClockMs();
void AdvanceClock(unsigned ms);
int PumpCount();

}  // namespace zentora::platform::headless
