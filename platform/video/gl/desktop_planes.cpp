// Mesa's llvmpipe, as the desktop build runs it on a processor with fused
// multiply-add: the vertex program gives x * 2 / width - 1 and
// 1 - y * 2 / height; the viewport takes them to fma(ndc, size / 2,
// size / 2); the triangle set-up works in plain float
// operations (this file is built without contraction, as the whole game is),
// after turning a clockwise triangle round by swapping its first two corners.
#include "platform/video/gl/desktop_planes.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace platform::detail::renderer {

namespace {

struct Corner {
  float x, y, u, v;
};

Corner window_corner(const Vertex& vertex, float width, float height) {
  const float ndc_x = vertex.x * 2.0f / width - 1.0f;
  const float ndc_y = 1.0f - vertex.y * 2.0f / height;
  return {std::fma(ndc_x, width * 0.5f, width * 0.5f),
          std::fma(ndc_y, height * 0.5f, height * 0.5f), vertex.u, vertex.v};
}

// The sign of the triangle's area from its corners snapped to 1/256 pixel,
// as the rasteriser decides which way round it is.
bool clockwise(const Corner& c0, const Corner& c1, const Corner& c2) {
  auto snap = [](float at) {
    return static_cast<std::int64_t>(std::nearbyint((at - 0.5f) * 256.0f));
  };
  const std::int64_t dx01 = snap(c0.x) - snap(c1.x);
  const std::int64_t dy01 = snap(c0.y) - snap(c1.y);
  const std::int64_t dx20 = snap(c2.x) - snap(c0.x);
  const std::int64_t dy20 = snap(c2.y) - snap(c0.y);
  return dx01 * dy20 - dx20 * dy01 < 0;
}

void set_up(Corner c0, Corner c1, Corner c2, TrianglePlanes& planes) {
  if (clockwise(c0, c1, c2)) std::swap(c0, c1);
  const float x0_centre = c0.x - 0.5f;
  const float y0_centre = c0.y - 0.5f;
  float dx01 = c0.x - c1.x;
  float dy01 = c0.y - c1.y;
  float dx20 = c2.x - c0.x;
  float dy20 = c2.y - c0.y;
  const float ooa = 1.0f / (dx01 * dy20 - dy01 * dx20);
  dx20 *= ooa;
  dy20 *= ooa;
  dx01 *= ooa;
  dy01 *= ooa;
  auto plane = [&](float a0, float a1, float a2, float out[3]) {
    const float da01 = a0 - a1;
    const float da20 = a2 - a0;
    const float dadx = da01 * dy20 - da20 * dy01;
    const float dady = da20 * dx01 - da01 * dx20;
    out[0] = dadx;
    out[1] = dady;
    out[2] = a0 - (dadx * x0_centre + dady * y0_centre);
  };
  plane(c0.u, c1.u, c2.u, planes.u);
  plane(c0.v, c1.v, c2.v, planes.v);
}

}  // namespace

void desktop_planes(const Vertex* quad, int width, int height,
                    TrianglePlanes& first, TrianglePlanes& second) {
  const auto w = static_cast<float>(width);
  const auto h = static_cast<float>(height);
  const Corner c[4] = {
      window_corner(quad[0], w, h), window_corner(quad[1], w, h),
      window_corner(quad[2], w, h), window_corner(quad[3], w, h)};
  set_up(c[0], c[1], c[2], first);
  set_up(c[0], c[2], c[3], second);
}

}  // namespace platform::detail::renderer
