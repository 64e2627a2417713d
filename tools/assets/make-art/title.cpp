// The game's name for the title screen: heavy block capitals in a warm
// gold-to-red gradient with a pale lit rim at the top left, a plum shaded
// rim at the bottom right and a thin gleam, standing out from the screen on
// a blue extruded side. Everything stays well above black, which the game
// makes transparent, and the colours survive the grey tint it is drawn in.
#include <cmath>

#include "tools/assets/make-art/pixel_font.h"
#include "tools/assets/make-art/sheet_layout.h"

namespace art {

namespace {

constexpr Rgb kLitRim{255, 246, 196};
constexpr Rgb kShadedRim{150, 36, 96};
constexpr Rgb kGleam{255, 250, 220};
constexpr Rgb kTop{255, 220, 70};
constexpr Rgb kMiddle{250, 140, 30};
constexpr Rgb kBottom{210, 40, 44};
constexpr Rgb kSideNear{70, 90, 200};  // the extrusion next to the face
constexpr Rgb kSideFar{40, 44, 120};   // and at its back

// The face's colour at height v (0 top .. 1 bottom).
Rgb face(double v) {
  if (std::fabs(v - 0.52) < 0.015) return kGleam;
  return v < 0.5 ? mix(kTop, kMiddle, v / 0.5)
                 : mix(kMiddle, kBottom, (v - 0.5) / 0.5);
}

}  // namespace

void draw_title(Canvas& sheet) {
  Cell cell = title_cell(sheet);
  const std::string name = "VERMIX";
  const Lettering style{6.8, 12.0, 10.0, 3.0};
  constexpr int kDepth = 4;  // pixels of extrusion, down and to the right
  const double left = (cell.width() - text_width(name, style) - kDepth) / 2.0;
  const double top = 3.0;

  // The side, back to front, so nearer layers cover farther ones.
  for (int d = kDepth; d >= 1; --d) {
    const Rgb side = mix(kSideNear, kSideFar, (d - 1) / (kDepth - 1.0));
    set_text(name, style, left + d, top + d,
             [&](int x, int y, double, double) { cell.set(x, y, side); });
  }

  auto covers = [&](double x, double y) {
    return text_covers(name, style, x - left, y - top);
  };
  set_text(name, style, left, top, [&](int x, int y, double, double v) {
    const double px = x + 0.5, py = y + 0.5;
    if (!covers(px - 2.0, py - 2.0)) {
      cell.set(x, y, kLitRim);
    } else if (!covers(px + 2.0, py + 2.0)) {
      cell.set(x, y, kShadedRim);
    } else {
      cell.set(x, y, face(v));
    }
  });
}

}  // namespace art
