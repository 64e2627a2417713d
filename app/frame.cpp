#include "app/frame.h"

#include "app/game_flow.h"
#include "app/menu.h"
#include "app/shell.h"
#include "render/anaglyph.h"
#include "world/world.h"

namespace {

void update_state() {
  switch (game_state) {
    case state_playing:
      update_game();
      break;
    case state_paused:
    case state_title:
      update_menu();
      break;
    case state_game_over:
      update_game_over();
      break;
    default:
      break;
  }
}

bool frame_flip = false;

}  // namespace

bool at_frame_boundary() { return frame_flip; }

void run_frame() {
  draw_backdrop();
  update_state();
  draw_hud();
  draw_retro_lines(2);
  frame_flip = true;
  platform::flip(-1);
  frame_flip = false;
  check_hotkeys();
  wait_if_suspended();
}
