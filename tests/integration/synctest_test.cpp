// Synctest: every golden replay, rolled back after every frame and played
// again muted, meets each state of its first run and still ends as recorded;
// and the re-simulated ticks leave no trace of their own in what the game
// writes and shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/integration/menu_steps.h"

namespace {

namespace fs = std::filesystem;
using namespace menu_steps;
using testing_support::GameFolder;

class Synctest : public testing::TestWithParam<int> {};

TEST_P(Synctest, EveryGoldenReplayMeetsItsFirstRunAndEndsAsRecorded) {
  const fs::path replays = fs::path(VERMIX_SOURCE_DIR) / "tests" / "replays";
  int played = 0;
  for (const auto& entry : fs::directory_iterator(replays)) {
    if (entry.path().extension() != ".replay") continue;
    SCOPED_TRACE(entry.path().stem().string());
    GameFolder game;
    fs::copy_file(entry.path(), game.path() / "game.replay");
    // The replay's own checks and closing line hold as well.
    const auto run =
        game.run_raw({"--window", "--fast", "--script", "game.replay",
                      "--synctest", std::to_string(GetParam())});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    ++played;
  }
  EXPECT_GE(played, 5);
}

INSTANTIATE_TEST_SUITE_P(Rollback, Synctest, testing::Values(1, 7));

// A game with shots, a pause and the pause menu: the dumps and screenshots
// of the script's events are those of the plain run, one each, though every
// tick before them is played again.
TEST(Synctest, ReSimulatedTicksWriteAndShowNothingOfTheirOwn) {
  std::string script = skip_intro() + click_line(6, 0);
  for (int t = 14; t < 120; t += 7) {
    script += mouse(t, 200 + (t * 31) % 240, 410 + t % 40) + click(t + 2);
  }
  script += dump(60) + script_line(61, "screenshot play.png") + dump(100);
  script += key_press(125, 27) + script_line(140, "screenshot pause.png");
  script += dump(140) + script_line(150, "end");
  GameFolder plain;
  GameFolder rolled;
  const auto want = plain.run(script);
  const auto got = rolled.run(script, {"--seed", "1", "--synctest", "4"});
  ASSERT_EQ(want.exit_code, 0) << want.err;
  ASSERT_EQ(got.exit_code, 0) << got.err;
  const auto want_dumps = plain.dumps();
  const auto got_dumps = rolled.dumps();
  EXPECT_EQ(want_dumps.size(), 3u);
  ASSERT_EQ(got_dumps.size(), want_dumps.size()) << "a dump written twice";
  for (std::size_t i = 0; i < want_dumps.size(); ++i) {
    EXPECT_TRUE(got_dumps[i] == want_dumps[i]) << "dump " << i << " differs";
  }
  for (const char* shot : {"play.png", "pause.png"}) {
    SCOPED_TRACE(shot);
    ASSERT_TRUE(plain.screenshot(shot).ok());
    EXPECT_EQ(rolled.screenshot(shot).rgba, plain.screenshot(shot).rgba);
  }
}

}  // namespace
