// What the pieces of the Windows runner behind platform/ui.h share: the record each open
// dialog carries, the bridge that hands window messages to the dialog's handler, and the
// in-memory template builder.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_lifecycle.h"
#include "platform/ui.h"

namespace zentora::platform::win32 {

inline HWND WindowOf(Dialog dialog) { return reinterpret_cast<HWND>(dialog.value); }
inline Dialog HandleOf(HWND window) { return Dialog{reinterpret_cast<std::intptr_t>(window)}; }
// Windows and the core both hold text as UTF-16 code units.
inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// A drawing surface: its off-screen page and the picture it shows. The picture is kept so
// that the surface repaints itself whenever the desktop asks, not only when drawn on.
struct Surface {
  HWND window = nullptr;
  HWND dialog = nullptr;
  int id = 0;
  WNDPROC own_procedure = nullptr;
  HBITMAP page = nullptr;
  SIZE page_size{};
  HBITMAP picture = nullptr;
  SIZE picture_size{};
  int scroll_height = 0;  // a drawing taller than the surface, scrolled; 0 for none
  int scroll_top = 0;     // then the drawing's row at the surface's top
  ~Surface();
};

struct DialogRecord : DialogLifecycle {
  DialogTemplate form;
  DialogHandler handler;
  bool setting_text = false;  // our own SetText: its change is not the user's
  HWND saved_focus = nullptr;
  int keyboard_looks = 0;  // times it looked, once shown, whether it should take the keyboard
  // A dialog too big for the work area scrolls its controls: the size of what it scrolls and
  // how far it has scrolled.
  bool scrolls = false;
  SIZE content{};
  POINT scrolled{};
  std::map<int, std::unique_ptr<Surface>> surfaces;
  std::vector<std::pair<Font, HFONT>> fonts;  // the fonts of controls that differ from the dialog's
  ~DialogRecord();

  const ControlTemplate* Control(int id) const;
};

// The record of an open dialog of ours; nullptr for any other window.
DialogRecord* RecordOf(HWND window);
// Hands one event to the dialog's handler, and destroys a modeless dialog ended meanwhile.
void Deliver(HWND window, const DialogEvent& event);

HINSTANCE ProgramInstance();
// The font every dialog is measured in (dialog units come from its base units).
Font DialogFont();
HFONT CreateFontFor(const Font& font);
// Pixels per dialog unit of DialogFont(): horizontal base units / 4, vertical / 8.
SIZE DialogBaseUnits();

// The in-memory DLGTEMPLATEEX of a dialog, DWORD aligned.
std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& dialog, bool visible);

// Bitmaps of the program's resources, loaded once and kept for the run (menus and
// controls share them, and neither deletes what it is given).
HBITMAP ResourceBitmap(int resource);

// Fits a dialog that has just been created to the work area and places it within it.
void FitToWorkArea(HWND window, DialogRecord& record);
// The window's own scroll bars and the mouse wheel in a dialog that scrolls; false when the
// dialog does not scroll.
bool ScrollContent(HWND window, DialogRecord& record, UINT message, WPARAM wparam);
void ScrollContentTo(HWND window, DialogRecord& record, int x, int y);
// Scrolls a dialog that scrolls so that the control with the keyboard focus shows.
void RevealFocus(HWND window, DialogRecord& record);

// Gives a Surface control its picture, its mouse report and, for a drawing taller than the
// surface, its scroll bar.
void InstallSurface(HWND dialog, DialogRecord& record, const ControlTemplate& control);
// Hands the mouse wheel to the dialog's scrolling surface, wherever the focus is; false
// when the dialog has none.
bool WheelSurface(DialogRecord& record, WPARAM wparam);

}  // namespace zentora::platform::win32
