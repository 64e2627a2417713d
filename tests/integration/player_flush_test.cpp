// A new field waits for the fire buttons to be let go, without locking the
// player out of closing the window.
#include <gtest/gtest.h>

#include "tests/integration/menu_steps.h"

using namespace menu_steps;
using testing_support::GameFolder;
using testing_support::script_line;

namespace {

// Joystick 0 holds its join button from tick 10; the click at 12 starts a
// game whose reset then waits for the button.
std::string start_with_held_stick_button() {
  return script_line(0, "joy 0 connect") + skip_intro() +
         script_line(10, "joy 0 button 1 down") + click(12);
}

}  // namespace

TEST(PlayerFlush, HeldJoystickButtonHoldsTheNewGameUntilReleased) {
  GameFolder game;
  const std::string script = start_with_held_stick_button() + dump(20) +
                             dump(40) + script_line(50, "joy 0 button 1 up") +
                             dump(60) + script_line(62, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(d[i]["game_state"], 2);
    EXPECT_EQ(d[i]["music"]["starts"], 0) << "the reset went on while held";
  }
  EXPECT_EQ(d[0]["crawler"], d[1]["crawler"]) << "a frame ran while held";
  EXPECT_EQ(d[1]["tick"], 40) << "the wait counts its passes as ticks";
  EXPECT_EQ(d[2]["music"]["starts"], 1);
  EXPECT_NE(d[2]["crawler"], d[1]["crawler"]);
}

// The mouse's held state is cleared by the flush itself, so a held mouse
// button does not keep the game waiting; its press is thrown away and fires
// nothing, neither at once nor when the button is let go.
TEST(PlayerFlush, HeldMouseButtonIsFlushedWithoutFiring) {
  GameFolder game;
  const std::string script = skip_intro() + script_line(10, "button 1 down") +
                             dump(20) + script_line(30, "button 1 up") +
                             dump(40) + script_line(42, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u);
  for (const auto& x : d) {
    EXPECT_EQ(x["game_state"], 2);
    EXPECT_EQ(x["music"]["starts"], 1);
    EXPECT_EQ(x["players"][0]["shoot"], 0);
    EXPECT_EQ(plays(x, "p1shot"), 0);
  }
}

TEST(PlayerFlush, CloseDuringTheWaitEndsTheProgramInOrder) {
  GameFolder game;
  // The button is never released; only the close request can end the wait.
  const std::string script =
      start_with_held_stick_button() + dump(20) + script_line(30, "close");
  const auto run = game.run(script, {"--seed", "1"}, 30);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], 2);
  EXPECT_EQ(d[0]["music"]["starts"], 0);
  // An orderly end writes the settings and the high score.
  EXPECT_TRUE(game.exists("data/hiscore.dat"));
  EXPECT_TRUE(game.exists("data/anaglyph3d.dat") ||
              game.exists("Data/anaglyph3d.dat"));
}
