// Shared by the display tests: the offscreen display and a way to read back
// what has been drawn.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace gfx_test {

// Opens a 640 x 480 window once per process and clears it; the drawing state
// is back at its start values afterwards.
void fresh_display();

// The back buffer as it is now.
class Screen {
 public:
  Screen();
  std::array<int, 3> at(int x, int y) const;
  // Number of pixels in the rectangle that are not black.
  int lit(int x0, int y0, int x1, int y1) const;

 private:
  std::vector<std::uint8_t> rgba_;
};

// A one-frame image filled with one colour and alpha, top-left handle.
platform::ImageRef solid_image(int w, int h, std::uint8_t r, std::uint8_t g,
                               std::uint8_t b, std::uint8_t a = 255);

// An image whose frame is drawn from rows of '#' (opaque white) and '.'
// (transparent).
platform::ImageRef shape_image(const std::vector<const char*>& rows);

// The bytes of a PNG without an alpha channel: w x h pixels, RGB rows top to
// bottom.
std::vector<std::uint8_t> rgb_png(int w, int h,
                                  const std::vector<std::uint8_t>& rgb);

}  // namespace gfx_test
