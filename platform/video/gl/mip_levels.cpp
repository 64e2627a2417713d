// The desktop GL's mipmap levels, made on the CPU.
#include "platform/video/gl/mip_levels.h"

#include <algorithm>

namespace platform::detail::renderer {

namespace {

// a + (b - a) * w / 256 in 8-bit steps, rounded half up, as the desktop GL
// blends two texels with an 8-bit weight.
int blend(int a, int b, int w) { return a + (((b - a) * w + 128) >> 8); }

}  // namespace

std::vector<std::uint8_t> next_mip_level(const std::vector<std::uint8_t>& rgba,
                                         int width, int height) {
  const int w = std::max(1, width / 2);
  const int h = std::max(1, height / 2);
  // A side of one texel is not filtered along: its weight is 0.
  const int wx = width > 1 ? 128 : 0;
  const int wy = height > 1 ? 128 : 0;
  auto at = [&](int x, int y, int c) {
    x = std::min(x, width - 1);
    y = std::min(y, height - 1);
    return static_cast<int>(
        rgba[(static_cast<std::size_t>(y) * width + x) * 4 + c]);
  };
  std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const int y0 = height > 1 ? 2 * y : 0;
    for (int x = 0; x < w; ++x) {
      const int x0 = width > 1 ? 2 * x : 0;
      for (int c = 0; c < 4; ++c) {
        const int top = blend(at(x0, y0, c), at(x0 + 1, y0, c), wx);
        const int bottom = blend(at(x0, y0 + 1, c), at(x0 + 1, y0 + 1, c), wx);
        out[(static_cast<std::size_t>(y) * w + x) * 4 + c] =
            static_cast<std::uint8_t>(blend(top, bottom, wy));
      }
    }
  }
  return out;
}

}  // namespace platform::detail::renderer
