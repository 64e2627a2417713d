// A new field waits for the fire buttons to be let go, without locking the
// player out of closing the window.
#include <gtest/gtest.h>

#include "tests/integration/menu_steps.h"

using namespace menu_steps;
using testing_support::GameFolder;
using testing_support::script_line;

TEST(PlayerFlush, HeldButtonHoldsTheNewGameUntilReleased) {
  GameFolder game;
  // The start click is held for 40 ticks: the new field waits for it.
  const std::string script =
      skip_intro() + script_line(10, "button 1 down") + dump(20) + dump(40) +
      script_line(50, "button 1 up") + dump(60) + script_line(62, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(d[i]["game_state"], 2);
    EXPECT_EQ(d[i]["music"]["starts"], 0) << "the reset went on while held";
  }
  EXPECT_EQ(d[1]["tick"], 40) << "the wait counts its passes as ticks";
  EXPECT_EQ(d[2]["music"]["starts"], 1);
  EXPECT_EQ(d[2]["players"][0]["shoot"], 0) << "the held press must not fire";
  EXPECT_EQ(d[2]["sounds"].value("p1shot", 0), 0);
}

TEST(PlayerFlush, HeldJoystickButtonAlsoHolds) {
  GameFolder game;
  const std::string script =
      script_line(2, "joy 0 connect") + skip_intro() +
      script_line(10, "joy 0 button 1 down") + click(12) + dump(30) +
      script_line(40, "joy 0 button 1 up") + dump(50) + script_line(52, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0]["music"]["starts"], 0);
  EXPECT_EQ(d[1]["music"]["starts"], 1);
}

TEST(PlayerFlush, CloseDuringTheWaitEndsTheProgramInOrder) {
  GameFolder game;
  // The button is never released; only the close request can end the wait.
  const std::string script = skip_intro() + script_line(10, "button 1 down") +
                             dump(20) + script_line(30, "close");
  const auto run = game.run(script, {"--seed", "1"}, 30);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], 2);
  // An orderly end writes the settings and the high score.
  EXPECT_TRUE(game.exists("data/hiscore.dat"));
}
