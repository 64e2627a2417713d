// The mushroom field, debris dots and score pop-ups.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tests/game/game_world.h"
#include "world/world.h"

namespace {

mushroom_tag& place(int i, int x, int y, int img = 11, int hit = 0) {
  *mushrooms[i] = mushroom_tag{x, y, img, hit};
  return *mushrooms[i];
}

void aim(player_tag& p, int x, int y) {
  p.shoot = 1;
  p.shotx = x;
  p.shoty = y;
}

TEST(FieldLayout, StaysInsideTheFieldAndKeepsTheLowestIndexOfEachCell) {
  ensure_game_world();
  for (int seed = 1; seed <= 40; ++seed) {
    platform::seed_rnd(seed);
    mushroom_tag::new_patch();
    // The same draws, x then y, mushroom by mushroom.
    platform::seed_rnd(seed);
    std::set<std::pair<int, int>> taken;
    for (int i = 0; i < 90; ++i) {
      const int x = platform::float_to_int(platform::rnd(1, 29)) * 10 + 175;
      const int y = platform::float_to_int(platform::rnd(36, 0)) * 10 + 50;
      const mushroom_tag& m = *mushrooms[i];
      ASSERT_EQ(m.hit, 0);
      if (taken.insert({x, y}).second) {
        ASSERT_EQ(m.img, 11) << "seed " << seed << " slot " << i;
        ASSERT_EQ(std::make_pair(m.x, m.y), std::make_pair(x, y));
        ASSERT_TRUE(x >= 185 && x <= 455 && y >= 50 && y <= 400);
      } else {
        ASSERT_EQ(m.img, 0) << "seed " << seed << " slot " << i;
        ASSERT_EQ(std::make_pair(m.x, m.y), std::make_pair(0, 0));
      }
    }
  }
}

TEST(FieldShots, SevenHitsDestroyAndOnlyStandingMushroomsAreHit) {
  start_new_game(3);
  clear_field();
  stage = 3;
  mushroom_tag& m = place(0, 300, 200);
  // Tested 5 pixels above where it is drawn: 14 below the centre touches
  // the stalk, 15 below does not.
  aim(*player1, 300, 215);
  mushroom_tag::update_all();
  EXPECT_EQ(player1->shoot, 1);
  for (int n = 1; n <= 7; ++n) {
    aim(*player1, 300, 214);
    mushroom_tag::update_all();
    EXPECT_EQ(player1->shoot, 0);
    EXPECT_EQ(m.img, 11 + n);
    EXPECT_EQ(player1->score, 6 * n);
  }
  EXPECT_EQ(particle_list.size(), 70u);
  aim(*player1, 300, 214);
  mushroom_tag::update_all();
  EXPECT_EQ(player1->shoot, 1) << "a destroyed mushroom stops nothing";
  // An empty slot at (0, 0) is not hit either.
  aim(*player1, 0, 5);
  mushroom_tag::update_all();
  EXPECT_EQ(player1->shoot, 1);
  EXPECT_EQ(mushrooms[1]->hit, 0);
}

TEST(FieldShots, TwoShotsInOneFrameBothCountEvenPastDestruction) {
  start_new_game(4, true);
  clear_field();
  mushroom_tag& m = place(5, 320, 300, 17, 6);
  aim(*player1, 320, 312);
  aim(*player2, 321, 313);
  mushroom_tag::update_all();
  EXPECT_EQ(m.img, 19);
  EXPECT_EQ(m.hit, 8);
  EXPECT_EQ(player1->shoot + player2->shoot, 0);
  EXPECT_EQ(player1->score, 2);
  EXPECT_EQ(player2->score, 2);
}

TEST(Debris, BurstsMoveFallAndLeaveAtTheEdges) {
  start_new_game(5);
  clear_field();
  particle_tag::explode(300, 200, 0.3f, 2, 0);
  particle_tag::explode(300, 200, 0.3f, 2, -3);
  EXPECT_TRUE(particle_list.empty());
  particle_tag::explode(300, 200, 0.3f, 2, 40);
  particle_list.for_each([](const particle_tag& p) {
    EXPECT_TRUE(p.xstp >= -4.5f && p.xstp <= 4.5f);
    EXPECT_TRUE(p.ystp <= -1.5f && p.ystp >= -4.5f);
    EXPECT_EQ(p.clrid, 2);
    EXPECT_FLOAT_EQ(p.sc, 0.3f);
  });
  particle_tag::destroy_all();
  // Leaving at exactly 175 survives; 174.9 is gone; so is below 460.
  const particle_tag edge{176, 100, -1, 0, 1, 1};
  const particle_tag out{175.9f, 100, -1, 0, 1, 1};
  const particle_tag fall{300, 460, 0, 0.5f, 1, 1};
  for (const auto& p : {edge, out, fall}) {
    particle_list.append(std::make_unique<particle_tag>(p));
  }
  particle_tag::update_all();
  ASSERT_EQ(particle_list.size(), 1u);
  particle_list.for_each([](const particle_tag& p) {
    EXPECT_FLOAT_EQ(p.x, 175);
    EXPECT_FLOAT_EQ(p.ystp, 0.1f);
    EXPECT_FLOAT_EQ(p.xstp, -0.98f);
  });
  // A dot with no sideways speed swings between 0.02 and 0.
  particle_tag::destroy_all();
  particle_list.append(
      std::make_unique<particle_tag>(particle_tag{300, 100, 0, 0, 1, 1}));
  std::vector<float> steps;
  for (int n = 0; n < 4; ++n) {
    particle_tag::update_all();
    particle_list.for_each(
        [&](const particle_tag& p) { steps.push_back(p.xstp); });
  }
  EXPECT_EQ(steps, (std::vector<float>{0.02f, 0.0f, 0.02f, 0.0f}));
}

TEST(ScorePopups, ShowTheirTextForExactlyOneHundredFrames) {
  start_new_game(6);
  clear_field();
  points_tag::init(200, 300, 1);
  points_tag::init(210, 310, 200);
  std::vector<std::string> texts;
  points_list.for_each([&](const points_tag& p) { texts.push_back(p.pnt); });
  EXPECT_EQ(texts, (std::vector<std::string>{"1up", "200"}));
  for (int n = 0; n < 99; ++n) points_tag::update_all();
  EXPECT_EQ(points_list.size(), 2u);
  points_tag::init(0, 0, 5);
  points_tag::update_all();
  EXPECT_EQ(points_list.size(), 1u) << "the first two go after drawing 100";
  particle_tag::explode(300, 200, 0.3f, 2, 3);
  player_tag::reset(0);
  EXPECT_TRUE(points_list.empty());
  EXPECT_TRUE(particle_list.empty());
}

}  // namespace
