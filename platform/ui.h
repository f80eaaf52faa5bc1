// The one door between the portable core and the user interface. Every window of the
// program is a dialog described by a template plus a handler shaped like a window
// procedure; each build links exactly one runner (the Windows one, the desktop one on
// Linux, or the scripted headless one in the tests), so there is no dispatch at run time.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace zentora::platform {

enum class Units { DialogUnits, Pixels };

// Window style of a dialog; combine with |.
enum DialogStyle : std::uint32_t {
  kStyleCaption = 1u << 0,
  kStyleSystemMenu = 1u << 1,
  kStyleModalFrame = 1u << 2,
  kStyleTopmost = 1u << 3,
  kStyleCentred = 1u << 4,  // x and y are ignored: the dialog is centred on the screen
  kStyleNoTitleBar = 1u << 5,
  kStyleMinimizeBox = 1u << 6,
};

enum class ControlKind { Static, Edit, Button, Option, CheckBox, GroupFrame, Icon, Bitmap, ProgressBar, Surface };

// Behaviour of a control; combine with |.
enum ControlFlag : std::uint32_t {
  kMultiLine = 1u << 0,
  kReadOnly = 1u << 1,
  kDigitsOnly = 1u << 2,  // an edit that refuses every typed character but 0-9
  kHorizontalScrollBar = 1u << 3,
  kWrap = 1u << 4,
  kSunken = 1u << 5,
  kNotify = 1u << 6,  // a static that reports clicks
  kDisabled = 1u << 7,
  kScrollsSideways = 1u << 8,  // a one-line edit that scrolls instead of stopping at its width
  kBorder = 1u << 9,
  kTextCentred = 1u << 10,
  kVerticalScrollBar = 1u << 11,
  kVerticallyCentred = 1u << 12,  // an option, check box or static whose text sits in its middle
  kWantsReturn = 1u << 13,  // a multi-line edit that keeps Enter as a new line (Ctrl+Enter still accepts)
};

struct Font {
  std::u16string face = u"MS Sans Serif";
  int points = 10;
  bool bold = true;
  int charset = 1;  // the character set asked of the face; 1 is the desktop's default
  bool operator==(const Font&) const = default;
};

// The desktop's own dialog font, for a dialog that does not name one of its own.
inline const Font kDesktopDialogFont{u"MS Sans Serif", 8, false};

struct Rect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  bool operator==(const Rect&) const = default;
};

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  Rect rect;
  std::u16string text;
  std::uint32_t flags = 0;
  // The program's controls share one font unless a dialog says otherwise.
  Font font;
  // Icon or bitmap resource number shown by an Icon or Bitmap control at creation; 0 for none.
  int image = 0;
  // A Surface whose drawing is taller than the control: that height in pixels, shown through
  // a vertical scroll bar that the mouse wheel also moves, and reported and drawn in its own
  // coordinates (a press gives its place in the drawing); 0 for a surface that shows what fits.
  int scroll_height = 0;
  bool operator==(const ControlTemplate&) const = default;
};

// A control for a template, in the program's default font unless the caller changes it.
inline ControlTemplate MakeControl(int id, ControlKind kind, Rect rect, std::u16string text = {},
                                   std::uint32_t flags = 0) {
  ControlTemplate control;
  control.id = id;
  control.kind = kind;
  control.rect = rect;
  control.text = std::move(text);
  control.flags = flags;
  return control;
}

struct DialogTemplate {
  std::u16string caption;
  Rect rect;
  Units units = Units::DialogUnits;
  std::uint32_t style = 0;
  // The font the dialog is measured in (a dialog unit is a quarter of its average letter
  // width, an eighth of its height); a control whose own font differs gets that one.
  Font font;
  std::vector<ControlTemplate> controls;
  bool operator==(const DialogTemplate&) const = default;
};

// An open dialog. Valid from its creation until its Destroy event has been handled.
struct Dialog {
  std::intptr_t value = 0;
  explicit operator bool() const { return value != 0; }
  bool operator==(const Dialog&) const = default;
};

// Notification codes of a CommandEvent.
inline constexpr int kCodeClicked = 0;
inline constexpr int kCodeKeyboard = 1;       // a button activated from the keyboard
inline constexpr int kCodeEditChanged = 0x300;  // an edit's text was changed by the user

struct InitEvent {};
struct CommandEvent {
  int id = 0;
  int code = kCodeClicked;
};

// Whether a command activates the button `id`: clicked, or pressed from the keyboard.
inline bool IsActivation(const CommandEvent& command, int id) {
  return command.id == id && (command.code == kCodeClicked || command.code == kCodeKeyboard);
}
struct TimerEvent {
  int id = 0;
};
struct MouseDownEvent {
  int id = 0;  // the surface or control under the pointer
  int x = 0;   // relative to that control, in pixels
  int y = 0;
};
// Keys a Surface control reports while it has the keyboard focus (Tab and Escape stay the
// dialog's own). `character` is the key's letter or digit, upper case, for Key::Character.
enum class Key { Enter, Left, Right, Up, Down, PageUp, PageDown, Home, End, Character };
struct KeyEvent {
  int id = 0;  // the surface
  Key key = Key::Enter;
  char16_t character = 0;
  bool ctrl = false;
};
// The window's close command (its close box, or Escape in a dialog that has one); the dialog
// stays unless the handler ends it.
struct CloseEvent {};
struct DestroyEvent {};  // the last event; the dialog is still valid while it is handled
using DialogEvent =
    std::variant<InitEvent, CommandEvent, TimerEvent, MouseDownEvent, CloseEvent, DestroyEvent, KeyEvent>;

using DialogHandler = std::function<void(Dialog, const DialogEvent&)>;

// Runs the dialog until its handler calls EndDialog; returns that result. Ownerless: the
// other windows of the program stay enabled.
int RunModal(const DialogTemplate& dialog, DialogHandler handler);

// Creates and shows a dialog and returns at once; it lives until DestroyDialog (or EndDialog).
Dialog CreateModeless(const DialogTemplate& dialog, DialogHandler handler);
void DestroyDialog(Dialog dialog);
// Makes sure a modeless dialog is shown in the normal way (not hidden, not minimised).
void ShowNormal(Dialog dialog);
// Handles the window messages waiting, so that windows repaint during long work.
void PumpMessages();

// The part of the screen a window may cover (the screen less its task bar), in pixels.
Rect WorkArea();

// What a handler does through its dialog. Ids name controls of the dialog's template.
std::u16string GetText(Dialog dialog, int id);
void SetText(Dialog dialog, int id, const std::u16string& text);
void SetCaption(Dialog dialog, const std::u16string& caption);
bool IsChecked(Dialog dialog, int id);
void SetChecked(Dialog dialog, int id, bool checked);
bool IsEnabled(Dialog dialog, int id);
void SetEnabled(Dialog dialog, int id, bool enabled);
// Gives control `id` the keyboard focus (an edit also gets its text selected), as after a
// refused answer, so what the user types next goes where it belongs.
void FocusControl(Dialog dialog, int id);
// Shows an icon or bitmap resource of the program in an Icon or Bitmap control.
void SetImage(Dialog dialog, int id, int resource);
void SetProgressRange(Dialog dialog, int id, int low, int high);
// Moves the bar and repaints it at once, so progress shows even while the caller works.
void SetProgressPosition(Dialog dialog, int id, int position);
// Starts, or restarts with a new period, the timer `timer_id`; each tick is a TimerEvent.
void StartTimer(Dialog dialog, int timer_id, unsigned period_ms);
void StopTimer(Dialog dialog, int timer_id);
// Ends the dialog once the handler returns: RunModal then returns `result`; a modeless
// dialog is destroyed.
void EndDialog(Dialog dialog, int result);

// An ownerless message box with one button saying `accept` (OK in the program's language);
// returns when the user has acknowledged it.
void ShowMessage(const std::u16string& text, const std::u16string& caption, const std::u16string& accept);

// The words on the buttons of the boxes below, in the program's language.
struct BoxButtons {
  std::u16string accept = u"OK";
  std::u16string cancel = u"Cancel";
  bool operator==(const BoxButtons&) const = default;
};

// A small modal box with a title, a prompt, a one-line edit holding `default_answer`, OK and
// Cancel. The typed text on OK; nothing on Cancel or close.
std::optional<std::u16string> AskText(const std::u16string& prompt, const std::u16string& title,
                                      const std::u16string& default_answer, const BoxButtons& buttons = {});

// An ownerless question with the buttons `buttons.accept` (yes) and `buttons.cancel` (no); the
// answer no has the focus, so Enter or Escape keeps what is going on. True for yes.
bool AskYesNo(const std::u16string& question, const std::u16string& caption, const BoxButtons& buttons);

struct FileFilter {
  std::u16string description;  // "Images"
  std::u16string pattern;      // "*.jpg"
  bool operator==(const FileFilter&) const = default;
};

struct OpenFileRequest {
  Dialog owner;  // the dialog stays in front of this window and disables it while open
  std::u16string title;
  std::u16string initial_folder;  // empty: the process's current folder
  std::vector<FileFilter> filters;
  std::u16string initial_name;
  std::u16string default_extension;  // without the dot
  bool operator==(const OpenFileRequest&) const = default;
};

// The desktop's modal open-file dialog. It accepts only a file that exists, may be resized,
// offers no read-only box and leaves the process's current folder alone. The chosen full
// path; nothing on cancel.
std::optional<std::u16string> ChooseFileToOpen(const OpenFileRequest& request);

// Asks the desktop to open a file with the program it associates with the file's type (the
// "open" verb). Does not wait for the program to end; false when the desktop said at once
// that it has no program for the file or could not start one.
bool ShellOpen(const std::u16string& path);

// Drawing on a Surface control. A page is an off-screen picture, white when opened, that is
// copied onto its surface in one go; drawing on the surface itself shows at once.
struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kMarkBlue{0, 0, 192};

struct Canvas {
  Dialog dialog;
  int surface_id = 0;
  bool page = false;
  bool operator==(const Canvas&) const = default;
};

// Starts a new page for the surface, `width` by `height` pixels, all white; an earlier page of
// the surface is dropped.
Canvas OpenPage(Dialog dialog, int surface_id, int width, int height);
// Shows the page at the surface's top left corner; the surface shows the part that fits.
void CopyPageToSurface(Canvas page);
Canvas SurfaceCanvas(Dialog dialog, int surface_id);
// Scrolls a surface with a scroll height the least that shows its rows from `top` to
// `top + height` (its drawing's coordinates); a surface that shows all of it stays.
void ScrollSurfaceTo(Dialog dialog, int surface_id, int top, int height);
void ClearCanvas(Canvas canvas, Colour colour);
// A box with square corners, a 1-pixel border and a solid fill, covering `box` (pixels).
void DrawBox(Canvas canvas, Rect box, Colour border, Colour fill);
// Text with its top left corner at x, y, on a transparent background. (Not "DrawText": the
// Windows headers define that name as a macro.)
void DrawTextAt(Canvas canvas, int x, int y, const std::u16string& text, Colour colour, const Font& font);

// A menu bar is data: popups hold items, an item sends CommandEvent{id, kCodeClicked} to the
// dialog the bar is attached to.
struct MenuItem {
  int id = 0;
  std::u16string text;  // "-" alone is a separator
  int bitmap = 0;       // bitmap resource shown beside the item in both states; 0 for none
  std::vector<MenuItem> items;  // not empty: a popup
  bool operator==(const MenuItem&) const = default;
};
using Menu = std::vector<MenuItem>;  // a menu bar: its top-level popups, left to right

// Gives the dialog this bar, replacing the one it had.
void AttachMenu(Dialog dialog, const Menu& bar);
// Takes the bar away: its items can no longer be chosen.
void DetachMenu(Dialog dialog);

}  // namespace zentora::platform
