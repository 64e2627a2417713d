#include "platform/video/draw_state.h"

#include <algorithm>

namespace platform {

namespace detail {

// Never destroyed, so that the selected font outlives every other static.
DrawState& draw_state() {
  static DrawState* s = new DrawState;
  return *s;
}

namespace {

std::uint8_t channel(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

void update_matrix() {
  DrawState& s = draw_state();
  // Our own sine, so that sprites turn by the same pixels everywhere.
  const auto c = static_cast<float>(cos_deg(s.rotation));
  const auto n = static_cast<float>(sin_deg(s.rotation));
  s.ix = c * s.scale_x;
  s.iy = -n * s.scale_y;
  s.jx = n * s.scale_x;
  s.jy = c * s.scale_y;
}

}  // namespace

void reset_draw_state() {
  DrawState& s = draw_state();
  set_color(255, 255, 255);
  set_alpha(1.0f);
  s.blend = 1;
  set_transform(0.0f, 1.0f, 1.0f);
}

bool identity_matrix() {
  const DrawState& s = draw_state();
  return s.ix == 1.0f && s.iy == 0.0f && s.jx == 0.0f && s.jy == 1.0f;
}

}  // namespace detail

using detail::draw_state;

void set_color(int r, int g, int b) {
  auto& s = draw_state();
  s.r = r;
  s.g = g;
  s.b = b;
  s.vr = detail::channel(r);
  s.vg = detail::channel(g);
  s.vb = detail::channel(b);
}

void set_alpha(float alpha) {
  auto& s = draw_state();
  s.alpha = alpha;
  // NaN counts as 0 so that it cannot reach the cast.
  const float a = alpha >= 0.0f ? std::min(alpha, 1.0f) : 0.0f;
  s.va = static_cast<std::uint8_t>(a * 255.0f);
}

void set_blend(int mode) {
  draw_state().blend = mode >= 1 && mode <= 6 ? mode : 2;
}

void set_rotation(float degrees) {
  draw_state().rotation = degrees;
  detail::update_matrix();
}

float get_rotation() { return draw_state().rotation; }

void set_scale(float sx, float sy) {
  draw_state().scale_x = sx;
  draw_state().scale_y = sy;
  detail::update_matrix();
}

void set_transform(float degrees, float sx, float sy) {
  auto& s = draw_state();
  s.rotation = degrees;
  s.scale_x = sx;
  s.scale_y = sy;
  detail::update_matrix();
}

void set_mask_color(int r, int g, int b) {
  auto& s = draw_state();
  s.mask_r = detail::channel(r);
  s.mask_g = detail::channel(g);
  s.mask_b = detail::channel(b);
}

void auto_image_flags(int flags) {
  if (flags != -1) draw_state().auto_flags = flags;
}

void auto_mid_handle(int on) { draw_state().auto_mid_handle = on != 0; }

}  // namespace platform
