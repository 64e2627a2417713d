// The crawler: chains, courses, turns, hits and the stage count.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/game_flow.h"
#include "tests/game/game_world.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

vermix_tag& add_segment(int x, int y, int rot, int phdir, int head = 0,
                        int dst = 0, int pvdir = 180) {
  vermix_tag s;
  s.x = x;
  s.y = y;
  s.rot = rot;
  s.phdir = phdir;
  s.head = head;
  s.dst = dst;
  s.pvdir = pvdir;
  return crawler_list.append(std::make_unique<vermix_tag>(s));
}

std::vector<vermix_tag> segments() {
  std::vector<vermix_tag> out;
  crawler_list.for_each([&](const vermix_tag& s) { out.push_back(s); });
  return out;
}

void quiet_field(int seed) {
  start_new_game(seed);
  clear_field();
  player1->state = 0;
}

TEST(CrawlerChain, EntersOnRowFortyFromEitherWall) {
  ensure_game_world();
  bool seen[2] = {false, false};
  for (int seed = 1; seed <= 20 && !(seen[0] && seen[1]); ++seed) {
    quiet_field(seed);
    vermix_tag::new_spawn();
    const auto chain = segments();
    ASSERT_EQ(chain.size(), 10u);
    const bool left = chain[0].x == 175;
    seen[left ? 0 : 1] = true;
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(chain[i].x, left ? 175 - 10 * i : 465 + 10 * i);
      EXPECT_EQ(chain[i].y, 40);
      EXPECT_EQ(chain[i].rot, left ? 90 : 270);
      EXPECT_EQ(chain[i].phdir, chain[i].rot);
      EXPECT_EQ(chain[i].pvdir, 180);
      EXPECT_EQ(chain[i].head, i == 0 ? 1 : 0);
    }
  }
  EXPECT_TRUE(seen[0] && seen[1]);
}

TEST(CrawlerCourse, RunsTheTopRowThenSweepsTheBottomZone) {
  quiet_field(2);
  vermix_tag& head = add_segment(175, 40, 90, 90, 1);
  auto run = [&](int n) {
    for (int i = 0; i < n; ++i) vermix_tag::update_all();
  };
  run(290);
  EXPECT_EQ(head.x, 465);
  EXPECT_EQ(head.y, 40);
  run(10);
  EXPECT_EQ(head.x, 465);
  EXPECT_EQ(head.y, 50);
  run(1);
  EXPECT_EQ(head.x, 464);
  EXPECT_EQ(head.y, 50);
  // Down to row 450 at a wall, then back and forth between rows 410 and 450.
  while (head.y < 450) run(1);
  EXPECT_TRUE(head.x == 175 || head.x == 465);
  int low = 450, high = 450;
  for (int i = 0; i < 40000; ++i) {
    run(1);
    low = std::min(low, head.y);
    high = std::max(high, head.y);
  }
  EXPECT_EQ(low, 410);
  EXPECT_EQ(high, 450);
  EXPECT_EQ(stage, 1);
}

TEST(CrawlerCourse, MushroomRulesRunInIndexOrder) {
  quiet_field(3);
  // Ahead at index 1, below at index 0: the below test has already passed,
  // so the segment steps down into the cell below.
  *mushrooms[0] = mushroom_tag{300, 110, 11, 0};
  *mushrooms[1] = mushroom_tag{310, 100, 11, 0};
  vermix_tag& a = add_segment(299, 100, 90, 90, 0, 9);
  vermix_tag::update_all();
  EXPECT_EQ(a.rot, 180);
  EXPECT_EQ(a.phdir, 270);
  std::swap(*mushrooms[0], *mushrooms[1]);
  vermix_tag& b = add_segment(299, 100, 90, 90, 0, 9);
  vermix_tag::update_all();
  EXPECT_EQ(b.rot, 270) << "below tested last: only reverses";
  // Destroyed mushrooms and empty slots turn nothing; a wall with a
  // mushroom below only reverses.
  *mushrooms[0] = mushroom_tag{310, 200, 18, 7};
  *mushrooms[1] = mushroom_tag{465, 210, 11, 0};
  crawler_list.clear();
  vermix_tag& c = add_segment(299, 200, 90, 90, 0, 9);
  vermix_tag& d = add_segment(464, 200, 90, 90, 0, 9);
  vermix_tag::update_all();
  EXPECT_EQ(c.rot, 90);
  EXPECT_EQ(d.rot, 270);
  EXPECT_EQ(d.phdir, 270);
}

TEST(CrawlerHits, ShotHeadLeavesBodiesAndShotSegmentStillKills) {
  quiet_field(4);
  stage = 2;
  add_segment(300, 100, 90, 90, 1, 0);
  add_segment(290, 100, 90, 90, 0, 0);
  *player1 = player_tag{};
  player1->shoot = 1;
  player1->shotx = 301;
  player1->shoty = 100;
  vermix_tag::update_all();
  EXPECT_EQ(player1->score, 200);
  auto rest = segments();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].head, 0);
  // A body segment in the ship rows, shot by both players at once while it
  // touches ship 1: removed once, both score, the ship still dies.
  start_new_game(4, true);
  clear_field();
  add_segment(300, 420, 90, 90, 0, 0);
  player1->x = 301;
  player1->y = 420;
  player2->x = 400;
  for (player_tag* p : {player1.get(), player2.get()}) {
    p->shoot = 1;
    p->shotx = 301;
    p->shoty = 421;
  }
  vermix_tag::update_all();
  EXPECT_TRUE(crawler_list.empty());
  EXPECT_EQ(player1->score, 25);
  EXPECT_EQ(player2->score, 25);
  EXPECT_EQ(player1->lives, 2);
  EXPECT_EQ(player1->state, 0);
  EXPECT_EQ(player2->state, 1);
  EXPECT_EQ(play_phase, 2);
}

TEST(CrawlerStages, EmptyListIsCountedOneFrameLate) {
  quiet_field(5);
  add_segment(300, 100, 90, 90, 1);
  player1->shoot = 1;
  player1->shotx = 301;
  player1->shoty = 100;
  const int stage_sounds =
      sound_play_counts().count("stage") ? sound_play_counts().at("stage") : 0;
  vermix_tag::update_all();
  EXPECT_TRUE(crawler_list.empty());
  EXPECT_EQ(stage, 1);
  EXPECT_EQ(play_phase, 1);
  vermix_tag::update_all();
  EXPECT_EQ(stage, 2);
  EXPECT_EQ(crawler_length, 11);
  EXPECT_EQ(play_phase, 2);
  EXPECT_EQ(sound_play_counts().at("stage"), stage_sounds + 1);
  // Lengths and speeds of the stages that follow.
  for (int next = 3; next <= 25; ++next) {
    vermix_tag::update_all();
    ASSERT_EQ(stage, next);
    EXPECT_EQ(crawler_length, std::min(9 + next, 18));
    const int speed = next >= 20 ? 10 : next >= 10 ? 5 : next >= 5 ? 2 : 1;
    EXPECT_EQ(crawler_speed, speed) << "stage " << next;
  }
}

TEST(CrawlerStages, ShipLostWithTheLastSegmentRepeatsTheStage) {
  quiet_field(6);
  player1->state = 1;
  player1->x = 301;
  player1->y = 430;
  add_segment(300, 430, 90, 90, 1);
  player1->shoot = 1;
  player1->shotx = 301;
  player1->shoty = 431;
  vermix_tag::update_all();
  ASSERT_EQ(play_phase, 2);
  ASSERT_TRUE(crawler_list.empty());
  for (int n = 0; n < 400 && play_phase == 2; ++n) update_game();
  EXPECT_EQ(play_phase, 1);
  EXPECT_EQ(stage, 1);
  EXPECT_EQ(segments().size(), 10u);
}

}  // namespace
