// A quiet field for insect tests: a new game with nothing on the field, both
// ships out of play and every insect waiting on a long timer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/game/game_world.h"
#include "world/sounds.h"
#include "world/world.h"

// Small seeds all start with a tiny first draw (always the same side), so
// test loops spread theirs out.
inline int spread_seed(int n) { return n * 104729 + 12345; }

class InsectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_new_game(1);
    clear_field();
    stage = 1;
    crawler_speed = 1;
    play_phase = 1;
    for (player_tag* p : {player1.get(), player2.get()}) {
      p->state = 0;
      p->shoot = 0;
      p->lives = 3;
      p->score = 0;
    }
  }

  static insect_tag& insect(int typ) { return *insects[typ]; }

  // Puts an insect on the field so that its next flying step lands it on
  // (x, y): the scorpion walks 1 left, the flea falls by its ystp of 1.
  static insect_tag& scorpion_landing_at(float x, float y) {
    insect_tag& s = insect(1);
    s.state = 1;
    s.x = x + 1.0f;
    s.y = y;
    s.xstp = -1.0f;
    return s;
  }
  static insect_tag& flea_landing_at(float x, float y) {
    insect_tag& f = insect(2);
    f.state = 1;
    f.x = x;
    f.y = y - 1.0f;
    f.ystp = 1.0f;
    return f;
  }

  static void aim_shot(player_tag& p, int x, int y) {
    p.shoot = 1;
    p.shotx = x;
    p.shoty = y;
  }
  static void ship_in_play(player_tag& p, float x, float y) {
    p.state = 1;
    p.x = x;
    p.y = y;
  }

  static int plays(const std::string& effect) {
    const auto& counts = sound_play_counts();
    const auto it = counts.find(effect);
    return it == counts.end() ? 0 : it->second;
  }
};
