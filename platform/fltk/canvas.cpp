// Drawing surfaces on Linux: a page is an off-screen picture; what a surface shows is kept in
// a second off-screen picture that its draw() copies to the screen, so a picture survives
// being covered and uncovered. Presses of the mouse go to the handler with their place.
#include <FL/Fl.H>
#include <FL/Fl_Scroll.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "platform/encoding.h"
#include "platform/scrolling.h"
#include "platform/fltk/internal.h"

namespace zentora::platform {

using fltk::SurfaceWidget;
using fltk::Deliver;

namespace {

void SetColour(Colour colour) { fl_color(fl_rgb_color(colour.red, colour.green, colour.blue)); }

Fl_Offscreen WhiteOffscreen(int width, int height) {
  fltk::OpenDisplay();
  Fl_Offscreen picture = fl_create_offscreen(std::max(width, 1), std::max(height, 1));
  fl_begin_offscreen(picture);
  fl_color(FL_WHITE);
  fl_rectf(0, 0, std::max(width, 1), std::max(height, 1));
  fl_end_offscreen();
  return picture;
}

SurfaceWidget* FindSurface(Dialog dialog, int id) {
  fltk::DialogRecord* record = fltk::RecordOf(dialog);
  return record != nullptr ? dynamic_cast<SurfaceWidget*>(record->Widget(id)) : nullptr;
}

// Draws on the page or on the kept picture of a canvas (`draw` gets the target's width and
// height); the surface shows what was drawn on its picture at once. FLTK's off-screen
// drawing opens and closes in one scope.
template <class Draw>
void DrawOn(Canvas canvas, Draw draw) {
  SurfaceWidget* surface = FindSurface(canvas.dialog, canvas.surface_id);
  if (surface == nullptr) return;
  const Fl_Offscreen target = canvas.page ? surface->page() : surface->Picture();
  if (target == 0) return;
  const int width = canvas.page ? surface->page_width() : surface->w();
  const int height = canvas.page ? surface->page_height() : surface->h();
  fl_begin_offscreen(target);
  draw(width, height);
  fl_end_offscreen();
  if (!canvas.page) {
    surface->redraw();
    Fl::flush();
  }
}

}  // namespace

namespace fltk {

SurfaceWidget::SurfaceWidget(int x, int y, int w, int h, std::intptr_t dialog, int id)
    : Fl_Widget(x, y, w, h), dialog_(dialog), id_(id) {
  box(FL_NO_BOX);
}

SurfaceWidget::~SurfaceWidget() {
  if (picture_ != 0) fl_delete_offscreen(picture_);
  if (page_ != 0) fl_delete_offscreen(page_);
}

Fl_Offscreen SurfaceWidget::Picture() {
  if (picture_ == 0) picture_ = WhiteOffscreen(w(), h());
  return picture_;
}

void SurfaceWidget::OpenPage(int width, int height) {
  if (page_ != 0) fl_delete_offscreen(page_);
  page_ = WhiteOffscreen(width, height);
  page_width_ = width;
  page_height_ = height;
}

void SurfaceWidget::draw() {
  if (picture_ == 0) {
    fl_color(FL_WHITE);
    fl_rectf(x(), y(), w(), h());
  } else {
    fl_copy_offscreen(x(), y(), w(), h(), picture_, 0, 0);
  }
  if (box() != FL_NO_BOX) draw_box(box(), x(), y(), w(), h(), color());
}

namespace {

// The keys a surface reports; false for the dialog's own (Tab, Escape) and the rest.
bool SurfaceKey(int code, KeyEvent& key) {
  switch (code) {
    case FL_Enter:
    case FL_KP_Enter: key.key = Key::Enter; return true;
    case FL_Left: key.key = Key::Left; return true;
    case FL_Right: key.key = Key::Right; return true;
    case FL_Up: key.key = Key::Up; return true;
    case FL_Down: key.key = Key::Down; return true;
    case FL_Page_Up: key.key = Key::PageUp; return true;
    case FL_Page_Down: key.key = Key::PageDown; return true;
    case FL_Home: key.key = Key::Home; return true;
    case FL_End: key.key = Key::End; return true;
    default: break;
  }
  if ((code >= 'a' && code <= 'z') || (code >= '0' && code <= '9')) {
    key.key = Key::Character;
    key.character = static_cast<char16_t>(code >= 'a' ? code - 'a' + 'A' : code);
    return true;
  }
  return false;
}

}  // namespace

int SurfaceWidget::handle(int event) {
  switch (event) {
    case FL_PUSH:
      // The handler may end the dialog: nothing of this widget is used afterwards.
      Deliver(Dialog{dialog_}, MouseDownEvent{id_, Fl::event_x() - x(), Fl::event_y() - y()});
      return 1;
    case FL_FOCUS:
    case FL_UNFOCUS: return 1;  // the field page takes the keyboard, for the browser's keys
    case FL_KEYBOARD: {
      KeyEvent key;
      key.id = id_;
      if ((Fl::event_state() & FL_ALT) || !SurfaceKey(Fl::event_key(), key)) return 0;
      key.ctrl = (Fl::event_state() & FL_CTRL) != 0;
      Deliver(Dialog{dialog_}, key);
      return 1;
    }
    default: return Fl_Widget::handle(event);
  }
}

}  // namespace fltk

Canvas OpenPage(Dialog dialog, int surface_id, int width, int height) {
  if (SurfaceWidget* surface = FindSurface(dialog, surface_id)) surface->OpenPage(width, height);
  return Canvas{dialog, surface_id, true};
}

void CopyPageToSurface(Canvas page) {
  SurfaceWidget* surface = FindSurface(page.dialog, page.surface_id);
  if (surface == nullptr || surface->page() == 0) return;
  const Fl_Offscreen source = surface->page();
  const int page_width = surface->page_width();
  const int page_height = surface->page_height();
  DrawOn(Canvas{page.dialog, page.surface_id, false}, [&](int width, int height) {
    // The surface shows the part of the page that fits; the rest of it stays white.
    fl_color(FL_WHITE);
    fl_rectf(0, 0, width, height);
    fl_copy_offscreen(0, 0, std::min(page_width, width), std::min(page_height, height), source, 0, 0);
  });
}

Canvas SurfaceCanvas(Dialog dialog, int surface_id) { return Canvas{dialog, surface_id, false}; }

void ScrollSurfaceTo(Dialog dialog, int surface_id, int top, int height) {
  SurfaceWidget* surface = FindSurface(dialog, surface_id);
  auto* frame = surface != nullptr ? dynamic_cast<Fl_Scroll*>(surface->parent()) : nullptr;
  if (frame == nullptr) return;
  const int shown = frame->h() - Fl::box_dh(frame->box());
  frame->scroll_to(frame->xposition(), FirstRowShowing(frame->yposition(), shown, surface->h(), top, height));
}

void ClearCanvas(Canvas canvas, Colour colour) {
  DrawOn(canvas, [&](int width, int height) {
    SetColour(colour);
    fl_rectf(0, 0, width, height);
  });
}

void DrawBox(Canvas canvas, Rect box, Colour border, Colour fill) {
  if (box.cx <= 0 || box.cy <= 0) return;
  DrawOn(canvas, [&](int, int) {
    SetColour(fill);
    fl_rectf(box.x, box.y, box.cx, box.cy);
    SetColour(border);
    fl_rect(box.x, box.y, box.cx, box.cy);
  });
}

void DrawTextAt(Canvas canvas, int x, int y, const std::u16string& text, Colour colour, const Font& font) {
  const std::string utf8 = Utf16ToUtf8(text);
  DrawOn(canvas, [&](int, int) {
    const fltk::FontChoice choice = fltk::ChooseFont(font);
    fl_font(choice.face, choice.size);
    SetColour(colour);
    // x, y is the top left corner; FLTK draws from the baseline.
    fl_draw(utf8.c_str(), static_cast<int>(utf8.size()), x, y + fl_height() - fl_descent());
  });
}

}  // namespace zentora::platform
