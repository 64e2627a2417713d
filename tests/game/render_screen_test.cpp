// The paused backdrop and the retro line overlay.
#include "app/shell.h"
#include "render/anaglyph.h"
#include "tests/game/render_fixture.h"
#include "world/world.h"

namespace {

using Screen = RenderTest;

// The frozen game is drawn dark blue behind the pause menu, border over it.
TEST_F(Screen, PausedBackdropIsTheTintedSnapshot) {
  fill(300, 300, 10, 10, 200, 200, 200);
  platform::grab_image(pause_snapshot, 0, 0, 0);
  game_state = state_paused;
  draw_backdrop();
  present();
  game_state = state_title;
  const Rgb tinted = at(305, 305);
  EXPECT_NEAR(tinted[0], 200 * 50 / 255, 1);
  EXPECT_NEAR(tinted[1], 200 * 50 / 255, 1);
  EXPECT_NEAR(tinted[2], 200 * 100 / 255, 1);
  EXPECT_EQ(at(160, 240), (Rgb{196, 2, 153})) << "no border over the snapshot";
}

TEST_F(Screen, RetroLinesDarkenOddRowsAndLeaveMaskBlendAndWhite) {
  fill(0, 0, 640, 480, 120, 130, 140);
  retro_lines = 1;
  draw_retro_lines(2);
  retro_lines = 0;
  fill(10, 100, 6, 6, 0, 0, 0);
  fill(30, 100, 6, 6, 50, 50, 50);
  platform::set_transform(0, 1, 1);
  draw_retro_lines(2);  // off: must change nothing
  platform::set_alpha(1);
  platform::draw_image(white_square(), 10, 100, 0);
  platform::set_alpha(0.3f);
  platform::draw_image(white_square(), 30, 100, 0);
  platform::set_alpha(1);
  present();
  for (int y : {0, 2, 240, 478}) {
    EXPECT_EQ(at(0, y), (Rgb{120, 130, 140})) << "row " << y;
    EXPECT_EQ(at(639, y), (Rgb{120, 130, 140})) << "row " << y;
  }
  for (int y : {1, 3, 241, 479}) {
    EXPECT_EQ(at(0, y), (Rgb{2, 2, 2})) << "row " << y;
    EXPECT_EQ(at(639, y), (Rgb{2, 2, 2})) << "row " << y;
  }
  EXPECT_EQ(at(12, 102), (Rgb{255, 255, 255})) << "colour not white";
  EXPECT_EQ(at(32, 102), (Rgb{50, 50, 50})) << "blend not mask";
}

}  // namespace
