// The Windows runner's dialogs on a small screen: a dialog that does not fit the work area is
// fitted (its tallest scrolling text gives up height, what still does not fit scrolls through
// the window's own scroll bars) and placed within it; the control the keyboard reaches is
// scrolled into view.
#include <algorithm>
#include <vector>

#include "platform/dialog_fit.h"
#include "platform/win32/internal.h"

namespace zentora::platform::win32 {
namespace {

constexpr int kLinePixels = 16;  // one press of a scroll bar's arrow

Rect ClientRectOf(HWND window, HWND item) {
  RECT place{};
  GetWindowRect(item, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  return {static_cast<int>(place.left), static_cast<int>(place.top), static_cast<int>(place.right - place.left),
          static_cast<int>(place.bottom - place.top)};
}

void SetBar(HWND window, int bar, int extent, int shown) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = extent - 1;
  info.nPage = static_cast<UINT>(std::max(shown, 0));
  SetScrollInfo(window, bar, &info, TRUE);
}

}  // namespace

void FitToWorkArea(HWND window, DialogRecord& record) {
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int frame_width = (outer.right - outer.left) - client.right;
  const int frame_height = (outer.bottom - outer.top) - client.bottom;
  const Rect area = WorkArea();
  std::vector<HWND> items;
  std::vector<Rect> pixels;
  // A control the template lets run past the dialog's edge is not cut: the dialog grows to it.
  int width = client.right;
  int height = client.bottom;
  for (const ControlTemplate& control : record.form.controls) {
    HWND item = GetDlgItem(window, control.id);
    items.push_back(item);
    pixels.push_back(item != nullptr ? ClientRectOf(window, item) : control.rect);
    if (item == nullptr) continue;
    width = std::max(width, pixels.back().x + pixels.back().cx);
    height = std::max(height, pixels.back().y + pixels.back().cy);
  }
  const FittedDialog fitted =
      FitDialog(record.form.controls, pixels, width, height, area.cx - frame_width,
                area.cy - frame_height, GetSystemMetrics(SM_CXVSCROLL));
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Rect& at = fitted.controls[i];
    if (items[i] != nullptr && !(at == pixels[i])) MoveWindow(items[i], at.x, at.y, at.cx, at.cy, FALSE);
  }
  width = fitted.view_width + frame_width;
  height = fitted.view_height + frame_height;
  record.scrolls = fitted.scrolls_down || fitted.scrolls_across;
  if (record.scrolls) {
    record.content = {fitted.content_width, fitted.content_height};
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE,
                      style | (fitted.scrolls_down ? WS_VSCROLL : 0) | (fitted.scrolls_across ? WS_HSCROLL : 0));
  }
  const Rect placed = PlaceInWorkArea(area, outer.left, outer.top, (record.form.style & kStyleCentred) != 0,
                                      width, height);
  const Rect was{static_cast<int>(outer.left), static_cast<int>(outer.top), static_cast<int>(outer.right - outer.left),
                 static_cast<int>(outer.bottom - outer.top)};
  if (placed == was && !record.scrolls) return;  // it fits where it is: nothing to do
  SetWindowPos(window, nullptr, placed.x, placed.y, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | (record.scrolls ? SWP_FRAMECHANGED : 0u));
  if (!record.scrolls) return;
  GetClientRect(window, &client);
  if (fitted.scrolls_down) SetBar(window, SB_VERT, fitted.content_height, client.bottom);
  if (fitted.scrolls_across) SetBar(window, SB_HORZ, fitted.content_width, client.right);
}

void ScrollContentTo(HWND window, DialogRecord& record, int x, int y) {
  if (!record.scrolls) return;
  RECT client{};
  GetClientRect(window, &client);
  x = std::max(0, std::min<int>(x, record.content.cx - client.right));
  y = std::max(0, std::min<int>(y, record.content.cy - client.bottom));
  const int dx = record.scrolled.x - x;
  const int dy = record.scrolled.y - y;
  if (dx == 0 && dy == 0) return;
  record.scrolled = {x, y};
  ScrollWindowEx(window, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  SetScrollPos(window, SB_HORZ, x, TRUE);
  SetScrollPos(window, SB_VERT, y, TRUE);
}

bool ScrollContent(HWND window, DialogRecord& record, UINT message, WPARAM wparam) {
  if (!record.scrolls) return false;
  POINT to = record.scrolled;
  if (message == WM_MOUSEWHEEL) {
    to.y -= GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA * 3 * kLinePixels;
  } else {
    const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    LONG& position = bar == SB_VERT ? to.y : to.x;
    switch (LOWORD(wparam)) {
      case SB_LINEUP: position -= kLinePixels; break;
      case SB_LINEDOWN: position += kLinePixels; break;
      case SB_PAGEUP: position -= static_cast<LONG>(info.nPage); break;
      case SB_PAGEDOWN: position += static_cast<LONG>(info.nPage); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: position = info.nTrackPos; break;
      case SB_TOP: position = 0; break;
      case SB_BOTTOM: position = info.nMax; break;
      default: return true;
    }
  }
  ScrollContentTo(window, record, to.x, to.y);
  return true;
}

void RevealFocus(HWND window, DialogRecord& record) {
  HWND focus = GetFocus();
  if (!record.scrolls || focus == nullptr || !IsChild(window, focus)) return;
  while (GetParent(focus) != window) focus = GetParent(focus);  // the control, not a part of it
  const Rect at = ClientRectOf(window, focus);
  RECT client{};
  GetClientRect(window, &client);
  const POINT from = record.scrolled;
  ScrollContentTo(window, record,
                  PositionShowing(from.x, client.right, record.content.cx, at.x + from.x, at.cx),
                  PositionShowing(from.y, client.bottom, record.content.cy, at.y + from.y, at.cy));
}

}  // namespace zentora::platform::win32
