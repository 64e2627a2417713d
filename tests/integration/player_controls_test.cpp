// The ships driven through the real program: the pointer scheme of a single
// player, firing, full-deflection sticks and the versus halves.
#include <gtest/gtest.h>

#include "tests/integration/menu_steps.h"

using namespace menu_steps;
using nlohmann::json;
using testing_support::GameFolder;
using testing_support::script_line;

namespace {

// The title parks the pointer on "Start Game": a click at tick 10 starts a
// single-player game in frame 11, and the ship follows the pointer from 12.
std::string start_single() { return skip_intro() + click(10); }

std::string start_versus() {
  return script_line(0, "joy 0 connect") + script_line(0, "joy 1 connect") +
         skip_intro() + click_line(10, 4) + click_line(14, 0);
}

std::string axis(long tick, int port, int a, const std::string& value) {
  return script_line(tick, "joy " + std::to_string(port) + " axis " +
                               std::to_string(a) + " " + value);
}

const json& ship(const json& dump, int player) {
  return dump["players"][player];
}

}  // namespace

TEST(PlayerControls, PointerOutsideTheAreaIsPulledBackOntoTheShip) {
  GameFolder game;
  const std::string script = start_single() + dump(15) + mouse(20, 600, 100) +
                             dump(21) + mouse(24, 100, 470) + dump(25) +
                             script_line(27, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(ship(d[0], 0)["x"], 320);  // reset parks the pointer at (320, 440)
  EXPECT_EQ(ship(d[0], 0)["y"], 440);
  EXPECT_EQ(ship(d[1], 0)["x"], 465);
  EXPECT_EQ(ship(d[1], 0)["y"], 410);
  EXPECT_EQ(d[1]["mouse"], json::array({465, 410}));
  EXPECT_EQ(ship(d[2], 0)["x"], 175);
  EXPECT_EQ(ship(d[2], 0)["y"], 450);
  EXPECT_EQ(d[2]["mouse"], json::array({175, 450}));
}

TEST(PlayerControls, ShotStartsAtThePointerNotAtTheKeptShip) {
  GameFolder game;
  const std::string script = start_single() + mouse(20, 320, 410) + dump(21) +
                             mouse(22, 320, 380) + key_press(22, 162) +
                             dump(23) + script_line(25, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(ship(d[0], 0)["y"], 410);
  const json& p = ship(d[1], 0);
  EXPECT_EQ(p["y"], 410) << "the ship stays on its bottom rows";
  EXPECT_EQ(p["shotx"], 320);
  // Fired at y = 380 and moved once in the same frame, unless a mushroom on
  // the way used it up before the move.
  if (p["shoot"] == 1) {
    EXPECT_EQ(p["shoty"], 365);
  } else {
    EXPECT_EQ(p["shoty"], 380);
  }
  EXPECT_EQ(plays(d[1], "p1shot"), 1);
}

// A ship on row 440 cannot meet a mushroom with its shot in the first two
// frames, so the shot is surely in flight when the click is read.
TEST(PlayerControls, ControlAndClickInOneFrameFireOnce) {
  GameFolder game;
  const std::string script = start_single() + key_press(20, 162) + click(20) +
                             dump(21) + dump(22) + dump(70) + click(72) +
                             dump(73) + script_line(75, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(ship(d[0], 0)["shoot"], 1);
  EXPECT_EQ(ship(d[0], 0)["shoty"], 440 - 15);
  EXPECT_EQ(plays(d[0], "p1shot"), 1);
  // The click, read one frame later while the shot flies, is used up.
  EXPECT_EQ(plays(d[1], "p1shot"), 1);
  EXPECT_EQ(ship(d[1], 0)["shoty"], 440 - 30);
  // It was not kept for later: once the shot is gone nothing fires by itself.
  EXPECT_EQ(ship(d[2], 0)["shoot"], 0);
  EXPECT_EQ(plays(d[2], "p1shot"), 1);
  // A fresh press fires again.
  EXPECT_EQ(ship(d[3], 0)["shoot"], 1);
  EXPECT_EQ(plays(d[3], "p1shot"), 2);
}

TEST(PlayerControls, OnlyAFullyDeflectedStickPushesThePointer) {
  GameFolder game;
  const std::string script =
      script_line(0, "joy 0 connect") + start_single() + axis(20, 0, 0, "0.9") +
      axis(20, 0, 1, "-0.99") + dump(21) + dump(30) + axis(30, 0, 0, "1.0") +
      axis(30, 0, 1, "0") + dump(40) + script_line(42, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(ship(d[i], 0)["x"], 320);
    EXPECT_EQ(ship(d[i], 0)["y"], 440);
  }
  // Ten frames at full right deflection: 4 pixels each.
  EXPECT_EQ(ship(d[2], 0)["x"], 360);
  EXPECT_EQ(ship(d[2], 0)["y"], 440);
}

TEST(PlayerControls, VersusSticksMoveDiagonallyAndStopAtTheirHalves) {
  GameFolder game;
  const std::string script = start_versus() + dump(20) + axis(20, 0, 0, "-1") +
                             axis(20, 0, 1, "-1") + axis(20, 1, 0, "-1") +
                             axis(20, 1, 1, "1") + dump(25) + dump(80) +
                             script_line(82, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(ship(d[0], 0)["x"], 220);
  EXPECT_EQ(ship(d[0], 1)["x"], 420);
  // Five frames: 4 pixels on each axis per frame, player 2 held on row 450.
  EXPECT_EQ(ship(d[1], 0)["x"], 200);
  EXPECT_EQ(ship(d[1], 0)["y"], 420);
  EXPECT_EQ(ship(d[1], 1)["x"], 400);
  EXPECT_EQ(ship(d[1], 1)["y"], 450);
  // Far enough to reach the corners of the two halves.
  EXPECT_EQ(ship(d[2], 0)["x"], 175);
  EXPECT_EQ(ship(d[2], 0)["y"], 410);
  EXPECT_EQ(ship(d[2], 1)["x"], 325);
  EXPECT_EQ(ship(d[2], 1)["y"], 450);
  // In versus the pointer still follows player 1.
  EXPECT_EQ(d[2]["mouse"], json::array({175, 410}));
}

TEST(PlayerControls, VersusFireButtonsShootForTheirOwnPlayers) {
  GameFolder game;
  const std::string script =
      start_versus() + script_line(20, "joy 1 button 0 down") +
      script_line(20, "joy 1 button 0 up") + click(20) + key_press(20, 162) +
      dump(21) + script_line(22, "joy 0 button 0 down") +
      script_line(22, "joy 0 button 0 up") + dump(23) + script_line(25, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(ship(d[0], 1)["shoot"], 1);
  EXPECT_EQ(ship(d[0], 1)["shotx"], 420);
  EXPECT_EQ(plays(d[0], "p2shot"), 1);
  // Mouse and Control do not fire in versus.
  EXPECT_EQ(ship(d[0], 0)["shoot"], 0);
  EXPECT_EQ(plays(d[0], "p1shot"), 0);
  EXPECT_EQ(ship(d[1], 0)["shoot"], 1);
  EXPECT_EQ(ship(d[1], 0)["shotx"], 220);
  EXPECT_EQ(plays(d[1], "p1shot"), 1);
}
