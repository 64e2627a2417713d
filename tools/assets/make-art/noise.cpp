#include <cmath>

#include "tools/assets/make-art/shapes.h"

namespace art {

namespace {

double lattice(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^
                    seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return (h & 0xFFFFFFu) / static_cast<double>(0xFFFFFFu);
}

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

}  // namespace

double value_noise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const double tx = smooth(x - fx), ty = smooth(y - fy);
  const double top = lattice(ix, iy, seed) +
                     (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * tx;
  const double bottom =
      lattice(ix, iy + 1, seed) +
      (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * tx;
  return top + (bottom - top) * ty;
}

double fractal_noise(double x, double y, int octaves, std::uint32_t seed) {
  double sum = 0.0, weight = 1.0, total = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += value_noise(x, y, seed + i) * weight;
    total += weight;
    weight *= 0.5;
    x *= 2.0;
    y *= 2.0;
  }
  return sum / total;
}

}  // namespace art
