// The main loop's hot keys, the pause snapshot, and the hold while the
// window is inactive, on the real executable.
#include <gtest/gtest.h>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;
using testing_support::script_line;

constexpr int state_playing = 2;
constexpr int state_paused = 3;
constexpr int state_title = 4;

std::string press(long tick, const std::string& what) {
  return script_line(tick, what + " down") + script_line(tick, what + " up");
}
std::string dump_at(long tick) { return script_line(tick, "dump dump.jsonl"); }

// Skips the logo at tick 5 and clicks "Start Game" at tick 8.
const std::string start_game = press(5, "key 32") + press(8, "button 1");

TEST(SpineLoop, EscapePausesThenLeavesThenQuits) {
  GameFolder game;
  const std::string script = start_game + dump_at(20) + press(30, "key 27") +
                             dump_at(31) + press(40, "key 27") + dump_at(41) +
                             press(50, "key 27") + dump_at(51);
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  // The third Escape ends the program in its own frame: no dump after it.
  ASSERT_EQ(d.size(), 3u) << r.err;
  EXPECT_EQ(d[0]["game_state"], state_playing);
  EXPECT_EQ(d[0]["music"]["playing"], 1);
  EXPECT_EQ(d[1]["game_state"], state_paused);
  EXPECT_EQ(d[1]["music"]["playing"], 1) << "music goes on in the pause menu";
  EXPECT_EQ(d[1]["mouse"], nlohmann::json::array({320, 260}));
  EXPECT_EQ(d[2]["game_state"], state_title);
  EXPECT_EQ(d[2]["music"]["playing"], 0);
  EXPECT_TRUE(game.exists("data/hiscore.dat")) << "not an orderly end";
}

TEST(SpineLoop, SpacePausesAndResumesWithoutStoppingTheMusic) {
  GameFolder game;
  const std::string script = start_game + press(20, "key 32") + dump_at(21) +
                             press(30, "key 32") + dump_at(31) +
                             script_line(35, "end");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u) << r.err;
  EXPECT_EQ(d[0]["game_state"], state_paused);
  EXPECT_EQ(d[1]["game_state"], state_playing);
  EXPECT_EQ(d[1]["music"]["playing"], 1);
  EXPECT_EQ(d[1]["music"]["starts"], 1);
}

// While the window is inactive nothing moves and the music is paused; both
// go on where they stood once it is active again.
TEST(SpineLoop, SuspensionFreezesTheGameAndPausesTheMusic) {
  GameFolder game;
  const std::string script = start_game + dump_at(30) +
                             script_line(30, "focus lost") + dump_at(35) +
                             dump_at(55) + script_line(60, "focus gained") +
                             dump_at(70) + script_line(72, "end");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 4u) << r.err;
  EXPECT_EQ(d[0]["music"]["playing"], 1);
  EXPECT_EQ(d[1]["music"]["playing"], 0);
  EXPECT_EQ(d[2]["music"]["playing"], 0);
  EXPECT_EQ(d[3]["music"]["playing"], 1);
  EXPECT_EQ(d[3]["music"]["starts"], 1) << "resumed, not restarted";
  ASSERT_FALSE(d[1]["crawler"].empty());
  EXPECT_EQ(d[1]["crawler"], d[2]["crawler"])
      << "the game moved while suspended";
  EXPECT_EQ(d[1]["insects"], d[2]["insects"]);
  EXPECT_NE(d[2]["crawler"], d[3]["crawler"]) << "the game did not go on";
}

TEST(SpineLoop, CloseWhileSuspendedQuitsInOrder) {
  GameFolder game;
  game.write_bytes("data/hiscore.dat", {0x07, 0, 0, 0});
  const std::string script = start_game + script_line(30, "focus lost") +
                             script_line(40, "close") + dump_at(45) +
                             script_line(300, "end");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(game.dumps().empty()) << "still running after the close";
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"),
            (std::vector<std::uint8_t>{7, 0, 0, 0}));
  EXPECT_TRUE(game.exists("data/anaglyph3d.dat"));
}

// The pause menu's backdrop is the last game frame tinted (50, 50, 100).
TEST(SpineLoop, PauseShowsTheTintedLastFrame) {
  GameFolder game;
  const std::string script =
      start_game + script_line(40, "screenshot game.png") +
      press(40, "key 27") + script_line(41, "screenshot paused.png") +
      script_line(42, "end");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto before = game.screenshot("game.png");
  const auto after = game.screenshot("paused.png");
  ASSERT_TRUE(before.ok() && after.ok()) << r.err;
  // Left of the menu texts, inside the field.
  int lit = 0;
  int matching = 0;
  for (int y = 200; y < 250; ++y) {
    for (int x = 172; x < 186; ++x) {
      const auto a = before.at(x, y);
      const auto b = after.at(x, y);
      if (a == std::array<int, 3>{0, 0, 0}) continue;
      ++lit;
      if (std::abs(b[0] - a[0] * 50 / 255) <= 1 &&
          std::abs(b[1] - a[1] * 50 / 255) <= 1 &&
          std::abs(b[2] - a[2] * 100 / 255) <= 1) {
        ++matching;
      }
    }
  }
  ASSERT_GT(lit, 50) << "nothing drawn where the test looks";
  EXPECT_GE(matching, lit * 9 / 10);
}

TEST(SpineLoop, FlatScreenshotShowsTheBorderBands) {
  GameFolder game;
  const auto r =
      game.run(press(5, "key 32") + script_line(20, "screenshot s.png") +
               script_line(21, "end"));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto s = game.screenshot("s.png");
  ASSERT_TRUE(s.ok()) << r.err;
  ASSERT_EQ(s.width, 640);
  ASSERT_EQ(s.height, 480);
  const std::array<int, 3> bands[5] = {
      {196, 2, 153}, {43, 230, 0}, {255, 252, 5}, {196, 2, 2}, {0, 6, 230}};
  for (int band = 0; band < 5; ++band) {
    for (int k = 0; k < 2; ++k) {
      const int in = 2 * band + k;
      EXPECT_EQ(s.at(160 + in, 100), bands[band]) << "left, band " << band;
      EXPECT_EQ(s.at(479 - in, 100), bands[band]) << "right, band " << band;
      EXPECT_EQ(s.at(250, 15 + in), bands[band]) << "top, band " << band;
      EXPECT_EQ(s.at(250, 464 - in), bands[band]) << "bottom, band " << band;
    }
  }
}

}  // namespace
