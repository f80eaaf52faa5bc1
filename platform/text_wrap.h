// A message's text laid out for a box that must fit the screen: every backend breaks it the
// same way and measures it in its own font.
#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace zentora::platform {

using MeasureText = std::function<int(std::u16string_view)>;

// The lines of `text`, none wider than `most_width` as `width_of` measures it: broken at
// spaces, and a word wider than a whole line (a long name, a path) broken inside it, never
// between the two halves of a character. The text's own line breaks (LF or CR LF) stay.
// Nothing is dropped but the spaces a line ends at.
std::vector<std::u16string> WrapText(std::u16string_view text, int most_width, const MeasureText& width_of);

// The lines as one text, each ended by `line_break` but the last.
std::u16string JoinLines(const std::vector<std::u16string>& lines, std::u16string_view line_break);

// How wide a message box's text may be on a screen whose work area is `work_area`: a
// comfortable reading width, or less where the screen is narrower.
inline int MessageTextWidth(const Rect& work_area) {
  constexpr int kReadingWidth = 360;
  constexpr int kFrame = 64;  // the box's margins and borders
  return std::max(1, std::min(kReadingWidth, work_area.cx - kFrame));
}

}  // namespace zentora::platform
