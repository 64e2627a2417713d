// Pixel-exact overlap of two image frames placed as draw_image places them.
// A screen pixel belongs to a frame's texel when its centre falls on it, the
// same rule the rasteriser follows.
#include <algorithm>
#include <cmath>

#include "platform/video/draw_state.h"
#include "platform/video/images.h"

namespace platform {

namespace {

struct Placed {
  const Image& image;
  const ImageFrame& frame;
  float x, y;  // the draw position

  bool solid(int tx, int ty) const {
    return tx >= 0 && ty >= 0 && tx < image.width && ty < image.height &&
           frame.solid[static_cast<std::size_t>(ty) * image.width + tx];
  }
};

// The unturned, unscaled case: both frames sit on whole-pixel offsets, so
// the test is an overlap of two small masks.
int collide_unscaled(const Placed& a, const Placed& b) {
  const int ax = static_cast<int>(std::ceil(a.x - a.image.handle_x - 0.5f));
  const int ay = static_cast<int>(std::ceil(a.y - a.image.handle_y - 0.5f));
  const int bx = static_cast<int>(std::ceil(b.x - b.image.handle_x - 0.5f));
  const int by = static_cast<int>(std::ceil(b.y - b.image.handle_y - 0.5f));
  const int left = std::max(ax, bx);
  const int right = std::min(ax + a.image.width, bx + b.image.width);
  const int top = std::max(ay, by);
  const int bottom = std::min(ay + a.image.height, by + b.image.height);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (a.solid(x - ax, y - ay) && b.solid(x - bx, y - by)) return 1;
    }
  }
  return 0;
}

struct Box {
  float left, top, right, bottom;
};

Box placed_box(const Placed& p, const detail::DrawState& s) {
  Box box{INFINITY, INFINITY, -INFINITY, -INFINITY};
  const float hx = p.image.handle_x;
  const float hy = p.image.handle_y;
  for (float px : {-hx, p.image.width - hx}) {
    for (float py : {-hy, p.image.height - hy}) {
      const float sx = p.x + px * s.ix + py * s.iy;
      const float sy = p.y + px * s.jx + py * s.jy;
      box.left = std::min(box.left, sx);
      box.right = std::max(box.right, sx);
      box.top = std::min(box.top, sy);
      box.bottom = std::max(box.bottom, sy);
    }
  }
  return box;
}

// Any matrix: every pixel centre in the overlap of the two boxes is mapped
// back into both frames.
int collide_transformed(const Placed& a, const Placed& b, const Box& area,
                        const detail::DrawState& s) {
  const float det = s.ix * s.jy - s.iy * s.jx;
  if (det == 0.0f) return 0;  // flattened quads cover no pixel
  auto texel = [&](const Placed& p, float sx, float sy) {
    const float dx = sx - p.x;
    const float dy = sy - p.y;
    const float u = (s.jy * dx - s.iy * dy) / det + p.image.handle_x;
    const float v = (-s.jx * dx + s.ix * dy) / det + p.image.handle_y;
    return p.solid(static_cast<int>(std::floor(u)),
                   static_cast<int>(std::floor(v)));
  };
  const int x0 = static_cast<int>(std::floor(area.left));
  const int x1 = static_cast<int>(std::ceil(area.right));
  const int y0 = static_cast<int>(std::floor(area.top));
  const int y1 = static_cast<int>(std::ceil(area.bottom));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const float cx = x + 0.5f;
      const float cy = y + 0.5f;
      if (texel(a, cx, cy) && texel(b, cx, cy)) return 1;
    }
  }
  return 0;
}

bool valid(const ImageRef& image, int frame) {
  return image && frame >= 0 && frame < static_cast<int>(image->frames.size());
}

}  // namespace

int images_collide(const ImageRef& image1, float x1, float y1, int frame1,
                   const ImageRef& image2, float x2, float y2, int frame2) {
  if (!valid(image1, frame1) || !valid(image2, frame2)) return 0;
  const Placed a{*image1, image1->frames[frame1], x1, y1};
  const Placed b{*image2, image2->frames[frame2], x2, y2};
  if (detail::identity_matrix()) return collide_unscaled(a, b);

  const detail::DrawState& s = detail::draw_state();
  const Box ba = placed_box(a, s);
  const Box bb = placed_box(b, s);
  const Box area{std::max(ba.left, bb.left), std::max(ba.top, bb.top),
                 std::min(ba.right, bb.right), std::min(ba.bottom, bb.bottom)};
  if (area.left >= area.right || area.top >= area.bottom) return 0;
  return collide_transformed(a, b, area, s);
}

}  // namespace platform
