// How every runner makes a dialog fit a small screen: a dialog taller than the room the work
// area leaves first gives up height from its tallest scrolling text (which scrolls its own
// lines anyway), the controls below it moving up; what still does not fit is shown through
// the window's own scroll bars, so that every button stays within reach.
#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/scrolling.h"
#include "platform/ui.h"

namespace zentora::platform {

// A scrolling text keeps at least this many pixels (a few lines) when it gives up height.
inline constexpr int kFewestStretchPixels = 64;

struct FittedDialog {
  std::vector<Rect> controls;  // where each control goes in the dialog's content, in pixels
  int content_width = 0;       // the size of the content the controls lie in
  int content_height = 0;
  int view_width = 0;          // the client area shown, scroll bars included
  int view_height = 0;
  bool scrolls_down = false;
  bool scrolls_across = false;
  bool operator==(const FittedDialog&) const = default;
};

// Whether a control may be made shorter: a multi-line edit with its own vertical scroll bar.
inline bool Stretches(const ControlTemplate& control) {
  return control.kind == ControlKind::Edit && (control.flags & kMultiLine) && (control.flags & kVerticalScrollBar);
}

// `pixels[i]` is where control `i` lies in a client area `width` by `height`; `room_width` by
// `room_height` is the client area the work area can show, `bar` a scroll bar's thickness.
inline FittedDialog FitDialog(const std::vector<ControlTemplate>& controls, std::vector<Rect> pixels, int width,
                              int height, int room_width, int room_height, int bar) {
  FittedDialog fitted;
  const int overflow = height - room_height;
  std::size_t tallest = pixels.size();
  for (std::size_t i = 0; i < pixels.size() && i < controls.size(); ++i) {
    if (Stretches(controls[i]) && (tallest == pixels.size() || pixels[i].cy > pixels[tallest].cy)) tallest = i;
  }
  if (overflow > 0 && tallest < pixels.size()) {
    Rect& text = pixels[tallest];
    const int give = std::min(overflow, text.cy - kFewestStretchPixels);
    if (give > 0) {
      const int bottom = text.y + text.cy;
      text.cy -= give;
      for (Rect& other : pixels) {
        if (&other != &text && other.y >= bottom) other.y -= give;
      }
      height -= give;
    }
  }
  fitted.controls = std::move(pixels);
  fitted.content_width = width;
  fitted.content_height = height;
  fitted.scrolls_down = height > room_height;
  fitted.scrolls_across = width + (fitted.scrolls_down ? bar : 0) > room_width;
  if (fitted.scrolls_across && !fitted.scrolls_down) fitted.scrolls_down = height + bar > room_height;
  fitted.view_width = std::min(width + (fitted.scrolls_down ? bar : 0), std::max(room_width, 1));
  fitted.view_height = std::min(height + (fitted.scrolls_across ? bar : 0), std::max(room_height, 1));
  return fitted;
}

// Where a window `width` by `height` (its frame included) goes when asked at `x`, `y`, or
// centred: on the work area, moved in as far as it must to lie within it.
inline Rect PlaceInWorkArea(const Rect& area, int x, int y, bool centred, int width, int height) {
  if (centred) {
    x = area.x + (area.cx - width) / 2;
    y = area.y + (area.cy - height) / 2;
  }
  x = std::max(area.x, std::min(x, area.x + area.cx - width));
  y = std::max(area.y, std::min(y, area.y + area.cy - height));
  return {x, y, width, height};
}

// The scroll position that shows `target` (a control's place in the content), moving the least
// from `first`, in a view `shown` wide or tall of a content `extent` long.
inline int PositionShowing(int first, int shown, int extent, int target, int length) {
  return FirstRowShowing(first, shown, extent, target, std::min(length, shown));
}

}  // namespace zentora::platform
