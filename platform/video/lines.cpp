// Lines, rasterised as thin parallelograms so that every line gives the same
// pixels on any GL: one pixel per step along the major axis, exactly. And
// every other row filled at once.
#include <algorithm>
#include <cmath>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/video/draw_state.h"
#include "platform/video/gl/renderer.h"

namespace platform {

void draw_line(float x1, float y1, float x2, float y2, int last) {
  namespace renderer = detail::renderer;
  if (!renderer::active() || detail::resimulating()) return;
  const detail::DrawState& s = detail::draw_state();
  // The end point is placed relative to the start through the matrix, and
  // both go through pixel centres.
  const float dx = x2 - x1;
  const float dy = y2 - y1;
  const float sx = x1 + 0.5f;
  const float sy = y1 + 0.5f;
  const float ex = sx + dx * s.ix + dy * s.iy;
  const float ey = sy + dx * s.jx + dy * s.jy;
  const float ax = ex - sx;
  const float ay = ey - sy;

  // Half a step along the line (half a pixel on the major axis), and half a
  // pixel across it on the minor axis.
  float hx = 0.0f, hy = 0.0f, wx = 0.0f, wy = 0.0f;
  if (ax == 0.0f && ay == 0.0f) {
    if (!last) return;
    hx = 0.5f;  // a single pixel
    wy = 0.5f;
  } else if (std::fabs(ax) >= std::fabs(ay)) {
    hx = 0.5f * ax / std::fabs(ax);
    hy = 0.5f * ay / std::fabs(ax);
    wy = 0.5f;
  } else {
    hx = 0.5f * ax / std::fabs(ay);
    hy = 0.5f * ay / std::fabs(ay);
    wx = 0.5f;
  }
  const float x0 = sx - hx, y0 = sy - hy;
  const float xe = last ? ex + hx : ex - hx;
  const float ye = last ? ey + hy : ey - hy;
  auto vertex = [&](float x, float y) {
    return renderer::Vertex{x, y, 0.5f, 0.5f, s.vr, s.vg, s.vb, s.va};
  };
  const renderer::Quad quad = {
      vertex(x0 - wx, y0 - wy), vertex(xe - wx, ye - wy),
      vertex(xe + wx, ye + wy), vertex(x0 + wx, y0 + wy)};
  renderer::draw_quad(renderer::white(), s.blend, quad);
}

void fill_odd_rows(int r, int g, int b) {
  if (detail::resimulating()) return;
  auto channel = [](int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
  };
  detail::renderer::fill_odd_rows(channel(r), channel(g), channel(b));
}

}  // namespace platform
