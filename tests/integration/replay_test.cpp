// Recording a game and playing the replay: the same game frame for frame,
// and a replay that was edited, cut short, of another format or not
// writable is never taken for a good one.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/integration/menu_steps.h"

namespace {

using namespace menu_steps;
using testing_support::GameFolder;
using testing_support::RunResult;

// A short one-player game: the title, a start, the mouse moving and
// firing, a pause and the end.
std::string short_game() {
  std::string s = skip_intro() + click_line(6, 0);
  for (int t = 14; t < 300; t += 9) {
    s += mouse(t, 80 + (t * 37) % 480, 400 + (t * 13) % 70);
    s += script_line(t, t % 2 ? "button 1 down" : "button 1 up");
  }
  return s + key_press(302, 27) + click_line(310, 0) + script_line(330, "end");
}

std::string text_of(const GameFolder& game, const std::string& rel) {
  const auto bytes = game.read_bytes(rel);
  return {bytes.begin(), bytes.end()};
}

void write_text(GameFolder& game, const std::string& rel,
                const std::string& text) {
  game.write_bytes(rel, {text.begin(), text.end()});
}

RunResult play(GameFolder& game, const std::string& replay) {
  return game.run_raw({"--window", "--fast", "--script", replay});
}

class Recorded : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto run =
        recorder.run(short_game(), {"--seed", "4", "--record", "game.replay",
                                    "--dump-every", "1", "recorded.jsonl"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    replay = text_of(recorder, "game.replay");
  }
  GameFolder recorder;
  GameFolder player;
  std::string replay;
};

TEST_F(Recorded, ReplayGivesTheSameDumpsEveryFrameWithoutASeed) {
  const auto want = recorder.dumps("recorded.jsonl");
  ASSERT_GT(want.size(), 300u);
  testing_support::expect_same_dumps({replay.begin(), replay.end()},
                                     {"--dump-every", "1", "replayed.jsonl"},
                                     "replayed.jsonl", want);
}

TEST_F(Recorded, PlayingItLeavesThePlayersOwnFilesAsTheyWere) {
  // The replay plays with the recorder's high score and stereo settings;
  // this player's differ and must survive it.
  const std::vector<std::uint8_t> high_score = {0xE1, 0x10, 0, 0};
  const std::vector<std::uint8_t> settings = {30, 0, 0, 0, 2, 0, 0, 0};
  player.write_bytes("data/hiscore.dat", high_score);
  player.write_bytes("data/anaglyph3d.dat", settings);
  write_text(player, "game.replay", replay);
  const auto run = play(player, "game.replay");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(player.read_bytes("data/hiscore.dat"), high_score);
  EXPECT_EQ(player.read_bytes("data/anaglyph3d.dat"), settings);
}

TEST_F(Recorded, AnEventMovedByOneTickDiverges) {
  // The first shot of the game, one tick later.
  const std::size_t at = replay.find(" button 1 down\n", replay.find("14 "));
  ASSERT_NE(at, std::string::npos);
  const std::size_t line = replay.rfind('\n', at) + 1;
  const long tick = std::stol(replay.substr(line, at - line));
  std::string edited = replay;
  edited.replace(line, at - line, std::to_string(tick + 1));
  write_text(player, "edited.replay", edited);
  const auto run = play(player, "edited.replay");
  EXPECT_EQ(run.exit_code, 3) << run.err;
  EXPECT_NE(run.err.find("replay diverges at tick "), std::string::npos)
      << run.err;
}

TEST_F(Recorded, DamagedReplaysFailLoudly) {
  struct Case {
    std::string what;
    std::string text;
    int status;
    std::string says;
  };
  const std::size_t second_check = replay.find("#! check 120");
  const std::size_t after_it = replay.find('\n', second_check) + 1;
  std::string wrong_hash = replay;
  wrong_hash.replace(replay.find("random=", second_check) + 7, 8, "00000000");
  const std::string settings = "#! setting high-score 0";
  std::string high_score = replay;
  high_score.replace(replay.find(settings), settings.size(),
                     "#! setting high-score 5000");
  for (const Case& c : {
           Case{"cut mid-line", replay.substr(0, after_it + 5), 4,
                "without its closing line"},
           Case{"check dropped",
                replay.substr(0, second_check) + replay.substr(after_it), 3,
                "diverges at tick 120: its check line is missing"},
           Case{"hash changed", wrong_hash, 3,
                "diverges at tick 120: random differs"},
           Case{"setting changed", high_score, 3, "high_score differs"},
           Case{"other format", "#! vermix-replay 2\n" + replay, 2, "format 2"},
       }) {
    SCOPED_TRACE(c.what);
    write_text(player, "bad.replay", c.text);
    const auto run = play(player, "bad.replay");
    EXPECT_EQ(run.exit_code, c.status) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

TEST(Record, AnUnwritablePathStopsTheStart) {
  GameFolder game;
  const auto run = game.run_raw({"--window", "--fast", "--record", "."});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("cannot write the replay"), std::string::npos)
      << run.err;
}

TEST(Timedemo, PrintsItsFiguresAndStillChecksTheReplay) {
  GameFolder game;
  const std::string script = skip_intro() + click_line(6, 0) +
                             mouse(20, 100, 440) + script_line(80, "end");
  ASSERT_EQ(
      game.run(script, {"--seed", "2", "--record", "demo.replay"}).exit_code,
      0);
  const auto run = game.run_raw({"--window", "--timedemo", "demo.replay"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  for (const char* figure : {"frames", "fps", "median", "99th percentile",
                             "draw calls", "quads per frame"})
    EXPECT_NE(run.out.find(figure), std::string::npos) << run.out;
}

}  // namespace
