// Whole frames of the tally and the game-over screen, drawn in this process as
// the main loop draws them, pixel for pixel as committed under
// tests/references/screens.
#include <gtest/gtest.h>

#include "app/game_flow.h"
#include "app/shell.h"
#include "platform/video/video.h"
#include "render/anaglyph.h"
#include "tests/game/game_world.h"
#include "tests/support/screen_reference.h"
#include "world/world.h"

namespace {

// One pass of the main loop's drawing, with the game-over screen or the game.
void main_loop_frame() {
  draw_backdrop();
  if (game_state == state_game_over) {
    update_game_over();
  } else {
    update_game();
  }
  draw_hud();
  draw_retro_lines(2);
  platform::flip(0);
}

void expect_presented_frame(const std::string& name) {
  std::vector<std::uint8_t> rgba;
  ASSERT_TRUE(platform::detail::read_presented_frame(rgba));
  testing_support::expect_reference_frame(name, 640, 480, rgba);
}

void set_view(int mode, int intensity, int lines) {
  stereo_mode = mode;
  hologram_intensity = intensity;
  retro_lines = lines;
  anaglyph_settings(0);
}

// A seeded game played for a while, then its last life lost: the tally pays
// out the damaged mushrooms and the game-over screen follows.
void play_to_the_end(int mode, int intensity, int lines,
                     const std::string& prefix) {
  start_new_game(11);
  set_view(mode, intensity, lines);
  for (int n = 0; n < 120; ++n) main_loop_frame();
  player1->lives = 0;
  player1->state = 0;
  play_phase = 2;
  for (int n = 0; n < 20; ++n) main_loop_frame();
  ASSERT_EQ(play_phase, 2);
  expect_presented_frame(prefix + "tally");
  for (int n = 0; n < 1000 && game_state == state_playing; ++n) {
    main_loop_frame();
  }
  ASSERT_EQ(game_state, state_game_over);
  for (int n = 0; n < 30; ++n) main_loop_frame();
  expect_presented_frame(prefix + "game-over");
}

TEST(ScreenReferenceFrames, FlatTallyAndGameOver) {
  play_to_the_end(0, 4, 0, "frames-flat-");
}

TEST(ScreenReferenceFrames, StereoTallyAndGameOverUnderRetroLines) {
  play_to_the_end(3, 6, 1, "frames-3d3-retro-");
}

}  // namespace
