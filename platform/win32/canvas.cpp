// Drawing surfaces on Windows: a page is an off-screen GDI bitmap; what a surface shows is
// kept in a second bitmap that its own paint handler copies to the screen, so a picture
// survives being covered and uncovered. Presses of the mouse on a surface go to the
// dialog's handler with the place of the press.
#include "platform/win32/internal.h"

#include "platform/scrolling.h"

#include <windowsx.h>

namespace zentora::platform {

using win32::Surface;

namespace {

COLORREF ColourRef(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

HBITMAP WhiteBitmap(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

Surface* FindSurface(Dialog dialog, int id) {
  win32::DialogRecord* record = win32::RecordOf(win32::WindowOf(dialog));
  if (record == nullptr) return nullptr;
  const auto found = record->surfaces.find(id);
  return found == record->surfaces.end() ? nullptr : found->second.get();
}

// What the surface shows, made (white, the size of the surface) when first needed.
HBITMAP Picture(Surface& surface) {
  if (surface.picture == nullptr) {
    RECT client{};
    GetClientRect(surface.window, &client);
    surface.picture_size = {client.right, std::max<LONG>(client.bottom, surface.scroll_height)};
    surface.picture = WhiteBitmap(surface.picture_size.cx, surface.picture_size.cy);
  }
  return surface.picture;
}

// A memory device context drawing on the page or on the picture of a canvas.
class CanvasContext {
 public:
  explicit CanvasContext(Canvas canvas) : surface_(FindSurface(canvas.dialog, canvas.surface_id)), page_(canvas.page) {
    if (surface_ == nullptr) return;
    HBITMAP target = page_ ? surface_->page : Picture(*surface_);
    if (target == nullptr) return;
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, target);
    size_ = page_ ? surface_->page_size : surface_->picture_size;
  }
  ~CanvasContext() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    // Drawing straight on the surface shows at once.
    if (!page_) {
      InvalidateRect(surface_->window, nullptr, FALSE);
      UpdateWindow(surface_->window);
    }
  }
  CanvasContext(const CanvasContext&) = delete;
  CanvasContext& operator=(const CanvasContext&) = delete;

  HDC dc() const { return dc_; }
  SIZE size() const { return size_; }

 private:
  Surface* surface_;
  bool page_;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  SIZE size_{};
};

void PaintPicture(const Surface& surface, HDC dc) {
  RECT client{};
  GetClientRect(surface.window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (surface.picture == nullptr) return;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, surface.picture);
  BitBlt(dc, 0, 0, surface.picture_size.cx, surface.picture_size.cy, memory, 0, surface.scroll_top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

int ShownRows(const Surface& surface) {
  RECT client{};
  GetClientRect(surface.window, &client);
  return client.bottom;
}

// Shows the drawing from row `first` (kept inside it) and moves the bar to match.
void ScrollTo(Surface& surface, int first) {
  if (surface.scroll_height == 0) return;
  const int shown = ShownRows(surface);
  first = FirstRowShowing(first, shown, surface.scroll_height, first, 0);
  SCROLLINFO bar{};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  bar.nMin = 0;
  bar.nMax = surface.scroll_height - 1;
  bar.nPage = static_cast<UINT>(shown);
  bar.nPos = first;
  SetScrollInfo(surface.window, SB_VERT, &bar, TRUE);
  if (first == surface.scroll_top) return;
  surface.scroll_top = first;
  InvalidateRect(surface.window, nullptr, FALSE);
}

// The row a move of the scroll bar asks for.
int BarTarget(const Surface& surface, WORD request) {
  constexpr int kLine = 21;  // one field line of the browser's page
  const int top = surface.scroll_top;
  const int shown = ShownRows(surface);
  switch (request) {
    case SB_LINEUP: return top - kLine;
    case SB_LINEDOWN: return top + kLine;
    case SB_PAGEUP: return top - shown;
    case SB_PAGEDOWN: return top + shown;
    case SB_TOP: return 0;
    case SB_BOTTOM: return surface.scroll_height;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO bar{};
      bar.cbSize = sizeof bar;
      bar.fMask = SIF_TRACKPOS;
      GetScrollInfo(surface.window, SB_VERT, &bar);
      return bar.nTrackPos;
    }
    default: return top;
  }
}

// Three lines for each notch of the wheel, up when it turns away from the user.
int WheelTarget(const Surface& surface, WPARAM wparam) {
  const int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
  return surface.scroll_top - notches * 3 * 21;
}

// The keys a surface reports; false for the dialog's own (Tab, Escape) and the rest.
bool SurfaceKey(WPARAM code, KeyEvent& key) {
  switch (code) {
    case VK_RETURN: key.key = Key::Enter; return true;
    case VK_LEFT: key.key = Key::Left; return true;
    case VK_RIGHT: key.key = Key::Right; return true;
    case VK_UP: key.key = Key::Up; return true;
    case VK_DOWN: key.key = Key::Down; return true;
    case VK_PRIOR: key.key = Key::PageUp; return true;
    case VK_NEXT: key.key = Key::PageDown; return true;
    case VK_HOME: key.key = Key::Home; return true;
    case VK_END: key.key = Key::End; return true;
    default: break;
  }
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    key.key = Key::Character;
    key.character = static_cast<char16_t>(code);
    return true;
  }
  return false;
}

LRESULT CALLBACK SurfaceProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* surface = reinterpret_cast<Surface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (surface == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  const WNDPROC own = surface->own_procedure;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintPicture(*surface, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintPicture(*surface, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_GETDLGCODE: {
      // The arrows and Enter are the field page's own; Tab and Escape stay the dialog's.
      const auto* queued = reinterpret_cast<const MSG*>(lparam);
      const bool enter = queued != nullptr && queued->message == WM_KEYDOWN && queued->wParam == VK_RETURN;
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN: {
      KeyEvent key;
      key.id = surface->id;
      if (!SurfaceKey(wparam, key)) return CallWindowProcW(own, window, message, wparam, lparam);
      key.ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      win32::Deliver(surface->dialog, key);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return 0;
    case WM_VSCROLL:
      ScrollTo(*surface, BarTarget(*surface, LOWORD(wparam)));
      return 0;
    case WM_MOUSEWHEEL:
      if (surface->scroll_height == 0) return CallWindowProcW(own, window, message, wparam, lparam);
      ScrollTo(*surface, WheelTarget(*surface, wparam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A quick second press arrives as a double click; it is a press all the same.
      const HWND dialog = surface->dialog;
      win32::Deliver(dialog, MouseDownEvent{surface->id, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam) + surface->scroll_top});
      // The handler may have ended the dialog; the surface's own handler still sees the press.
      return CallWindowProcW(own, window, message, wparam, lparam);
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      surface->window = nullptr;
      return CallWindowProcW(own, window, message, wparam, lparam);
    default:
      return CallWindowProcW(own, window, message, wparam, lparam);
  }
}

}  // namespace

namespace win32 {

Surface::~Surface() {
  if (window != nullptr) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own_procedure));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  if (page != nullptr) DeleteObject(page);
  if (picture != nullptr) DeleteObject(picture);
}

void InstallSurface(HWND dialog, DialogRecord& record, const ControlTemplate& control) {
  const int id = control.id;
  HWND window = GetDlgItem(dialog, id);
  if (window == nullptr || record.surfaces.count(id) != 0) return;
  auto surface = std::make_unique<Surface>();
  surface->window = window;
  surface->dialog = dialog;
  surface->id = id;
  if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL) != 0) {
    surface->scroll_height = control.scroll_height;
    ScrollTo(*surface, 0);
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(surface.get()));
  surface->own_procedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SurfaceProcedure)));
  record.surfaces[id] = std::move(surface);
}

bool WheelSurface(DialogRecord& record, WPARAM wparam) {
  for (const auto& [id, surface] : record.surfaces) {
    if (surface->scroll_height == 0 || surface->window == nullptr) continue;
    ScrollTo(*surface, WheelTarget(*surface, wparam));
    return true;
  }
  return false;
}

}  // namespace win32

Canvas OpenPage(Dialog dialog, int surface_id, int width, int height) {
  Surface* surface = FindSurface(dialog, surface_id);
  if (surface != nullptr) {
    if (surface->page != nullptr) DeleteObject(surface->page);
    surface->page = WhiteBitmap(width, height);
    surface->page_size = {width, height};
  }
  return Canvas{dialog, surface_id, true};
}

void CopyPageToSurface(Canvas page) {
  Surface* surface = FindSurface(page.dialog, page.surface_id);
  if (surface == nullptr || surface->page == nullptr) return;
  CanvasContext picture(Canvas{page.dialog, page.surface_id, false});
  if (picture.dc() == nullptr) return;
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(source, surface->page);
  // The surface shows the part of the page that fits; the rest of it stays white.
  RECT all{0, 0, picture.size().cx, picture.size().cy};
  FillRect(picture.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  BitBlt(picture.dc(), 0, 0, surface->page_size.cx, surface->page_size.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

Canvas SurfaceCanvas(Dialog dialog, int surface_id) { return Canvas{dialog, surface_id, false}; }

void ScrollSurfaceTo(Dialog dialog, int surface_id, int top, int height) {
  Surface* surface = FindSurface(dialog, surface_id);
  if (surface == nullptr || surface->scroll_height == 0) return;
  ScrollTo(*surface, FirstRowShowing(surface->scroll_top, ShownRows(*surface), surface->scroll_height, top, height));
  UpdateWindow(surface->window);
}

void ClearCanvas(Canvas canvas, Colour colour) {
  CanvasContext context(canvas);
  if (context.dc() == nullptr) return;
  HBRUSH brush = CreateSolidBrush(ColourRef(colour));
  RECT all{0, 0, context.size().cx, context.size().cy};
  FillRect(context.dc(), &all, brush);
  DeleteObject(brush);
}

void DrawBox(Canvas canvas, Rect box, Colour border, Colour fill) {
  CanvasContext context(canvas);
  if (context.dc() == nullptr) return;
  HPEN pen = CreatePen(PS_SOLID, 1, ColourRef(border));
  HBRUSH brush = CreateSolidBrush(ColourRef(fill));
  HGDIOBJ old_pen = SelectObject(context.dc(), pen);
  HGDIOBJ old_brush = SelectObject(context.dc(), brush);
  Rectangle(context.dc(), box.x, box.y, box.x + box.cx, box.y + box.cy);
  SelectObject(context.dc(), old_pen);
  SelectObject(context.dc(), old_brush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void DrawTextAt(Canvas canvas, int x, int y, const std::u16string& text, Colour colour, const Font& font) {
  CanvasContext context(canvas);
  if (context.dc() == nullptr) return;
  HFONT handle = win32::CreateFontFor(font);
  HGDIOBJ old = SelectObject(context.dc(), handle);
  SetBkMode(context.dc(), TRANSPARENT);
  SetTextColor(context.dc(), ColourRef(colour));
  TextOutW(context.dc(), x, y, win32::Wide(text), static_cast<int>(text.size()));
  SelectObject(context.dc(), old);
  DeleteObject(handle);
}

}  // namespace zentora::platform
