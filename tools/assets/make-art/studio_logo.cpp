// The studio's opening logo: a quill whose nib draws an ink stroke, a "QW"
// monogram in front of it, and the studio's name below, on black.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assets/make-art/art.h"
#include "tools/assets/make-art/pixel_font.h"
#include "tools/assets/make-art/shapes.h"

namespace art {

namespace {

constexpr int kWidth = 420, kHeight = 236;
constexpr double kPi = 3.14159265358979323846;

// The quill's spine runs from its tip (top right) to the nib (lower left),
// bowed to one side.
constexpr double kTipX = 404, kTipY = 8, kNibX = 244, kNibY = 146;
constexpr double kBow = 16.0;

double fraction(double t) { return t - std::floor(t); }

void draw_quill(Canvas& c) {
  const double ax = kNibX - kTipX, ay = kNibY - kTipY;
  const double length = std::sqrt(ax * ax + ay * ay);
  const double ux = ax / length, uy = ay / length;  // along the spine
  const double nx = -uy, ny = ux;                   // across it
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double px = x + 0.5 - kTipX, py = y + 0.5 - kTipY;
      const double t = (px * ux + py * uy) / length;
      if (t < 0.0 || t > 1.0) continue;
      const double d = px * nx + py * ny - kBow * std::sin(kPi * t);
      const double ad = std::fabs(d);
      // Nib: a gold point with a dark slit.
      if (t > 0.84) {
        const double half = 5.0 * (1.0 - t) / 0.16;
        if (ad <= half) {
          const bool slit = ad < 0.7 && t > 0.9;
          c.set(x, y,
                slit ? Rgb{60, 30, 0}
                     : mix({255, 214, 90}, {200, 120, 20}, ad / 5.0));
        }
        continue;
      }
      if (ad <= 1.8 - t) {  // the shaft
        c.set(x, y, mix({255, 250, 235}, {200, 190, 170}, t));
        continue;
      }
      if (t < 0.03 || t > 0.74) continue;
      // Vane: wide on the outer side, narrower inside, rounded at the tip.
      const double shape = std::pow(std::sin(kPi * (t - 0.03) / 0.71), 0.7);
      const double half = (d > 0 ? 30.0 : 21.0) * shape;
      if (ad > half) continue;
      // Barbs slant back from the spine; thin gaps part them.
      const double barb = fraction(t * length / 4.0 - ad / 7.0);
      if (barb < 0.14) continue;
      const double cut = fraction(t * 3.2 + (d > 0 ? 0.15 : 0.6));
      if (ad > half * 0.72 && cut < 0.05) continue;  // a split in the vane
      const Rgb hue =
          t < 0.4 ? mix({0, 210, 230}, {120, 70, 240}, t / 0.4)
                  : mix({120, 70, 240}, {235, 40, 170}, (t - 0.4) / 0.34);
      c.set(x, y, scale(hue, 1.0 - 0.45 * ad / half));
    }
  }
}

// The stroke the nib has just drawn, thinning back towards where it began.
void draw_ink(Canvas& c) {
  constexpr int kSteps = 400;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = i / double(kSteps);
    const double x = kNibX - 170.0 * t;
    const double y =
        kNibY + 1.0 - 6.0 * std::sin(kPi * 1.5 * t) * (1.0 - 0.3 * t);
    const double r = 2.8 - 2.2 * t;
    for (int py = static_cast<int>(y - r - 1);
         py <= static_cast<int>(y + r + 1); ++py) {
      for (int px = static_cast<int>(x - r - 1);
           px <= static_cast<int>(x + r + 1); ++px) {
        if (Ellipse{x, y, r, r}(px + 0.5, py + 0.5)) {
          c.set(px, py, mix({40, 150, 255}, {20, 70, 200}, t));
        }
      }
    }
  }
}

// Text with a black ring around it, so it stands apart from what is behind.
void draw_words(Canvas& c, const std::string& text, const Lettering& style,
                double centre_x, double top, Rgb upper, Rgb lower,
                double ring) {
  const double left = centre_x - text_width(text, style) / 2.0;
  auto near_text = [&](double x, double y) {
    for (int a = 0; a < 16; ++a) {
      const double ang = 2 * kPi * a / 16.0;
      if (text_covers(text, style, x + ring * std::cos(ang),
                      y + ring * std::sin(ang))) {
        return true;
      }
    }
    return false;
  };
  const double margin = ring + style.weight + 1.0;
  const double right = left + text_width(text, style) + margin;
  const double bottom = top + 7 * style.block_height + margin;
  for (int y = static_cast<int>(top - margin); y < bottom; ++y) {
    for (int x = static_cast<int>(left - margin); x < right; ++x) {
      if (near_text(x + 0.5 - left, y + 0.5 - top)) c.set(x, y, kBlack);
    }
  }
  set_text(text, style, left, top, [&](int x, int y, double, double v) {
    c.set(x, y, mix(upper, lower, v));
  });
}

}  // namespace

Canvas make_studio_logo() {
  Canvas c(kWidth, kHeight, false);
  draw_quill(c);
  draw_ink(c);
  draw_words(c, "QW", {9.0, 11.0, 8.0, 1.5}, 160.0, 20.0, {255, 236, 120},
             {255, 120, 20}, 3.0);
  draw_words(c, "QUILLWORK", {4.0, 5.0, 5.0}, kWidth / 2.0, 166.0,
             {255, 255, 255}, {120, 220, 255}, 2.0);
  draw_words(c, "STUDIO", {3.0, 3.0, 9.0}, kWidth / 2.0, 209.0, {255, 214, 90},
             {255, 150, 40}, 2.0);
  return c;
}

}  // namespace art
