// The option lines of the title menu: each click steps one value, with its
// own wrap and its own sound.
#include <gtest/gtest.h>

#include "tests/integration/menu_steps.h"

using namespace menu_steps;
using testing_support::GameFolder;

namespace {

// Clicks `line` `count` times, two ticks apart, with a dump after each.
std::string click_repeatedly(int line, int count) {
  std::string s = skip_intro() + mouse(10, 320, 260 + 20 * line);
  for (int i = 0; i < count; ++i) {
    s += click(20 + 2 * i) + dump(21 + 2 * i);
  }
  return s + testing_support::script_line(30 + 2 * count, "end");
}

}  // namespace

TEST(MenuOptions, HologramIntensityStepsByTwoAndWrapsToTwo) {
  GameFolder game;  // no settings file: the intensity starts at 0
  ASSERT_EQ(game.run(click_repeatedly(2, 16)).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 16u);
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(d[i]["hologram_intensity"], 2 * (i + 1)) << "click " << i + 1;
  }
  EXPECT_EQ(d[15]["hologram_intensity"], 2);
  EXPECT_EQ(plays(d[15], "thump"), 16);
  EXPECT_EQ(d[15]["game_state"], 4);
}

TEST(MenuOptions, StereoModeCyclesThroughTheFourPairsAndOff) {
  GameFolder game;
  ASSERT_EQ(game.run(click_repeatedly(1, 6)).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 6u);
  const int expected[] = {1, 2, 3, 4, 0, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(d[i]["stereo_mode"], expected[i]);
  EXPECT_EQ(plays(d[5], "thump"), 6);
}

TEST(MenuOptions, RetroLinesToggle) {
  GameFolder game;
  ASSERT_EQ(game.run(click_repeatedly(3, 2)).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0]["retro_lines"], 1);
  EXPECT_EQ(d[1]["retro_lines"], 0);
  EXPECT_EQ(plays(d[1], "thump"), 2);
}

TEST(MenuOptions, SoundVolumeWrapsFromMaxToOffAndPlaysTheShot) {
  GameFolder game;
  ASSERT_EQ(game.run(click_repeatedly(5, 2)).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0]["sound_volume_step"], 0);
  EXPECT_FLOAT_EQ(d[0]["sound_volume"].get<float>(), 0.0f);
  EXPECT_EQ(d[1]["sound_volume_step"], 1);
  EXPECT_NEAR(d[1]["sound_volume"].get<float>(), 0.1f, 1e-6);
  EXPECT_EQ(plays(d[0], "p1shot"), 1);
  EXPECT_EQ(plays(d[1], "p1shot"), 2);
  EXPECT_EQ(plays(d[1], "thump"), 0);
}

TEST(MenuOptions, MusicVolumeStepsWithoutAClickSound) {
  GameFolder game;
  ASSERT_EQ(game.run(click_repeatedly(6, 11)).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 11u);
  EXPECT_EQ(d[0]["music_volume_step"], 0);
  EXPECT_FLOAT_EQ(d[0]["music_volume"].get<float>(), 0.0f);
  // Ten steps up from 0.0 come back to full volume, within float rounding.
  EXPECT_EQ(d[10]["music_volume_step"], 10);
  EXPECT_NEAR(d[10]["music_volume"].get<float>(), 1.0f, 1e-5);
  EXPECT_TRUE(d[10]["sounds"].empty() ||
              (plays(d[10], "thump") == 0 && plays(d[10], "p1shot") == 0));
  // The sound volume is a separate option and stays where it was.
  EXPECT_EQ(d[10]["sound_volume_step"], 10);
}

TEST(MenuOptions, ClicksBelowTheLastLineOrAboveTheFirstDoNothing) {
  GameFolder game;
  const std::string script = skip_intro() + mouse(10, 320, 410) + click(12) +
                             mouse(14, 320, 240) + click(16) + dump(20) +
                             testing_support::script_line(22, "end");
  ASSERT_EQ(game.run(script).exit_code, 0);
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["game_state"], 4);
  EXPECT_EQ(d[0]["quit_requested"], 0);
  EXPECT_TRUE(d[0]["sounds"].empty() || plays(d[0], "thump") == 0);
}
