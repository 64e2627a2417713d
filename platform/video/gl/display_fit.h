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

// Where the display lands in an area, in the area's pixels.
struct FrameRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const FrameRect&) const = default;
};

// The display in an area: at the largest whole zoom that fits, centred; in
// an area smaller than the display, scaled down to fit with its proportions
// kept, centred.
inline FrameRect fit_frame(int area_width, int area_height, int width,
                           int height) {
  if (width <= 0 || height <= 0 || area_width <= 0 || area_height <= 0)
    return {0, 0, width, height};
  if (area_width >= width && area_height >= height) {
    const int zoom = whole_zoom(area_width, area_height, width, height);
    return {centred_offset(area_width, width, zoom),
            centred_offset(area_height, height, zoom), width * zoom,
            height * zoom};
  }
  // The side that runs out first fills the area.
  const long long across = static_cast<long long>(area_width) * height;
  const long long down = static_cast<long long>(area_height) * width;
  FrameRect r;
  if (across <= down) {
    r.width = area_width;
    r.height = std::max(1, static_cast<int>(across / width));
  } else {
    r.height = area_height;
    r.width = std::max(1, static_cast<int>(down / height));
  }
  r.x = (area_width - r.width) / 2;
  r.y = (area_height - r.height) / 2;
  return r;
}

// Where a band of band_width x band_height display pixels lands under a
// frame placed at `frame` in an area `area_height` high: at the frame's
// zoom, centred across it, in the margin below the frame when that holds it,
// else over the frame's bottom rows.
inline FrameRect band_place(const FrameRect& frame, int area_height,
                            int display_height, int band_width,
                            int band_height) {
  if (display_height <= 0) return {};
  const auto zoomed = [&](int pixels) {
    return static_cast<int>(static_cast<long long>(pixels) * frame.height /
                            display_height);
  };
  FrameRect r;
  r.width = zoomed(band_width);
  r.height = std::max(1, zoomed(band_height));
  r.x = frame.x + (frame.width - r.width) / 2;
  const int below = frame.y + frame.height;
  r.y = area_height - below >= r.height ? below : below - r.height;
  return r;
}

}  // namespace platform::detail
