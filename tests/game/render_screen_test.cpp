// What the spine draws on every frame: the border, the paused backdrop and
// the retro line overlay.
#include "app/globals.h"
#include "app/shell.h"
#include "render/anaglyph.h"
#include "tests/game/render_fixture.h"

namespace {

using Screen = RenderTest;

// The five bands of the border, two pixels each from the outer edge inwards.
const Rgb bands[5] = {
    {196, 2, 153}, {43, 230, 0}, {255, 252, 5}, {196, 2, 2}, {0, 6, 230}};

TEST_F(Screen, BorderShowsItsFiveBandsOnEveryWall) {
  stereo_mode = 0;
  game_state = state_title;
  draw_backdrop();
  present();
  for (int band = 0; band < 5; ++band) {
    for (int k = 0; k < 2; ++k) {
      const int in = 2 * band + k;
      SCOPED_TRACE(testing::Message() << "band " << band << " pixel " << k);
      EXPECT_EQ(at(160 + in, 240), bands[band]) << "left wall";
      EXPECT_EQ(at(479 - in, 240), bands[band]) << "right wall";
      EXPECT_EQ(at(250, 15 + in), bands[band]) << "top wall";
      EXPECT_EQ(at(250, 464 - in), bands[band]) << "bottom wall";
    }
  }
}

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
  EXPECT_EQ(at(160, 240), bands[0]) << "no border over the snapshot";
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
