// How the fixed-size display fits a window or screen: scaled by a whole
// factor, centred.
#pragma once

#include <algorithm>

namespace platform::detail {

// The largest whole factor at which a width x height display fits into the
// available area; at least 1.
inline int whole_zoom(int available_width, int available_height, int width,
                      int height) {
  if (width <= 0 || height <= 0) return 1;
  return std::max(1,
                  std::min(available_width / width, available_height / height));
}

// The zoom of a window: the requested factor if there is one, else the
// largest that fits the usable desktop.
inline int window_zoom(int requested, int usable_width, int usable_height,
                       int width, int height) {
  if (requested > 0) return requested;
  return whole_zoom(usable_width, usable_height, width, height);
}

// Left or top offset that centres `size * zoom` pixels in `available`.
inline int centred_offset(int available, int size, int zoom) {
  return (available - size * zoom) / 2;
}

}  // namespace platform::detail
