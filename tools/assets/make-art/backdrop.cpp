// The backdrop behind the playfield: a dark, misty mushroom meadow in blues
// inside the field, and two side panels that glow blue at mid-height and fade
// to black at the top and bottom. It is shown at reduced strength behind the
// game, so it stays dark enough for the sprites to stand out.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assets/make-art/art.h"
#include "tools/assets/make-art/shapes.h"

namespace art {

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kFieldLeft = 170, kFieldRight = 470;  // both included
constexpr int kFieldTop = 20, kFieldBottom = 460;
constexpr double kPi = 3.14159265358979323846;

void draw_panels(Canvas& c) {
  for (int y = 0; y < kHeight; ++y) {
    const double glow = std::pow(std::sin(kPi * (y + 0.5) / kHeight), 2.0);
    for (int x = 0; x < kWidth; ++x) {
      if (x >= kFieldLeft && x <= kFieldRight) continue;
      // A faint diamond lattice and a brighter seam next to the field.
      const double lattice = 0.86 + 0.07 * std::cos(2 * kPi * (x + y) / 12.0) +
                             0.07 * std::cos(2 * kPi * (x - y) / 12.0);
      const int to_field =
          x < kFieldLeft ? kFieldLeft - 1 - x : x - kFieldRight - 1;
      const double seam = 1.0 + 0.25 * std::exp(-to_field / 6.0);
      const double k = glow * lattice * seam;
      c.set(x, y, {to_byte(30 * k), to_byte(80 * k), to_byte(235 * k)});
    }
  }
}

// 0 at the far (top) end of the field, 1 at the near (bottom) end.
double nearness(double y) {
  return (y - kFieldTop) / double(kFieldBottom - kFieldTop);
}

void draw_ground(Canvas& c) {
  for (int y = kFieldTop; y <= kFieldBottom; ++y) {
    for (int x = kFieldLeft; x <= kFieldRight; ++x) {
      const double soil = fractal_noise(x / 36.0, y / 24.0, 4, 11);
      const double grain = value_noise(x / 1.7, y / 1.7, 23) - 0.5;
      const double light = 0.55 + 0.45 * nearness(y);
      const Rgb base = mix({3, 6, 18}, {12, 24, 54}, soil);
      c.set(x, y, scale(base, light * (1.0 + 0.25 * grain)));
    }
  }
}

void draw_grass(Canvas& c, Rng& rng) {
  for (int i = 0; i < 2600; ++i) {
    const double x = rng.uniform(kFieldLeft, kFieldRight + 1);
    const double y = rng.uniform(kFieldTop + 4, kFieldBottom + 1);
    const double near = nearness(y);
    const double height = rng.uniform(2.0, 5.0) + 6.0 * near;
    const double lean = rng.uniform(-0.35, 0.35);
    const Rgb tint =
        mix({10, 26, 50}, {24, 52, 96}, rng.uniform(0.0, 1.0) * near);
    for (int step = 0; step < static_cast<int>(height); ++step) {
      const int px = static_cast<int>(std::floor(x + lean * step));
      const int py = static_cast<int>(std::floor(y)) - step;
      if (px < kFieldLeft || px > kFieldRight || py < kFieldTop) continue;
      c.blend(px, py, tint, 0.7 * (1.0 - step / height * 0.5));
    }
  }
}

struct Mushroom {
  double x, y, size;  // foot of the stalk and cap half-width
  std::uint32_t seed;
};

// Fraction of the pixel (px, py) covered by `inside`, on a 4 x 4 grid.
template <typename Inside>
double coverage(int px, int py, Inside inside) {
  int hits = 0;
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 4; ++i) {
      if (inside(px + (i + 0.5) / 4.0, py + (j + 0.5) / 4.0)) ++hits;
    }
  }
  return hits / 16.0;
}

void draw_mushroom(Canvas& c, const Mushroom& m) {
  const double s = m.size;
  const double stalk_half = s * 0.22, stalk_top = m.y - s * 1.1;
  const double cap_y = stalk_top + s * 0.15, cap_ry = s * 0.62;
  const Ellipse shadow{m.x + s * 0.2, m.y, s * 0.9, s * 0.18};
  const Ellipse cap{m.x, cap_y, s, cap_ry};
  const Ellipse gills{m.x, cap_y, s * 0.92, s * 0.16};
  auto in_cap = [&](double x, double y) { return y <= cap_y && cap(x, y); };
  auto in_stalk = [&](double x, double y) {
    const double bulge =
        1.0 + 0.25 * std::max(0.0, (y - stalk_top) / (m.y - stalk_top));
    return y >= cap_y && y <= m.y && std::fabs(x - m.x) <= stalk_half * bulge;
  };
  // Pale spots on the cap, placed by the mushroom's own seed.
  Rng rng(m.seed);
  std::vector<Ellipse> spots;
  const int spot_count = 2 + static_cast<int>(rng.uniform(0, 4));
  for (int i = 0; i < spot_count; ++i) {
    const double a = rng.uniform(kPi * 1.1, kPi * 1.9);
    const double r = rng.uniform(0.25, 0.7);
    const double sr = s * rng.uniform(0.1, 0.18);
    spots.push_back({m.x + std::cos(a) * r * s,
                     cap_y + std::sin(a) * r * cap_ry, sr, sr * 0.8});
  }
  const double glow = 0.6 + 0.4 * nearness(m.y);
  const int x0 = static_cast<int>(m.x - s * 1.2),
            x1 = static_cast<int>(m.x + s * 1.2);
  const int y0 = static_cast<int>(cap_y - cap_ry - 1),
            y1 = static_cast<int>(m.y + s * 0.2 + 1);
  for (int py = std::max(y0, kFieldTop); py <= std::min(y1, kFieldBottom);
       ++py) {
    for (int px = std::max(x0, kFieldLeft); px <= std::min(x1, kFieldRight);
         ++px) {
      const double cx = px + 0.5, cy = py + 0.5;
      c.blend(px, py, {0, 0, 6}, 0.5 * coverage(px, py, shadow));
      // Stalk, lit from the left.
      const double lit_stalk = 0.75 + 0.35 * (m.x - cx) / (stalk_half * 1.3);
      c.blend(px, py, scale({26, 40, 78}, glow * lit_stalk),
              coverage(px, py, in_stalk));
      c.blend(px, py, {6, 10, 26}, coverage(px, py, [&](double x, double y) {
                return y >= cap_y && gills(x, y);
              }));
      // Cap, brightest towards its top left, with a rim highlight.
      const double u = (cx - m.x) / s, v = (cy - cap_y) / cap_ry;
      const double light = std::clamp(0.7 - 0.35 * u - 0.45 * v, 0.25, 1.1);
      Rgb colour = scale({34, 62, 124}, light * glow);
      for (const Ellipse& spot : spots) {
        if (spot(cx, cy)) colour = scale({62, 92, 150}, light * glow);
      }
      c.blend(px, py, colour, coverage(px, py, in_cap));
    }
  }
}

std::vector<Mushroom> plant_mushrooms(Rng& rng) {
  std::vector<Mushroom> field;
  for (int i = 0; i < 60; ++i) {
    const double y = rng.uniform(kFieldTop + 18, kFieldBottom + 6);
    const double near = nearness(y);
    const double size = (3.0 + 15.0 * near * near) * rng.uniform(0.6, 1.4);
    const double x =
        rng.uniform(kFieldLeft - size * 0.5, kFieldRight + size * 0.5);
    field.push_back({x, y, size, static_cast<std::uint32_t>(rng.next())});
  }
  // Far mushrooms first, so the near ones stand in front of them.
  std::sort(field.begin(), field.end(),
            [](const Mushroom& a, const Mushroom& b) { return a.y < b.y; });
  return field;
}

// Drifting mist, thickest in the distance, and darker field edges.
void draw_fog(Canvas& c) {
  for (int y = kFieldTop; y <= kFieldBottom; ++y) {
    const double far = 1.0 - nearness(y);
    for (int x = kFieldLeft; x <= kFieldRight; ++x) {
      const double wisps = fractal_noise(x / 70.0, y / 18.0, 4, 41);
      const double mist =
          std::clamp(0.06 + 0.5 * far * far + 0.35 * (wisps - 0.45), 0.0, 0.6);
      c.blend(x, y, {38, 54, 92}, mist);
      const double edge = std::min(x - kFieldLeft, kFieldRight - x) / 40.0;
      if (edge < 1.0) c.blend(x, y, kBlack, 0.45 * (1.0 - edge));
    }
  }
}

}  // namespace

Canvas make_backdrop() {
  Canvas c(kWidth, kHeight, false);
  draw_panels(c);
  draw_ground(c);
  Rng rng(0x5EED0B6u);
  draw_grass(c, rng);
  for (const Mushroom& m : plant_mushrooms(rng)) draw_mushroom(c, m);
  draw_fog(c);
  return c;
}

}  // namespace art
