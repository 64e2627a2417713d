// The menu pointer: a white arrow with its tip on the top-left pixel and a
// thin dark rim, on a transparent ground.
#include <iterator>

#include "tools/assets/make-art/art.h"

namespace art {

namespace {

constexpr int kSize = 18;

struct Vertex {
  double x, y;
};

constexpr Vertex kArrow[] = {{0.0, 0.0},  {0.0, 16.0},  {4.2, 12.3},
                             {7.0, 18.0}, {10.6, 16.4}, {7.6, 11.2},
                             {12.4, 11.2}};

// Even-odd crossing test against the arrow's outline.
bool in_arrow(double x, double y) {
  bool inside = false;
  const std::size_t n = std::size(kArrow);
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const Vertex a = kArrow[i], b = kArrow[j];
    if ((a.y > y) != (b.y > y) &&
        x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) {
      inside = !inside;
    }
  }
  return inside;
}

// The tip pixel belongs to the arrow even though its centre lies on the edge.
bool in_shape(int x, int y) {
  if (x < 0 || y < 0 || x >= kSize || y >= kSize) return false;
  return (x == 0 && y == 0) || in_arrow(x + 0.5, y + 0.5);
}

}  // namespace

Canvas make_pointer() {
  Canvas pointer(kSize, kSize, true);
  constexpr Rgb kRim{18, 22, 40};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (!in_shape(x, y)) continue;
      const bool rim = !in_shape(x - 1, y) || !in_shape(x + 1, y) ||
                       !in_shape(x, y - 1) || !in_shape(x, y + 1);
      const bool tip = x == 0 && y == 0;
      pointer.set(x, y, rim && !tip ? kRim : kWhite);
    }
  }
  return pointer;
}

}  // namespace art
