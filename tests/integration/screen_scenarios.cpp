#include "tests/integration/screen_scenarios.h"

#include "tests/integration/menu_steps.h"

namespace screen_scenarios {

namespace {

using namespace menu_steps;

constexpr int escape = 27;

void shot(Scenario& s, long tick, const std::string& name) {
  s.script += script_line(tick, "screenshot " + name + ".png");
  s.shots.push_back(name);
}

Scenario seeded(int seed) {
  Scenario s;
  s.args = {"--seed", std::to_string(seed)};
  s.script = skip_intro();
  return s;
}

}  // namespace

Scenario flat_title() {
  Scenario s = seeded(1);
  shot(s, 8, "title");
  s.script += click_line(9, 3);
  shot(s, 20, "title-retro");
  s.script += script_line(22, "end");
  return s;
}

Scenario flat_game_and_pause() {
  Scenario s = seeded(2);
  s.script += click(10);
  shot(s, 60, "play");
  s.script += key_press(61, escape);
  shot(s, 66, "pause");
  s.script += click_line(67, 3);
  shot(s, 72, "pause-retro");
  s.script += click_line(73, 0);
  shot(s, 90, "play-retro");
  s.script += script_line(92, "end");
  return s;
}

Scenario stereo_modes(const std::vector<std::string>& extra_args) {
  Scenario s = seeded(3);
  s.args.insert(s.args.end(), extra_args.begin(), extra_args.end());
  long t = 8;
  for (int mode = 1; mode <= 4; ++mode) {
    s.script += click_line(t, 1);
    shot(s, t + 5, "title-3d" + std::to_string(mode));
    t += 7;
  }
  s.script += click_line(t, 2);
  shot(s, t + 5, "title-3d4-deeper");
  s.script += click_line(t + 6, 3);
  shot(s, t + 11, "title-3d4-retro");
  s.script += click_line(t + 12, 0);
  t += 50;
  shot(s, t, "play-3d4-retro");
  s.script += key_press(t + 1, escape);
  shot(s, t + 5, "pause-3d4-retro");
  s.script += click_line(t + 6, 1);
  shot(s, t + 11, "pause-flat-retro");
  s.script += click_line(t + 12, 1);
  shot(s, t + 17, "pause-3d1-retro");
  s.script += click_line(t + 18, 2);
  s.script += click_line(t + 20, 3);
  shot(s, t + 25, "pause-3d1-deeper");
  s.script += click_line(t + 26, 0);
  shot(s, t + 40, "play-3d1-deeper");
  s.script += script_line(t + 42, "end");
  return s;
}

}  // namespace screen_scenarios
