// The screens of seeded scripted runs, pixel for pixel as committed under
// tests/references/screens; at window scale 2 the frame is the same.
#include "tests/support/screen_reference.h"

#include <gtest/gtest.h>

#include "tests/integration/game_run.h"
#include "tests/integration/screen_scenarios.h"

namespace {

using screen_scenarios::Scenario;
using testing_support::GameFolder;

// Runs the scenario and compares each screenshot with the reference named
// `prefix` + its file name.
void expect_reference_run(const Scenario& s, const std::string& prefix) {
  GameFolder game;
  const auto run = game.run(s.script, s.args);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  for (const std::string& name : s.shots) {
    const auto shot = game.screenshot(name + ".png");
    ASSERT_TRUE(shot.ok()) << name;
    testing_support::expect_reference_frame(prefix + name, shot.width,
                                            shot.height, shot.rgba);
  }
}

TEST(ScreenReferences, FlatTitle) {
  expect_reference_run(screen_scenarios::flat_title(), "flat-");
}

TEST(ScreenReferences, FlatGameAndPause) {
  expect_reference_run(screen_scenarios::flat_game_and_pause(), "flat-");
}

TEST(ScreenReferences, StereoModesAtScaleOne) {
  expect_reference_run(screen_scenarios::stereo_modes({"--scale", "1"}),
                       "stereo-");
}

// The same references: the zoom is the window's business, not the frame's.
TEST(ScreenReferences, StereoModesAtScaleTwo) {
  expect_reference_run(screen_scenarios::stereo_modes({"--scale", "2"}),
                       "stereo-");
}

}  // namespace
