// What the menus put on the screen: the frozen, tinted game behind the pause
// menu, and the retro line overlay over the title.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/integration/menu_steps.h"

using namespace menu_steps;
using testing_support::GameFolder;
using testing_support::Screenshot;
using testing_support::script_line;

namespace {

std::string shot(long tick, const std::string& name) {
  return script_line(tick, "screenshot " + name);
}

// The strip between the title picture and the first menu line: nothing of
// the pause menu is drawn there, so the snapshot shows through.
constexpr int strip_top = 195, strip_bottom = 235;
constexpr int field_left = 172, field_right = 468;

}  // namespace

TEST(MenuScreens, PauseShowsTheLastGameFrameFrozenAndTintedDarkBlue) {
  GameFolder game;
  const std::string script = skip_intro() + click(10) + shot(40, "play.png") +
                             key_press(40, 27) + shot(45, "pause1.png") +
                             shot(70, "pause2.png") + script_line(72, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const Screenshot play = game.screenshot("play.png");
  const Screenshot pause1 = game.screenshot("pause1.png");
  const Screenshot pause2 = game.screenshot("pause2.png");
  ASSERT_TRUE(play.ok() && pause1.ok() && pause2.ok());

  int lit = 0;
  for (int y = strip_top; y <= strip_bottom; ++y) {
    for (int x = field_left; x <= field_right; ++x) {
      const auto p = play.at(x, y);
      const auto q = pause1.at(x, y);
      if (p[0] + p[1] + p[2] > 60) ++lit;
      const int expected[3] = {p[0] * 50 / 255, p[1] * 50 / 255,
                               p[2] * 100 / 255};
      for (int c = 0; c < 3; ++c) {
        ASSERT_LE(std::abs(q[c] - expected[c]), 2)
            << "pixel (" << x << ", " << y << ") channel " << c;
      }
      ASSERT_EQ(pause2.at(x, y), q)
          << "the snapshot moved at " << x << "," << y;
    }
  }
  EXPECT_GT(lit, 100) << "the game frame was nearly black; nothing to compare";

  // The border is drawn untinted over the snapshot.
  for (int y = 100; y < 400; y += 37) {
    for (int x = 160; x < 170; ++x) EXPECT_EQ(pause1.at(x, y), play.at(x, y));
  }
}

TEST(MenuScreens, RetroLinesDarkenEveryOddRowAndLeaveEvenRowsAsDrawn) {
  GameFolder game;
  const std::string script = skip_intro() + shot(8, "off.png") +
                             click_line(9, 3) + shot(20, "on.png") +
                             script_line(22, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const Screenshot off = game.screenshot("off.png");
  const Screenshot on = game.screenshot("on.png");
  ASSERT_TRUE(off.ok() && on.ok());
  ASSERT_EQ(on.width, 640);
  ASSERT_EQ(on.height, 480);

  const std::array<int, 3> grey{2, 2, 2};
  for (int y = 1; y < 480; y += 2) {
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(on.at(x, y), grey) << "pixel (" << x << ", " << y << ")";
    }
  }
  // Above the menu lines the title screen is the same in both frames.
  int drawn = 0;
  for (int y = 0; y < 240; y += 2) {
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(on.at(x, y), off.at(x, y))
          << "pixel (" << x << ", " << y << ")";
      if (on.at(x, y) != grey) ++drawn;
    }
  }
  EXPECT_GT(drawn, 1000);
}
