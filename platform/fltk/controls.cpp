// The desktop runner's windows on Linux: a dialog template becomes an FLTK window with one
// widget per control, placed in pixels (dialog units scaled by the dialog font's base
// units), and the widgets' callbacks become the handler's events.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scroll.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>

#include "platform/dialog_fit.h"
#include "platform/dialog_lifecycle.h"
#include "platform/encoding.h"
#include "platform/fltk/internal.h"

namespace zentora::platform::fltk {
namespace {

constexpr int kEdgeMargin = 4;  // pixels between a control and the window's edge

std::intptr_t DialogOf(const Fl_Widget* widget) {
  const Fl_Window* window = widget->window();
  const auto* dialog = dynamic_cast<const DialogWindow*>(window);
  return dialog != nullptr ? dialog->dialog() : 0;
}

int IdOf(const Fl_Widget* widget) { return static_cast<int>(reinterpret_cast<std::intptr_t>(widget->user_data())); }

bool FromKeyboard() { return Fl::event() == FL_KEYBOARD || Fl::event() == FL_SHORTCUT; }

// A push button also answers Enter while it has the keyboard, as a desktop button does.
class PushButton : public Fl_Button {
 public:
  using Fl_Button::Fl_Button;
  int handle(int event) override {
    if (event == FL_KEYBOARD && Fl::focus() == this &&
        (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      do_callback();
      return 1;
    }
    return Fl_Button::handle(event);
  }
};

// An option answers the arrows by choosing the next (or previous) option of its run.
class OptionButton : public Fl_Round_Button {
 public:
  using Fl_Round_Button::Fl_Round_Button;
  int handle(int event) override {
    const int key = Fl::event_key();
    if (event == FL_KEYBOARD && Fl::focus() == this &&
        (key == FL_Up || key == FL_Down || key == FL_Left || key == FL_Right)) {
      ChooseNeighbour(key == FL_Down || key == FL_Right);
      return 1;
    }
    // Tab stops once in a run: at the chosen option, or the first when none is chosen.
    if (event == FL_FOCUS && !choosing_ && Fl::event() == FL_KEYBOARD && !IsTabStop()) return 0;
    return Fl_Round_Button::handle(event);
  }

 private:
  void ChooseNeighbour(bool forward);
  bool IsTabStop() const;
  static inline bool choosing_ = false;  // an arrow is moving the choice: the focus goes with it
};

// A static that reports presses (a clickable label, a clickable picture).
class ClickBox : public Fl_Box {
 public:
  using Fl_Box::Fl_Box;
  int handle(int event) override {
    if (event == FL_PUSH) {
      Deliver(Dialog{DialogOf(this)}, CommandEvent{IdOf(this), kCodeClicked});
      return 1;
    }
    return Fl_Box::handle(event);
  }
};

// Typed or pasted text other than digits is refused whole; editing keys pass.
bool AllDigits(const char* text, int length) {
  for (int i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && (c < '0' || c > '9')) return false;
  }
  return true;
}

template <class Base>
class EditBox : public Base {
 public:
  EditBox(int x, int y, int w, int h, bool digits_only) : Base(x, y, w, h), digits_only_(digits_only) {}
  int handle(int event) override {
    if (digits_only_ && (event == FL_KEYBOARD || event == FL_PASTE) && !(Fl::event_state() & (FL_CTRL | FL_ALT)) &&
        !AllDigits(Fl::event_text(), Fl::event_length())) {
      return 1;
    }
    return Base::handle(event);
  }

 private:
  bool digits_only_;
};

// A multi-line edit with scroll bars: FLTK's text display (read-only) or editor, over a
// buffer of its own. The buffer is a base listed first, so it outlives the widget.
struct OwnBuffer {
  std::unique_ptr<Fl_Text_Buffer> owned = std::make_unique<Fl_Text_Buffer>();
};

template <class Base>
class TextArea : private OwnBuffer, public Base {
 public:
  TextArea(int x, int y, int w, int h, const std::u16string& text, bool wants_return, bool wants_selection)
      : Base(x, y, w, h), wants_return_(wants_return) {
    Base::buffer(owned.get());
    owned->text(EditText(text).c_str());
    owned->add_modify_callback(&Modified, this);  // after the template's own text
    // An editable text comes all selected, so what is typed first replaces it (a refused
    // answer shown again), as the dialog manager does elsewhere.
    if (wants_selection) {
      owned->select(0, owned->length());
      Base::insert_position(owned->length());
    }
  }
  // Tab moves on, as in every dialog; Enter accepts the dialog unless the edit keeps it as a
  // new line (the memo), where Ctrl+Enter accepts.
  int handle(int event) override {
    if (event == FL_KEYBOARD) {
      const int key = Fl::event_key();
      if (key == FL_Tab) return 0;
      if ((key == FL_Enter || key == FL_KP_Enter) && (!wants_return_ || (Fl::event_state() & FL_CTRL))) return 0;
    }
    return Base::handle(event);
  }

 private:
  static void Modified(int, int inserted, int deleted, int, const char*, void* data) {
    auto* self = static_cast<TextArea*>(data);
    const std::intptr_t dialog = DialogOf(self);
    DialogRecord* record = RecordOf(dialog);
    if ((inserted == 0 && deleted == 0) || record == nullptr || record->setting_text) return;
    Deliver(Dialog{dialog}, CommandEvent{IdOf(self), kCodeEditChanged});
  }

  bool wants_return_;
};

Fl_Widget* MakeTextArea(const ControlTemplate& control, const Rect& at) {
  Fl_Text_Display* area = nullptr;
  if (control.flags & kReadOnly) {
    area = new TextArea<Fl_Text_Display>(at.x, at.y, at.cx, at.cy, control.text, false, false);
  } else {
    area = new TextArea<Fl_Text_Editor>(at.x, at.y, at.cx, at.cy, control.text, (control.flags & kWantsReturn) != 0,
                                        true);
  }
  if (control.flags & kWrap) area->wrap_mode(Fl_Text_Display::WRAP_AT_BOUNDS, 0);
  area->box(FL_DOWN_BOX);
  return area;
}

bool OptionButton::IsTabStop() const {
  const DialogRecord* record = RecordOf(DialogOf(this));
  if (record == nullptr) return true;
  const auto run = record->option_runs.find(IdOf(this));
  if (run == record->option_runs.end()) return true;
  const Fl_Widget* first = nullptr;
  for (const ControlTemplate& control : record->form.controls) {
    const auto found = record->option_runs.find(control.id);
    if (found == record->option_runs.end() || found->second != run->second) continue;
    const auto* option = static_cast<const Fl_Button*>(record->Widget(control.id));
    if (option->value() != 0) return option == this;
    if (first == nullptr) first = option;
  }
  return first == this;
}

void OptionButton::ChooseNeighbour(bool forward) {
  DialogRecord* record = RecordOf(DialogOf(this));
  if (record == nullptr) return;
  const auto run = record->option_runs.find(IdOf(this));
  if (run == record->option_runs.end()) return;
  std::vector<Fl_Widget*> options;  // the run, in template order
  for (const ControlTemplate& control : record->form.controls) {
    const auto found = record->option_runs.find(control.id);
    if (found != record->option_runs.end() && found->second == run->second) options.push_back(record->Widget(control.id));
  }
  const auto here = std::find(options.begin(), options.end(), this);
  const std::size_t size = options.size();
  for (std::size_t step = 1; step < size; ++step) {
    const std::size_t at = static_cast<std::size_t>(here - options.begin());
    Fl_Widget* next = options[(at + (forward ? step : size - step)) % size];
    if (!next->active()) continue;
    choosing_ = true;
    next->take_focus();
    choosing_ = false;
    next->do_callback();  // chooses it, as a click does
    return;
  }
}

void ButtonCallback(Fl_Widget* widget, void*) {
  const std::intptr_t dialog = DialogOf(widget);
  DialogRecord* record = RecordOf(dialog);
  if (record == nullptr) return;
  const int id = IdOf(widget);
  // Adjacent options are one group: choosing one clears the others of its run.
  const auto run = record->option_runs.find(id);
  if (run != record->option_runs.end()) {
    for (const auto& [other, other_run] : record->option_runs) {
      if (other_run == run->second) static_cast<Fl_Button*>(record->Widget(other))->value(other == id ? 1 : 0);
    }
  }
  Deliver(Dialog{dialog}, CommandEvent{id, FromKeyboard() ? kCodeKeyboard : kCodeClicked});
}

void EditCallback(Fl_Widget* widget, void*) {
  Deliver(Dialog{DialogOf(widget)}, CommandEvent{IdOf(widget), kCodeEditChanged});
}

void WindowCallback(Fl_Widget* widget, void*) {
  const auto* window = static_cast<DialogWindow*>(widget);
  // FLTK calls this for Escape as well as for the close command of the title bar; Escape is
  // the close command only where the window has a close box. Here the desktop gives every
  // window with a title bar one, except the main window, which has no close command to give.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
    const DialogRecord* record = RecordOf(window->dialog());
    if (record == nullptr) return;
    const std::uint32_t style = record->form.style;
    const bool close_box = (style & kStyleCaption) && !(style & kStyleMinimizeBox);
    if (!EscapeCloses(record->form) && !close_box) return;
  }
  Deliver(Dialog{window->dialog()}, CloseEvent{});
}

void ApplyFont(Fl_Widget* widget, const Font& font) {
  const FontChoice choice = ChooseFont(font);
  widget->labelfont(choice.face);
  widget->labelsize(choice.size);
  if (auto* input = dynamic_cast<Fl_Input_*>(widget)) {
    input->textfont(choice.face);
    input->textsize(choice.size);
  }
  if (auto* area = dynamic_cast<Fl_Text_Display*>(widget)) {
    area->textfont(choice.face);
    area->textsize(choice.size);
  }
}

// A surface; one whose drawing is taller than the control sits, drawing-high, in a frame
// the control's size that scrolls it with a vertical bar and the mouse wheel.
Fl_Widget* MakeSurface(const DialogRecord& record, const ControlTemplate& control, const Rect& at) {
  const bool sunken = (control.flags & kSunken) != 0;
  if (control.scroll_height <= at.cy) {
    auto* surface = new SurfaceWidget(at.x, at.y, at.cx, at.cy, record.handle.value, control.id);
    if (sunken) surface->box(FL_THIN_DOWN_FRAME);
    return surface;
  }
  auto* frame = new Fl_Scroll(at.x, at.y, at.cx, at.cy);
  frame->type(Fl_Scroll::VERTICAL);
  const int edge = sunken ? 1 : 0;
  if (sunken) frame->box(FL_THIN_DOWN_FRAME);
  auto* surface = new SurfaceWidget(at.x + edge, at.y + edge, at.cx - 2 * edge - Fl::scrollbar_size(),
                                    control.scroll_height, record.handle.value, control.id);
  frame->end();
  return surface;
}

Fl_Widget* MakeWidget(DialogRecord& record, const ControlTemplate& control, const Rect& at) {
  const std::uint32_t flags = control.flags;
  Fl_Widget* widget = nullptr;
  bool label = true;
  switch (control.kind) {
    case ControlKind::Static:
    case ControlKind::Icon:
    case ControlKind::Bitmap: {
      Fl_Box* box = (flags & kNotify) ? new ClickBox(at.x, at.y, at.cx, at.cy) : new Fl_Box(at.x, at.y, at.cx, at.cy);
      box->box((flags & kSunken) ? FL_THIN_DOWN_BOX : (flags & kBorder) ? FL_BORDER_FRAME : FL_NO_BOX);
      const Fl_Align across = (flags & kTextCentred) || control.kind != ControlKind::Static ? FL_ALIGN_CENTER
                                                                                            : FL_ALIGN_LEFT;
      // A box too short for a line of its font (the browser's counter) shows its line whole,
      // in its middle; a picture is never cut to its box's frame.
      const FontChoice font = ChooseFont(control.font);
      fl_font(font.face, font.size);
      const bool short_line = control.kind == ControlKind::Static && at.cy - Fl::box_dh(box->box()) < fl_height();
      const Fl_Align down = short_line ? FL_ALIGN_CENTER : FL_ALIGN_TOP;
      const Fl_Align clip = short_line || control.kind != ControlKind::Static ? 0 : FL_ALIGN_CLIP;
      box->align(across | down | FL_ALIGN_INSIDE | FL_ALIGN_WRAP | clip);
      widget = box;
      label = control.kind == ControlKind::Static;
      break;
    }
    case ControlKind::Edit: {
      if ((flags & kMultiLine) && (flags & (kHorizontalScrollBar | kVerticalScrollBar))) {
        widget = MakeTextArea(control, at);
        label = false;
        break;
      }
      const bool digits = (flags & kDigitsOnly) != 0;
      Fl_Input* input = (flags & kMultiLine) ? static_cast<Fl_Input*>(new EditBox<Fl_Multiline_Input>(
                                                   at.x, at.y, at.cx, at.cy, digits))
                                             : new EditBox<Fl_Input>(at.x, at.y, at.cx, at.cy, digits);
      if ((flags & kMultiLine) && (flags & kWrap)) input->wrap(1);
      if (flags & kReadOnly) input->readonly(1);
      input->box((flags & kSunken) || (flags & kBorder) ? FL_DOWN_BOX : FL_FLAT_BOX);
      input->value(EditText(control.text).c_str());
      // Its text comes all selected, so what is typed first replaces it (a refused answer shown
      // again), as the dialog manager does elsewhere; a Tab or a click places the caret anew.
      input->position(input->size(), 0);
      input->when(FL_WHEN_CHANGED);
      input->callback(&EditCallback);
      widget = input;
      label = false;
      break;
    }
    case ControlKind::Button:
      widget = new PushButton(at.x, at.y, at.cx, at.cy);
      widget->callback(&ButtonCallback);
      break;
    case ControlKind::Option:
      widget = new OptionButton(at.x, at.y, at.cx, at.cy);
      widget->type(FL_TOGGLE_BUTTON);  // the run's choice is kept by ButtonCallback
      widget->callback(&ButtonCallback);
      break;
    case ControlKind::CheckBox:
      widget = new Fl_Check_Button(at.x, at.y, at.cx, at.cy);
      widget->callback(&ButtonCallback);
      break;
    case ControlKind::GroupFrame: {
      auto* frame = new Fl_Box(at.x, at.y, at.cx, at.cy);
      frame->box(FL_ENGRAVED_FRAME);
      frame->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
      widget = frame;
      break;
    }
    case ControlKind::ProgressBar: {
      auto* bar = new Fl_Progress(at.x, at.y, at.cx, at.cy);
      bar->minimum(0);
      bar->maximum(100);  // the desktop's default range
      bar->value(0);
      bar->selection_color(FL_BLUE);
      widget = bar;
      label = false;
      break;
    }
    case ControlKind::Surface:
      widget = MakeSurface(record, control, at);
      label = false;
      break;
  }
  widget->user_data(reinterpret_cast<void*>(static_cast<std::intptr_t>(control.id)));
  ApplyFont(widget, control.font);
  if (label) {
    widget->copy_label(LabelText(control.text).c_str());
    record.labels[control.id] = control.text;
  }
  if (flags & kDisabled) widget->deactivate();
  return widget;
}

}  // namespace

int DialogWindow::handle(int event) {
  if (event == FL_FOCUS && saved_focus_ != nullptr && contains(saved_focus_) && saved_focus_->visible()) {
    Fl_Double_Window::handle(event);
    saved_focus_->take_focus();
    return 1;
  }
  const bool key = event == FL_SHORTCUT || event == FL_KEYBOARD;
  // F10 opens the menu bar's first popup, as on the other desktops.
  if (key && Fl::event_key() == FL_F + 10 && OpenMenuBar()) return 1;
  int used = Fl_Double_Window::handle(event);
  // Enter that no control takes presses the dialog's accept button.
  if (!used && key && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
      !(Fl::event_state() & FL_ALT)) {
    const DialogRecord* record = RecordOf(dialog_);
    const int accept = record != nullptr ? DefaultButton(record->form.controls) : 0;
    Fl_Widget* button = record != nullptr ? record->Widget(accept) : nullptr;
    if (button != nullptr && button->active()) {
      Deliver(Dialog{dialog_}, CommandEvent{accept, kCodeKeyboard});
      return 1;
    }
  }
  Fl_Widget* focus = Fl::focus();
  if (focus != nullptr && focus != this && contains(focus) && focus != saved_focus_) {
    saved_focus_ = focus;
    // A dialog whose content scrolls brings the control the keyboard reached into view.
    if (DialogRecord* record = RecordOf(dialog_)) RevealFocus(*record);
  }
  return used;
}

bool DialogWindow::OpenMenuBar() {
  DialogRecord* record = RecordOf(dialog_);
  DialogMenuBar* bar = record != nullptr ? record->menu : nullptr;
  if (bar == nullptr || bar->menu() == nullptr || bar->menu()->text == nullptr) return false;
  const Fl_Menu_Item* chosen = bar->menu()->pulldown(bar->x(), bar->y(), bar->w(), bar->h(), bar->menu(), bar, nullptr, 1);
  bar->picked(chosen);  // the item's command, as a click on it gives
  return true;
}

FontChoice ChooseFont(const Font& font) {
  FontChoice choice;
  const bool fixed = font.face.find(u"Courier") != std::u16string::npos || font.face == u"Fixedsys";
  if (fixed) {
    choice.face = font.bold ? FL_COURIER_BOLD : FL_COURIER;
  } else {
    choice.face = font.bold ? FL_HELVETICA_BOLD : FL_HELVETICA;
  }
  choice.size = static_cast<Fl_Fontsize>(std::max(1, (font.points * 96 + 36) / 72));
  return choice;
}

BaseUnits DialogBaseUnits(const Font& dialog_font) {
  OpenDisplay();
  const FontChoice font = ChooseFont(dialog_font);
  fl_font(font.face, font.size);
  const double letters = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  BaseUnits base;
  base.x = (static_cast<int>(letters) / 26 + 1) / 2;
  base.y = fl_height();
  if (base.x <= 0) base.x = 8;
  if (base.y <= 0) base.y = 16;
  return base;
}

Rect ToPixels(const Rect& rect, Units units, const Font& dialog_font) {
  if (units == Units::Pixels) return rect;
  const BaseUnits base = DialogBaseUnits(dialog_font);
  return {rect.x * base.x / 4, rect.y * base.y / 8, rect.cx * base.x / 4, rect.cy * base.y / 8};
}

std::string EditText(const std::u16string& text) {
  std::string lines;
  const std::string utf8 = Utf16ToUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    lines.push_back(utf8[i]);
  }
  return lines;
}

std::u16string FromEditText(const char* text, bool multi_line) {
  std::u16string result = Utf8ToUtf16(text);
  if (!multi_line) return result;
  std::u16string lines;
  for (char16_t c : result) {
    if (c == u'\n') lines.push_back(u'\r');
    lines.push_back(c);
  }
  return lines;
}

std::string LabelText(const std::u16string& text) {
  std::string label;
  for (char c : EditText(text)) {
    label.push_back(c);
    if (c == '@') label.push_back('@');  // "@@" draws one '@'
  }
  return label;
}

namespace {

// What the desktop's frame adds around a dialog's client area, taken from the work area
// before a dialog is fitted to it, so that its title bar and bottom edge stay on the screen.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 32;

// A centred dialog goes in the middle of the work area, the others where their template puts
// them; both are moved in as far as they must to lie, frame and all, within the work area.
void Place(DialogWindow& window, const DialogTemplate& form, const Rect& frame) {
  const bool framed = window.border() != 0;
  const int frame_width = framed ? kFrameWidth : 0;
  const int frame_height = framed ? kFrameHeight : 0;
  const Rect outer = PlaceInWorkArea(WorkArea(), frame.x, frame.y, (form.style & kStyleCentred) != 0,
                                     window.w() + frame_width, window.h() + frame_height);
  window.position(outer.x + frame_width / 2, outer.y + frame_height - frame_width / 2);
}

// A dialog that does not fit the work area: its controls lie in a frame that scrolls them,
// the size the window has, with room for the content's far corner.
Fl_Scroll* MakeScrollingContent(const FittedDialog& fitted, int width, int height) {
  auto* content = new Fl_Scroll(0, 0, width, height);
  content->type(Fl_Scroll::BOTH);
  content->box(FL_NO_BOX);
  new Fl_Box(fitted.content_width - 1, fitted.content_height - 1, 1, 1);
  return content;
}

}  // namespace

void RevealFocus(DialogRecord& record) {
  Fl_Scroll* content = record.content;
  Fl_Widget* focus = Fl::focus();
  if (content == nullptr || focus == nullptr || focus == content || !content->contains(focus)) return;
  const int shown_w = content->w() - (content->scrollbar.visible() ? content->scrollbar.w() : 0);
  const int shown_h = content->h() - (content->hscrollbar.visible() ? content->hscrollbar.h() : 0);
  const int x = PositionShowing(content->xposition(), shown_w, record.content_size.cx,
                                focus->x() - content->x() + content->xposition(), focus->w());
  const int y = PositionShowing(content->yposition(), shown_h, record.content_size.cy,
                                focus->y() - content->y() + content->yposition(), focus->h());
  if (x != content->xposition() || y != content->yposition()) content->scroll_to(x, y);
}

DialogWindow* BuildWindow(DialogRecord& record) {
  const DialogTemplate& form = record.form;
  const Rect frame = ToPixels(form.rect, form.units, form.font);
  // Fonts here are wider than the ones dialog units were made for: the window grows so that
  // no control touches its edge.
  int width = frame.cx;
  int height = frame.cy;
  std::vector<Rect> pixels;
  for (const ControlTemplate& control : form.controls) {
    const Rect at = ToPixels(control.rect, form.units, form.font);
    pixels.push_back(at);
    width = std::max(width, at.x + at.cx + kEdgeMargin);
    height = std::max(height, at.y + at.cy + kEdgeMargin);
  }
  const bool framed = !(form.style & kStyleNoTitleBar);
  const Rect area = WorkArea();
  const FittedDialog fitted = FitDialog(form.controls, std::move(pixels), width, height,
                                        area.cx - (framed ? kFrameWidth : 0), area.cy - (framed ? kFrameHeight : 0),
                                        Fl::scrollbar_size());
  auto* window = new DialogWindow(std::max(fitted.view_width, 1), std::max(fitted.view_height, 1), record.handle.value);
  record.window = window;
  if (!framed) window->border(0);
  Place(*window, form, frame);
  window->copy_label(Utf16ToUtf8(form.caption).c_str());
  window->callback(&WindowCallback);
  if (fitted.scrolls_down || fitted.scrolls_across) {
    record.content = MakeScrollingContent(fitted, window->w(), window->h());
    record.content_size = {0, 0, fitted.content_width, fitted.content_height};
  }
  int run = 0;
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlTemplate& control = form.controls[i];
    Fl_Widget* widget = MakeWidget(record, control, fitted.controls[i]);
    record.controls[control.id] = widget;
    if (StartsGroup(form.controls, i)) ++run;
    if (control.kind == ControlKind::Option) record.option_runs[control.id] = run;
  }
  if (record.content != nullptr) record.content->end();
  window->end();
  for (const ControlTemplate& control : form.controls) {
    if (control.image != 0) ShowImage(record, control.id, control.image);
  }
  return window;
}

void ShowImage(DialogRecord& record, int id, int resource) {
  const ControlTemplate* control = record.Control(id);
  Fl_Widget* widget = record.Widget(id);
  if (control == nullptr || widget == nullptr) return;
  if (control->kind != ControlKind::Icon && control->kind != ControlKind::Bitmap) return;
  widget->image(ResourceImage(resource));
  widget->redraw();
}

}  // namespace zentora::platform::fltk
