// The maker's logo, shown once before the title: flat it stands, then fades;
// in stereo it grows out of the screen while its eye images part.
#include "app/shell.h"
#include "app/suspension.h"
#include "render/anaglyph.h"
#include "render/qwdraw.h"
#include "world/world.h"

namespace {

// Escape, Space, a left click or joystick 0's button 0 ends the logo; the
// first press found ends the tests.
bool intro_skipped() {
  return platform::key_hit(27) != 0 || platform::key_hit(32) != 0 ||
         platform::mouse_hit(1) != 0 || platform::joy_hit(0, 0) != 0;
}

}  // namespace

int play_intro(int y_offset) {
  float alpha = 1.0f;
  float scale = 0.1f;
  float depth = -4.0f;
  const platform::ImageRef logo =
      platform::load_image("incbin::graphx\\qwlogo.png", -1);
  platform::mid_handle_image(logo);
  const auto x = static_cast<float>(platform::graphics_width() / 2);
  const auto y = static_cast<float>(platform::graphics_height() / 2 + y_offset);
  for (;;) {
    platform::cls();
    platform::set_color(255, 255, 255);
    if (stereo_mode == 0) {
      qwdraw->sip(3, alpha, 0, 1.0f, 1.0f);
      qwdraw->i3d(logo, x, y, 0, 0.0f, 0, 1);
      // The scale only times the fade here.
      if (scale <= 1.0f) {
        scale += 0.004f;
      } else {
        alpha -= 0.01f;
      }
    } else {
      qwdraw->sip(4, alpha, 0, scale, scale);
      qwdraw->i3d(logo, x, y, 0, depth, 0, 2);
      scale += 0.004f;
      depth += 0.05f;
      if (scale > 1.1f) alpha -= 0.01f;
    }
    draw_retro_lines(2);
    if (alpha < 0) alpha = 0.0f;
    platform::flip(-1);
    if (!hold_while_suspended() || platform::app_terminate() != 0) {
      quit_requested = 1;
      break;
    }
    if (intro_skipped() || alpha <= 0) break;
  }
  platform::set_color(255, 255, 255);
  qwdraw->sip(1, 1.0f, 0, 1.0f, 1.0f);
  platform::flush_keys();
  platform::flush_mouse();
  return 0;
}
