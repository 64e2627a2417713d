// When insects appear: waiting times, stage gates, the frame of appearance
// and the reset.
#include <algorithm>
#include <climits>

#include "tests/game/insect_fixture.h"

namespace {

struct wait_range {
  int low;
  int high;  // exclusive
};
constexpr wait_range waits[4] = {{100, 600}, {200, 1000}, {50, 500}, {50, 500}};

TEST_F(InsectTest, WaitingTimesCoverTheirRangeAndNoMore) {
  int lo[4] = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
  int hi[4] = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
  for (int n = 0; n < 4000; ++n) {
    insect_tag::reset_all();
    for (int k = 0; k < 4; ++k) {
      lo[k] = std::min(lo[k], insect(k).tmr);
      hi[k] = std::max(hi[k], insect(k).tmr);
    }
  }
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_GE(lo[k], waits[k].low);
    EXPECT_LE(hi[k], waits[k].high - 1);
    EXPECT_LT(lo[k], waits[k].low + 5);
    EXPECT_GT(hi[k], waits[k].high - 6);
  }
}

TEST_F(InsectTest, ResetTakesEveryInsectOffAndKeepsItsPlace) {
  for (int k = 0; k < 4; ++k) {
    insect(k).state = 1;
    insect(k).x = 300.0f + k;
    insect(k).y = 200.0f;
    insect(k).tmr = 0;
  }
  insect_tag::reset_all();
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(insect(k).state, 0);
    EXPECT_EQ(insect(k).typ, k);
    EXPECT_GE(insect(k).tmr, waits[k].low);
    EXPECT_LT(insect(k).tmr, waits[k].high);
    EXPECT_EQ(insect(k).x, 300.0f + k);
  }
  // Nothing is left on the field to hit or be hit.
  aim_shot(*player1, 300, 200);
  insect_tag::update_all();
  EXPECT_EQ(player1->score, 0);
  EXPECT_EQ(player1->lives, 3);
}

// Below its first stage a kind's timer stands still; from that stage on it
// counts down and the insect enters with its sound.
TEST_F(InsectTest, StageGatesFreezeTheTimers) {
  const int first_stage[4] = {1, 2, 4, 6};
  const char* sound[4] = {"spider", "scorpion", "flea", "mosquito"};
  for (int gate = 1; gate <= 6; ++gate) {
    SCOPED_TRACE(gate);
    clear_field();
    stage = gate;
    for (int k = 0; k < 4; ++k) insect(k).tmr = 30;
    int before[4];
    for (int k = 0; k < 4; ++k) before[k] = plays(sound[k]);
    for (int f = 0; f < 29; ++f) insect_tag::update_all();
    for (int k = 0; k < 4; ++k) {
      const bool open = gate >= first_stage[k];
      EXPECT_EQ(insect(k).tmr, open ? 1 : 30) << k;
      EXPECT_EQ(insect(k).state, 0) << k;
    }
    insect_tag::update_all();
    for (int k = 0; k < 4; ++k) {
      const bool open = gate >= first_stage[k];
      EXPECT_EQ(insect(k).state, open ? 1 : 0) << k;
      EXPECT_EQ(plays(sound[k]) - before[k], open ? 1 : 0) << k;
      if (open) {
        EXPECT_GE(insect(k).tmr, waits[k].low) << k;
        EXPECT_LT(insect(k).tmr, waits[k].high) << k;
      } else {
        EXPECT_EQ(insect(k).tmr, 30) << k;
      }
    }
  }
}

TEST_F(InsectTest, AnimationRunsForFrozenAndWaitingInsectsAlike) {
  for (int k = 0; k < 4; ++k) {
    insect(k).ftmr = 0;
    insect(k).fctr = 0;
  }
  int phase_changes = 0;
  for (int f = 1; f <= 40; ++f) {
    const int old = insect(3).fctr;
    insect_tag::update_all();
    if (insect(3).fctr != old) {
      ++phase_changes;
      EXPECT_EQ(f % 8, 0) << f;
    }
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(insect(k).ftmr, f % 8);
      EXPECT_EQ(insect(k).fctr, (f / 8) % 2);
    }
  }
  EXPECT_EQ(phase_changes, 5);
}

// The frame of appearance draws the start values first and the next waiting
// time after them, in the order the game always uses for a given seed.
TEST_F(InsectTest, AppearanceDrawsStartValuesThenTheNextWait) {
  using platform::float_to_int;
  using platform::rnd;
  for (int seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    clear_field();
    crawler_speed = 2;
    insect(0).tmr = 1;
    platform::seed_rnd(spread_seed(seed));
    insect_tag::update_all();

    platform::seed_rnd(spread_seed(seed));
    const int side = float_to_int(rnd(2, 0));
    const float y = static_cast<float>(rnd(330, 430));
    const int dist = float_to_int(rnd(10, 50));
    const int wait = float_to_int(rnd(100, 600));

    const insect_tag& s = insect(0);
    EXPECT_EQ(s.x, side == 0 ? 175.0f : 465.0f);
    EXPECT_EQ(s.xstp, side == 0 ? 2.0f : -2.0f);
    EXPECT_EQ(s.y, y);
    EXPECT_EQ(s.ystp, 2.0f);
    EXPECT_EQ(s.dist, dist);
    EXPECT_EQ(s.tmr, wait);
  }
}

TEST_F(InsectTest, FleaAndMosquitoStartValues) {
  stage = 6;
  int mosquito_sides[2] = {0, 0};
  for (int seed = 1; seed <= 40; ++seed) {
    clear_field();
    insect(2).tmr = 1;
    insect(3).tmr = 1;
    platform::seed_rnd(spread_seed(seed));
    insect_tag::update_all();
    const insect_tag& f = insect(2);
    EXPECT_EQ(f.y, 30.0f);
    EXPECT_EQ(f.ystp, 1.0f);
    EXPECT_GE(f.x, 195.0f);
    EXPECT_LT(f.x, 445.0f);
    EXPECT_NE(f.x, static_cast<float>(static_cast<int>(f.x)))
        << "a flea's column is not rounded";

    const insect_tag& m = insect(3);
    EXPECT_EQ(m.y, 200.0f);
    EXPECT_GE(m.xstp, 1.0f);
    EXPECT_LE(m.xstp, 5.0f);
    if (m.x == 185.0f) {
      ++mosquito_sides[0];
      EXPECT_EQ(m.rot, 45.0f);
      EXPECT_GE(m.ystp, 2.0f);
      EXPECT_LE(m.ystp, 8.0f);
    } else {
      ++mosquito_sides[1];
      EXPECT_EQ(m.x, 455.0f);
      EXPECT_EQ(m.rot, 315.0f);
      EXPECT_GE(m.ystp, -8.0f);
      EXPECT_LE(m.ystp, -2.0f);
    }
  }
  EXPECT_GT(mosquito_sides[0], 0);
  EXPECT_GT(mosquito_sides[1], 0);
}

}  // namespace
