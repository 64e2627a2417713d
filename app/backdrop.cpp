// The picture behind the field (or the frozen game while paused) and the
// border of 150 tiles around the playfield: the static layer, drawn anew
// only when something it shows has changed.
#include "app/shell.h"
#include "render/anaglyph.h"
#include "render/qwdraw.h"
#include "world/field.h"
#include "world/world.h"

namespace {

void draw_tile(float x, float y, int frame) {
  qwdraw->i3d(sprites10, x, y, frame, static_cast<float>(hologram_intensity), 0,
              2);
}

void draw_border() {
  platform::set_color(255, 255, 255);
  qwdraw->sip(1, 1.0f, 0, 1.0f, 1.0f);
  for (int y = 30; y <= 450; y += 10) {
    draw_tile(left_border, static_cast<float>(y), 0);
    draw_tile(right_border, static_cast<float>(y), 4);
  }
  for (int x = field_left; x <= field_right; x += 10) {
    draw_tile(static_cast<float>(x), 20, 2);
    draw_tile(static_cast<float>(x), 460, 6);
  }
  draw_tile(left_border, 20, 1);
  draw_tile(right_border, 20, 3);
  draw_tile(left_border, 460, 5);
  draw_tile(right_border, 460, 7);
}

}  // namespace

int draw_backdrop() {
  platform::begin_static_layer();
  platform::cls();
  if (game_state == state_paused) {
    platform::set_color(50, 50, 100);
    platform::set_blend(1);
    platform::draw_image(pause_snapshot, 0, 0, 0);
  } else {
    platform::set_color(255, 255, 255);
    if (stereo_mode == 0) {
      qwdraw->sip(3, 0.6f, 0, 1.0f, 1.0f);
      platform::draw_image(background_image, 0, 0, 0);
    } else {
      // Behind everything else: four pixels less separation than the field.
      qwdraw->sip(4, 1.0f, 0, 1.0f, 1.0f);
      qwdraw->i3d(background_image, 0, 0, 0, hologram_depth(-4), 0, 2);
    }
  }
  draw_border();
  platform::end_static_layer();
  return 0;
}
