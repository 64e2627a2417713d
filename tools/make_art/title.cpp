// The game's name for the title screen: heavy block capitals with a bright
// top-left rim, a shaded bottom-right rim, a vertical sheen and a drop
// shadow. Everything stays well above black, which the game makes
// transparent.
#include <cmath>

#include "tools/make_art/pixel_font.h"
#include "tools/make_art/sheet_layout.h"

namespace art {

void draw_title(Canvas& sheet) {
  Cell cell = title_cell(sheet);
  const std::string name = "VERMIX";
  const Lettering style{6.8, 12.0, 10.0, 3.0};
  constexpr double kShadow = 3.0;
  const double left = (cell.width() - text_width(name, style) - kShadow) / 2.0;
  const double top = 3.5;

  set_text(name, style, left + kShadow, top + kShadow,
           [&](int x, int y, double, double) {
             cell.set(x, y, {72, 72, 72});
           });

  auto covers = [&](double x, double y) {
    return text_covers(name, style, x - left, y - top);
  };
  set_text(name, style, left, top, [&](int x, int y, double, double v) {
    const double px = x + 0.5, py = y + 0.5;
    double level;
    if (!covers(px - 2.0, py - 2.0)) {
      level = 255.0;  // lit rim
    } else if (!covers(px + 2.0, py + 2.0)) {
      level = 130.0;  // shaded rim
    } else {
      // Bright above the middle, darker below, with a thin gleam line.
      level = v < 0.5 ? 235.0 - 40.0 * v : 200.0 - 60.0 * (v - 0.5);
      if (std::fabs(v - 0.52) < 0.015) level = 250.0;
    }
    const std::uint8_t l = to_byte(level);
    cell.set(x, y, {l, l, l});
  });
}

}  // namespace art
