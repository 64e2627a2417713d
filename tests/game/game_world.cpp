#include "tests/game/game_world.h"

#include <gtest/gtest.h>

#include "app/shell.h"
#include "world/world.h"

void ensure_game_world() {
  static const bool ready = [] {
    platform::RunOptions options;
    options.window = true;
    options.fast = true;
    return start_up(options);
  }();
  ASSERT_TRUE(ready) << "the game could not be brought up";
}

void start_new_game(int seed, bool versus) {
  ensure_game_world();
  platform::seed_rnd(seed);
  versus_mode = versus ? 1 : 0;
  game_state = state_playing;
  player_tag::reset(1);
}

void clear_field() {
  for (auto& m : mushrooms) {
    if (m) *m = mushroom_tag{};
  }
  vermix_tag::destroy_all();
  particle_tag::destroy_all();
  points_tag::destroy_all();
  for (auto& i : insects) {
    if (!i) continue;
    i->state = 0;
    i->tmr = 1000000;
  }
}
