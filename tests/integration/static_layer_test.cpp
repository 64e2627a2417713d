// The kept static layer shows exactly what drawing it anew would: the same
// runs with the copy turned off give the same screens, through changes of
// the stereo mode, the eye colours, the intensity and the frozen game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"
#include "tests/integration/screen_scenarios.h"

namespace {

using screen_scenarios::Scenario;
using testing_support::GameFolder;

// Two pauses at different moments: the second frozen frame is another
// picture under the same drawing of the layer.
Scenario two_pauses() {
  using namespace menu_steps;
  Scenario s;
  s.args = {"--seed", "5"};
  s.script = skip_intro() + click_line(9, 1) + click_line(12, 0);
  long t = 40;
  for (int pause = 0; pause < 2; ++pause) {
    s.script += key_press(t, 27);
    const std::string name = "pause" + std::to_string(pause);
    s.script += script_line(t + 4, "screenshot " + name + ".png");
    s.shots.push_back(name);
    s.script += click_line(t + 5, 0);
    t += 30;
  }
  s.script += script_line(t, "end");
  return s;
}

void expect_same_screens_uncached(const Scenario& s) {
  GameFolder cached;
  GameFolder uncached;
  ASSERT_EQ(cached.run(s.script, s.args).exit_code, 0);
  std::vector<std::string> args = s.args;
  for (const char* a : {"--window", "--fast", "--script", "script.txt"}) {
    args.push_back(a);
  }
  {
    std::ofstream out(uncached.path() / "script.txt");
    out << s.script;
  }
  const auto plain = uncached.run_raw(
      args, 240, [] { setenv("VERMIX_NO_LAYER_CACHE", "1", 1); });
  ASSERT_EQ(plain.exit_code, 0) << plain.err;
  for (const std::string& name : s.shots) {
    const auto a = cached.screenshot(name + ".png");
    const auto b = uncached.screenshot(name + ".png");
    ASSERT_TRUE(a.ok() && b.ok()) << name;
    EXPECT_TRUE(a.rgba == b.rgba) << name << " differs without the copy";
  }
}

TEST(StaticLayer, KeptCopyMatchesFreshDrawingThroughSettingChanges) {
  expect_same_screens_uncached(screen_scenarios::stereo_modes());
}

TEST(StaticLayer, KeptCopyFollowsANewFrozenFrame) {
  expect_same_screens_uncached(two_pauses());
}

}  // namespace
