// The opening logo's length, what ends it, and a close while it runs.
#include <gtest/gtest.h>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;
using testing_support::script_line;

constexpr int state_title = 4;
constexpr int state_playing = 2;

std::string dump_at(long tick) { return script_line(tick, "dump dump.jsonl"); }

// Dumps at the given ticks, then the end a few ticks later.
std::string dumps_then_end(std::initializer_list<long> ticks) {
  std::string script;
  long last = 0;
  for (long t : ticks) {
    script += dump_at(t);
    last = t;
  }
  return script + script_line(last + 3, "end");
}

// The dump of tick T is taken at the first input read after the T-th frame:
// the intro's own reads until it is over, then those of the title frames.
void expect_intro_ends_after(GameFolder& game, int frames) {
  const auto r = game.run(dumps_then_end({frames - 1, frames, frames + 1}));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 3u) << r.err;
  EXPECT_EQ(d[0]["tick"], frames - 1);
  EXPECT_NE(d[0]["game_state"], state_title);
  EXPECT_NE(d[1]["game_state"], state_title) << "the logo ended too early";
  EXPECT_EQ(d[2]["game_state"], state_title) << "the logo ran too long";
}

TEST(SpineIntro, FlatLogoLasts326Frames) {
  GameFolder game;
  expect_intro_ends_after(game, 326);
}

TEST(SpineIntro, StereoLogoLasts351Frames) {
  GameFolder game;
  game.write_bytes("data/anaglyph3d.dat", {10, 0, 0, 0, 2, 0, 0, 0});
  expect_intro_ends_after(game, 351);
}

TEST(SpineIntro, EachSkipPressEndsItAtOnce) {
  for (const std::string press : {"key 27", "key 32", "button 1"}) {
    GameFolder game;
    const std::string script = script_line(10, press + " down") +
                               script_line(10, press + " up") +
                               dumps_then_end({10, 11});
    const auto r = game.run(script);
    ASSERT_EQ(r.exit_code, 0) << press << ": " << r.err;
    const auto d = game.dumps();
    ASSERT_EQ(d.size(), 2u) << press << ": " << r.err;
    EXPECT_NE(d[0]["game_state"], state_title) << press;
    EXPECT_EQ(d[1]["game_state"], state_title) << press;
    EXPECT_EQ(d[1]["quit_requested"], 0) << press << " reached the title";
  }
}

TEST(SpineIntro, JoystickButtonZeroEndsItToo) {
  GameFolder game;
  const std::string script =
      script_line(0, "joy 0 connect") + script_line(10, "joy 0 button 0 down") +
      script_line(11, "joy 0 button 0 up") + dumps_then_end({12});
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u) << r.err;
  EXPECT_EQ(d[0]["game_state"], state_title);
}

// Space ends the logo; the click made with it is flushed, so the title's
// "Start Game" under the parked pointer never sees it.
TEST(SpineIntro, OtherPressesOfTheEndingFrameAreFlushed) {
  GameFolder game;
  const std::string script =
      script_line(10, "mouse 320 260") + script_line(10, "button 1 down") +
      script_line(10, "button 1 up") + script_line(10, "key 32 down") +
      script_line(10, "key 32 up") + dumps_then_end({20});
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u) << r.err;
  EXPECT_EQ(d[0]["game_state"], state_title);
  EXPECT_EQ(d[0]["mouse"], nlohmann::json::array({320, 260}));
}

// The same click a frame after the logo does start a game, which shows the
// test above would have seen an unflushed click.
TEST(SpineIntro, AClickOnTheTitleStartsAGame) {
  GameFolder game;
  const std::string script =
      script_line(10, "key 32 down") + script_line(10, "key 32 up") +
      script_line(12, "button 1 down") + script_line(12, "button 1 up") +
      dumps_then_end({20});
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u) << r.err;
  EXPECT_EQ(d[0]["game_state"], state_playing);
}

// A close ends the logo; one loop frame still runs, then the program ends in
// order and writes its files.
TEST(SpineIntro, WindowCloseDuringTheLogoQuitsInOrder) {
  GameFolder game;
  const std::string script = script_line(50, "close") + dump_at(50) +
                             dump_at(51) + dump_at(52) + script_line(60, "end");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u) << "ticks 50 and 51 only: " << r.err;
  EXPECT_EQ(d[0]["quit_requested"], 0);
  EXPECT_EQ(d[1]["tick"], 51);
  EXPECT_EQ(d[1]["quit_requested"], 1);
  EXPECT_EQ(d[1]["game_state"], state_title);
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_TRUE(game.exists("data/anaglyph3d.dat"));
}

}  // namespace
