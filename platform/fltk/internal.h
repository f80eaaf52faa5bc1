// What the pieces of the desktop runner on Linux (FLTK) share: the record each open dialog
// carries, the bridge that hands widget callbacks to the dialog's handler, fonts measured the
// way dialog units need, the drawing surface and the program's pictures.
#pragma once
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Multi_Label.H>
#include <FL/Fl_Scroll.H>
#include <FL/Fl_Widget.H>
#include <FL/x.H>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_lifecycle.h"
#include "platform/ui.h"

namespace zentora::platform::fltk {

// Pixels per dialog unit come from these: the average width of the Latin letters and the
// line height of the dialog font.
struct BaseUnits {
  int x = 8;
  int y = 16;
};

// The typeface and pixel size FLTK draws a Font with (points at 96 dots per inch).
struct FontChoice {
  Fl_Font face = FL_HELVETICA_BOLD;
  Fl_Fontsize size = 13;
};
FontChoice ChooseFont(const Font& font);
BaseUnits DialogBaseUnits(const Font& dialog_font);
// A template rectangle in pixels: dialog units scaled by the base units, pixels as they are.
Rect ToPixels(const Rect& rect, Units units, const Font& dialog_font);

// A drawing surface: the picture it shows is kept off screen so that it repaints whenever
// the desktop asks; a page is a second off-screen picture copied onto it in one go.
class SurfaceWidget : public Fl_Widget {
 public:
  SurfaceWidget(int x, int y, int w, int h, std::intptr_t dialog, int id);
  ~SurfaceWidget() override;
  SurfaceWidget(const SurfaceWidget&) = delete;
  SurfaceWidget& operator=(const SurfaceWidget&) = delete;
  void draw() override;
  int handle(int event) override;

  Fl_Offscreen Picture();  // made white, the size of the surface, when first needed
  void OpenPage(int width, int height);
  Fl_Offscreen page() const { return page_; }
  int page_width() const { return page_width_; }
  int page_height() const { return page_height_; }

 private:
  std::intptr_t dialog_;
  int id_;
  Fl_Offscreen picture_ = 0;
  Fl_Offscreen page_ = 0;
  int page_width_ = 0;
  int page_height_ = 0;
};

// A menu bar that knows its dialog; its items carry their command ids.
class DialogMenuBar : public Fl_Menu_Bar {
 public:
  DialogMenuBar(int x, int y, int w, int h, std::intptr_t dialog) : Fl_Menu_Bar(x, y, w, h), dialog(dialog) {}
  std::intptr_t dialog;
  // What the items point at lives as long as the bar shows them.
  std::vector<Fl_Menu_Item> items;
  std::deque<std::string> labels;
  std::deque<Fl_Multi_Label> pictures;
};

// A dialog's window: its close command goes to the handler, Enter and Escape that no
// control takes become the commands of ids 1 and 2 (as on the other desktops), and it
// keeps its own place of the keyboard focus across a switch of windows.
class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(int w, int h, std::intptr_t dialog) : Fl_Double_Window(w, h), dialog_(dialog) {}
  int handle(int event) override;
  std::intptr_t dialog() const { return dialog_; }

 private:
  bool OpenMenuBar();
  std::intptr_t dialog_;
  Fl_Widget* saved_focus_ = nullptr;
};

struct DialogRecord : DialogLifecycle {
  Dialog handle;
  DialogTemplate form;
  DialogHandler handler;
  bool setting_text = false;  // our own SetText: its change is not the user's
  DialogWindow* window = nullptr;
  std::map<int, Fl_Widget*> controls;
  std::map<int, std::u16string> labels;  // the texts of the controls that show theirs as a label
  std::map<int, int> option_runs;        // option id -> the run of adjacent options it belongs to
  std::map<int, int> range_low;          // progress bars' lowest positions
  DialogMenuBar* menu = nullptr;
  int menu_room = 0;  // the strip kept at the top for a menu bar once one was attached
  // A dialog too big for the work area: the frame that scrolls its controls, and the size of
  // what it scrolls; nullptr for a dialog that fits.
  Fl_Scroll* content = nullptr;
  Rect content_size;

  const ControlTemplate* Control(int id) const;
  Fl_Widget* Widget(int id) const;
};

// The record of an open dialog; nullptr once it is gone.
DialogRecord* RecordOf(Dialog dialog);
DialogRecord* RecordOf(std::intptr_t value);
// Hands one event to the dialog's handler, and destroys a modeless dialog ended meanwhile.
void Deliver(Dialog dialog, const DialogEvent& event);

// Builds the window of a dialog and its controls (not yet shown), fitted to the work area.
DialogWindow* BuildWindow(DialogRecord& record);
// Scrolls a dialog whose content scrolls so that the control with the keyboard focus shows.
void RevealFocus(DialogRecord& record);
// The core ends lines with CR LF, as the Windows controls do; FLTK ends them with LF alone
// and would show a CR as "^M".
std::string EditText(const std::u16string& text);
std::u16string FromEditText(const char* text, bool multi_line);
// Shows a text as a widget label: FLTK also reads '@' as the start of a symbol.
std::string LabelText(const std::u16string& text);
void ShowImage(DialogRecord& record, int id, int resource);

// The program's pictures by resource number (bitmaps and icons), made once and kept for
// the run; nullptr for a number the program does not have.
Fl_RGB_Image* ResourceImage(int resource);

// Makes sure the display is open (measuring fonts and off-screen pictures need it).
void OpenDisplay();

}  // namespace zentora::platform::fltk
