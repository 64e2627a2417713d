#include "render/qwdraw.h"

#include "world/world.h"

std::unique_ptr<qwdraw_tag> qwdraw;

int qwdraw_tag::slc(int lr, int lg, int lb, int rr, int rg, int rb) {
  leye_r = lr;
  leye_g = lg;
  leye_b = lb;
  reye_r = rr;
  reye_g = rg;
  reye_b = rb;
  return 0;
}

int qwdraw_tag::sip(int blend, float alpha, float rot, float xs, float ys) {
  platform::set_blend(blend);
  platform::set_alpha(alpha);
  platform::set_transform(rot, xs, ys);
  txt_xs = xs;
  txt_ys = ys;
  return 0;
}

namespace {

// Light adds and saturates, so the passes may come in any order: each pair
// of passes goes out as one drawing in the doubling light mode, which gives
// the same pixels at half the fill. Plain light is left in force, as the
// passes one by one would leave it.
template <typename Pass>
void light_passes(int passes, Pass pass) {
  for (int done = 0; done < passes; done += 2) {
    platform::set_blend(passes - done >= 2 ? 6 : 4);
    pass();
  }
  if (passes > 0) platform::set_blend(4);
}

}  // namespace

// In stereo each pass adds a left-eye copy shifted left and a right-eye copy
// shifted right; a non-zero rot turns the two copies opposite ways about the
// rotation in force, which is put back afterwards.
int qwdraw_tag::i3d(const platform::ImageRef& image, float x, float y,
                    int frame, float depth, float rot, int passes) {
  const int base = platform::float_to_int(platform::get_rotation());
  if (stereo_mode != 0) {
    light_passes(passes, [&] {
      platform::set_color(leye_r, leye_g, leye_b);
      if (rot != 0.0f) platform::set_rotation(static_cast<float>(base) + rot);
      platform::draw_image(image, x - depth, y, frame);
      platform::set_color(reye_r, reye_g, reye_b);
      if (rot != 0.0f) platform::set_rotation(static_cast<float>(base) - rot);
      platform::draw_image(image, x + depth, y, frame);
    });
  } else {
    platform::draw_image(image, x, y, frame);
  }
  if (rot != 0.0f) platform::set_rotation(static_cast<float>(base));
  return 0;
}

// Centring uses the unscaled size times the scale last given to sip.
int qwdraw_tag::t3d(const std::string& text, float x, float y, float depth,
                    int centre, int passes) {
  if (centre != 0) {
    x -= static_cast<float>(platform::text_width(text)) * txt_xs / 2.0f;
    y -= static_cast<float>(platform::text_height()) * txt_ys / 2.0f;
  }
  if (stereo_mode != 0) {
    light_passes(passes, [&] {
      platform::set_color(leye_r, leye_g, leye_b);
      platform::draw_text(text, x - depth, y);
      platform::set_color(reye_r, reye_g, reye_b);
      platform::draw_text(text, x + depth, y);
    });
  } else {
    platform::draw_text(text, x, y);
  }
  return 0;
}
