// Point-in-shape tests used with Cell::fill, and a small deterministic
// random source and value noise for textures.
#pragma once

#include <cmath>
#include <cstdint>

namespace art {

// Ellipse with centre (cx, cy) and half-axes rx, ry.
struct Ellipse {
  double cx, cy, rx, ry;
  bool operator()(double x, double y) const {
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  }
};

// Ellipse turned by `degrees` (clockwise on screen) about its centre.
struct TiltedEllipse {
  double cx, cy, rx, ry, degrees;
  bool operator()(double x, double y) const {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double u = (x - cx) * c + (y - cy) * s;
    const double v = -(x - cx) * s + (y - cy) * c;
    return Ellipse{0, 0, rx, ry}(u, v);
  }
};

// Distance from (x, y) to the segment (x1, y1)-(x2, y2).
inline double segment_distance(double x, double y, double x1, double y1,
                               double x2, double y2) {
  const double vx = x2 - x1, vy = y2 - y1;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((x - x1) * vx + (y - y1) * vy) / len2 : 0.0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  const double dx = x - (x1 + t * vx), dy = y - (y1 + t * vy);
  return std::sqrt(dx * dx + dy * dy);
}

// A stroke of the given half-width along a segment, round at both ends.
struct Stroke {
  double x1, y1, x2, y2, half_width;
  bool operator()(double x, double y) const {
    return segment_distance(x, y, x1, y1, x2, y2) <= half_width;
  }
};

// splitmix64: the same sequence on every machine.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi).
  double uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_;
};

// Smooth value noise in 0..1 on a lattice of unit spacing.
double value_noise(double x, double y, std::uint32_t seed);
// Several octaves of value noise, halving the weight and doubling the
// frequency each time; result in 0..1.
double fractal_noise(double x, double y, int octaves, std::uint32_t seed);

}  // namespace art
