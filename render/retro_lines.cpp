#include "app/globals.h"
#include "render/anaglyph.h"

// Paints every odd screen row in grey `level`, replacing what lies under it.
int draw_retro_lines(int level) {
  if (retro_lines == 0) return 0;
  platform::set_color(level, level, level);
  platform::set_scale(1, 1);
  platform::set_blend(2);
  const int h = platform::graphics_height();
  const auto w = static_cast<float>(platform::graphics_width());
  for (int y = 1; y <= h; y += 2) {
    const auto row = static_cast<float>(y);
    platform::draw_line(0, row, w, row, 1);
  }
  platform::set_blend(1);
  platform::set_color(255, 255, 255);
  return 0;
}
