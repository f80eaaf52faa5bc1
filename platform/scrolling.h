// The arithmetic of a scrolling surface that every runner shares.
#pragma once
#include <algorithm>

namespace zentora::platform {

// The first row a view `shown` rows tall should show, of a drawing `extent` rows tall, so
// that rows `top` to `top + height` come into view with the least movement from `first`.
inline int FirstRowShowing(int first, int shown, int extent, int top, int height) {
  if (top < first) {
    first = top;
  } else if (top + height > first + shown) {
    first = top + height - shown;
  }
  return std::max(0, std::min(first, extent - shown));
}

}  // namespace zentora::platform
