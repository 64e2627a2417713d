#include "render/anaglyph.h"
#include "world/world.h"

// Paints every odd screen row in grey `level`, replacing what lies under it.
int draw_retro_lines(int level) {
  if (retro_lines == 0) return 0;
  platform::set_scale(1, 1);
  platform::fill_odd_rows(level, level, level);
  platform::set_blend(1);
  platform::set_color(255, 255, 255);
  return 0;
}
