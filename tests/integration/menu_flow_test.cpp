// Leaving the menus: starting, resuming and abandoning a game, quitting, and
// the versus line that needs two joysticks.
#include <gtest/gtest.h>

#include "tests/integration/menu_steps.h"

using namespace menu_steps;
using testing_support::GameFolder;
using testing_support::script_line;

namespace {

constexpr int title = 4;
constexpr int playing = 2;
constexpr int paused = 3;

std::string connect_two_joysticks(long tick) {
  return script_line(tick, "joy 0 connect") +
         script_line(tick, "joy 1 connect");
}

}  // namespace

TEST(MenuFlow, ClickAtY245StartsTheGame) {
  GameFolder game;
  const std::string script = skip_intro() + mouse(10, 320, 245) + click(12) +
                             dump(20) + script_line(22, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], playing);
  EXPECT_EQ(d[0]["play_phase"], 1);
  EXPECT_EQ(d[0]["players"][0]["state"], 1);
  EXPECT_EQ(d[0]["players"][0]["lives"], 3);
  EXPECT_EQ(d[0]["players"][1]["state"], 0);  // no partner outside versus
  EXPECT_EQ(d[0]["music"]["starts"], 1);
}

TEST(MenuFlow, ExitGameEndsTheProgram) {
  GameFolder game;
  const std::string script =
      skip_intro() + click_line(10, 7) + dump(40) + script_line(60, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  EXPECT_TRUE(game.dumps().empty()) << "the game ran on after Exit Game";
}

TEST(MenuFlow, VersusLineIsLockedWithoutTwoJoysticks) {
  GameFolder game;
  const std::string script =
      skip_intro() + click_line(10, 4) + dump(14) +              // no joystick
      script_line(16, "joy 0 connect") + click(18) + dump(20) +  // one
      script_line(22, "joy 1 connect") + click(24) + dump(26) +  // two
      script_line(28, "joy 1 disconnect") + dump(32) + script_line(34, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(d[0]["versus_mode"], 0);
  EXPECT_EQ(d[0]["joystick_count"], 0);
  EXPECT_EQ(d[1]["versus_mode"], 0);
  EXPECT_EQ(d[1]["joystick_count"], 1);
  EXPECT_EQ(plays(d[1], "thump"), 0) << "a locked versus line is silent";
  // Counted anew every menu frame: the second stick enables it at once.
  EXPECT_EQ(d[2]["versus_mode"], 1);
  EXPECT_EQ(plays(d[2], "thump"), 1);
  // Losing a stick switches versus off again.
  EXPECT_EQ(d[3]["versus_mode"], 0);
}

TEST(MenuFlow, VersusGameStartsBothShipsOnTheirHalves) {
  GameFolder game;
  const std::string script = connect_two_joysticks(0) + skip_intro() +
                             click_line(10, 4) + click_line(14, 0) + dump(22) +
                             script_line(24, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], playing);
  EXPECT_EQ(d[0]["versus_mode"], 1);
  for (int p = 0; p < 2; ++p) {
    EXPECT_EQ(d[0]["players"][p]["state"], 1);
    EXPECT_EQ(d[0]["players"][p]["lives"], 3);
    EXPECT_EQ(d[0]["players"][p]["y"], 440);
  }
  EXPECT_EQ(d[0]["players"][0]["x"], 220);
  EXPECT_EQ(d[0]["players"][1]["x"], 420);
}

TEST(MenuFlow, ThreeEscapesFromPlayPauseLeaveAndQuit) {
  GameFolder game;
  const std::string script = skip_intro() + click(10) + dump(30) +
                             key_press(40, 27) + dump(42) + key_press(50, 27) +
                             dump(52) + key_press(60, 27) + dump(70) +
                             script_line(90, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u) << "the third Escape should end the program";
  EXPECT_EQ(d[0]["game_state"], playing);
  EXPECT_EQ(d[0]["music"]["playing"], 1);
  EXPECT_EQ(d[1]["game_state"], paused);
  EXPECT_EQ(d[1]["mouse"], nlohmann::json::array({320, 260}));
  EXPECT_EQ(d[1]["music"]["playing"], 1) << "music plays on while paused";
  EXPECT_EQ(d[2]["game_state"], title);
  EXPECT_EQ(d[2]["music"]["playing"], 0);
}

TEST(MenuFlow, QuitThisGameReturnsToTheTitle) {
  GameFolder game;
  const std::string script = skip_intro() + click(10) + key_press(30, 27) +
                             click_line(34, 7) + dump(40) +
                             script_line(42, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], title);
  EXPECT_EQ(d[0]["quit_requested"], 0);
  EXPECT_EQ(d[0]["mouse"], nlohmann::json::array({320, 260}));
  EXPECT_EQ(d[0]["music"]["playing"], 0);
}

// Resuming by any of its three ways changes nothing but the state: the field,
// the players and the stage are as they were when the game was paused.
TEST(MenuFlow, ResumingChangesOnlyTheState) {
  GameFolder game;
  const std::string script =
      connect_two_joysticks(0) + skip_intro() + click(10) + dump(29) +
      key_press(29, 27) + dump(31) + click(33) + dump(34) + key_press(40, 32) +
      dump(41) + key_press(43, 32) + dump(44) + key_press(50, 32) + dump(51) +
      script_line(53, "joy 0 button 2 down") +
      script_line(53, "joy 0 button 2 up") + dump(54) + script_line(56, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 7u);
  const int states[] = {playing, paused, playing, paused,
                        playing, paused, playing};
  for (std::size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(d[i]["game_state"], states[i]) << "dump " << i;
  }
  // Between the pause and the resume click no playing frame ran.
  for (const char* key : {"players", "mushrooms", "crawler", "insects",
                          "colours", "stage", "crawler_length", "play_phase"}) {
    EXPECT_EQ(d[1][key], d[0][key]) << key << " changed by pausing";
    EXPECT_EQ(d[2][key], d[0][key]) << key << " changed by resuming";
  }
  EXPECT_EQ(d[2]["music"]["starts"], 1) << "resuming does not restart music";
}

TEST(MenuFlow, PauseMenuKeepsVersusFixedEvenWithTwoJoysticks) {
  GameFolder game;
  const std::string script = connect_two_joysticks(0) + skip_intro() +
                             click(10) + key_press(30, 27) + click_line(34, 4) +
                             dump(40) + script_line(42, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], paused);
  EXPECT_EQ(d[0]["versus_mode"], 0);
  EXPECT_EQ(plays(d[0], "thump"), 0);
}
