// The one drawing state of the display, shared by the image, line and text
// modules.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform::detail {

struct DrawState {
  int r = 255, g = 255, b = 255;
  float alpha = 1.0f;
  int blend = 1;
  float rotation = 0.0f;
  float scale_x = 1.0f, scale_y = 1.0f;
  // The matrix from rotation and scale: a point (px, py) lands at
  // (x + px * ix + py * iy, y + px * jx + py * jy).
  float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
  // Colour and alpha as the hardware takes them.
  std::uint8_t vr = 255, vg = 255, vb = 255, va = 255;

  int mask_r = 0, mask_g = 0, mask_b = 0;
  int auto_flags = 0;
  bool auto_mid_handle = false;
  FontRef font;  // null: the built-in font
};

DrawState& draw_state();
// Back to the values a freshly opened display starts with. The image
// settings (mask colour, automatic flags, handles) and the font stay.
void reset_draw_state();
// True when the matrix neither turns nor scales.
bool identity_matrix();

}  // namespace platform::detail
