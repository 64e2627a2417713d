// Versus input set up precisely inside the test process: presses come from a
// short input script whose events are all due at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "replay/input_script.h"
#include "replay/replay.h"
#include "tests/game/game_world.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

int plays(const std::string& name) {
  const auto& counts = sound_play_counts();
  const auto it = counts.find(name);
  return it == counts.end() ? 0 : it->second;
}

class VersusInput : public ::testing::Test {
 protected:
  void SetUp() override {
    start_new_game(11, true);
    clear_field();
  }
  void TearDown() override {
    replay::detail::stop_input_script();
    std::remove(path_.c_str());
  }

  // Two sticks connected and the given events, all applied at the next read.
  void press(const std::string& events) {
    {
      std::ofstream out(path_);
      out << "0 joy 0 connect\n0 joy 1 connect\n" << events;
    }
    std::string error;
    ASSERT_TRUE(replay::load_input_script(path_, error)) << error;
  }

  static std::string button(int port, int b) {
    const std::string k =
        "0 joy " + std::to_string(port) + " button " + std::to_string(b);
    return k + " down\n" + k + " up\n";
  }

  std::string path_ = ::testing::TempDir() + "player_input_script.txt";
};

}  // namespace

TEST_F(VersusInput, JoinPressWaitsUntilThePartnerCanGiveALife) {
  player2->state = 0;
  player2->lives = 0;
  player2->x = 330;
  player1->lives = 1;
  const int sounds_before = plays("x1life");
  press(button(1, 1));

  for (int frame = 0; frame < 3; ++frame) player1->get_inputs();
  EXPECT_EQ(player2->state, 0) << "the partner's last life cannot be taken";
  EXPECT_EQ(player1->lives, 1);
  EXPECT_EQ(plays("x1life"), sounds_before);

  // The press stayed pending and acts in the first frame it can.
  player1->lives = 2;
  player1->get_inputs();
  EXPECT_EQ(player2->state, 1);
  EXPECT_EQ(player2->lives, 1);
  EXPECT_EQ(player2->x, 420);
  EXPECT_EQ(player2->y, 440);
  EXPECT_EQ(player1->lives, 1);
  EXPECT_EQ(plays("x1life"), sounds_before + 1);
}

TEST_F(VersusInput, PlayerOneTakesALifeFromPlayerTwo) {
  player1->state = 0;
  player1->lives = 0;
  player2->lives = 3;
  press(button(0, 1));
  player1->get_inputs();
  EXPECT_EQ(player1->state, 1);
  EXPECT_EQ(player1->lives, 1);
  EXPECT_EQ(player1->x, 220);
  EXPECT_EQ(player1->y, 440);
  EXPECT_EQ(player2->lives, 2);
}

TEST_F(VersusInput, ResetThrowsAwayAPendingJoinPress) {
  player1->lives = 1;
  press(button(1, 1));
  player2->state = 0;
  player1->get_inputs();  // not read: player 1 cannot give
  player_tag::reset(0);   // waits for the buttons and clears their presses
  player2->state = 0;
  player2->lives = 0;
  player1->lives = 2;
  player1->get_inputs();
  EXPECT_EQ(player2->state, 0);
  EXPECT_EQ(player1->lives, 2);
}

TEST_F(VersusInput, FirePressDuringAFlightIsLost) {
  player1->shoot = 1;
  player1->shoty = 200;
  const int shots_before = plays("p1shot");
  press(button(0, 0));
  player1->get_inputs();
  EXPECT_EQ(player1->shoty, 200);
  player1->shoot = 0;
  player1->get_inputs();
  EXPECT_EQ(player1->shoot, 0) << "the press was used up during the flight";
  EXPECT_EQ(plays("p1shot"), shots_before);
}
