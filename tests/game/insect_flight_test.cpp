// How each kind crosses the field once it has entered.
#include <cmath>

#include "tests/game/insect_fixture.h"

namespace {

// Brings one insect onto the field with the generator seeded from n.
insect_tag& enter(int typ, int n) {
  insects[typ]->tmr = 1;
  platform::seed_rnd(spread_seed(n));
  insect_tag::update_all();
  EXPECT_EQ(insects[typ]->state, 1);
  return *insects[typ];
}

// Flies the insect until it has left the field; returns the frames it took.
int frames_to_leave(const insect_tag& i, int limit = 2000) {
  int frames = 0;
  while (i.state == 1 && frames < limit) {
    insect_tag::update_all();
    ++frames;
  }
  return frames;
}

TEST_F(InsectTest, SpiderSpeedFollowsTheCrawlerCappedAtThree) {
  struct by_stage {
    int stage;
    int crawler_speed;
    float spider_speed;
  };
  const by_stage cases[] = {{1, 1, 1.0f}, {4, 1, 1.0f},  {5, 2, 2.0f},
                            {9, 2, 2.0f}, {10, 5, 3.0f}, {20, 10, 3.0f}};
  for (const by_stage& c : cases) {
    SCOPED_TRACE(c.stage);
    int sides[2] = {0, 0};
    for (int seed = 1; seed <= 16; ++seed) {
      clear_field();
      stage = c.stage;
      crawler_speed = c.crawler_speed;
      const insect_tag& s = enter(0, seed);
      if (s.x == 175.0f) {
        ++sides[0];
        EXPECT_EQ(s.xstp, c.spider_speed);
      } else {
        ++sides[1];
        EXPECT_EQ(s.x, 465.0f);
        EXPECT_EQ(s.xstp, -c.spider_speed);
      }
    }
    EXPECT_GT(sides[0], 0);
    EXPECT_GT(sides[1], 0);
  }
}

// A spider bounces between rows 330 and 440 two pixels a frame and leaves
// once its column has passed the far wall.
TEST_F(InsectTest, SpiderZigzagsInItsBandUntilPastTheFarWall) {
  const int speeds[] = {1, 2, 5};
  for (int speed : speeds) {
    for (int seed = 1; seed <= 6; ++seed) {
      SCOPED_TRACE(testing::Message() << "speed " << speed << " seed " << seed);
      clear_field();
      crawler_speed = speed;
      const insect_tag& s = enter(0, seed);
      const float step = s.xstp;
      const int start = static_cast<int>(s.x);
      int frames = 0;
      int reversals = 0;
      while (s.state == 1 && frames < 1000) {
        const float y0 = s.y;
        const float ystp0 = s.ystp;
        insect_tag::update_all();
        ++frames;
        ASSERT_GE(s.y, 330.0f);
        ASSERT_LE(s.y, 440.0f);
        ASSERT_TRUE(s.ystp == 2.0f || s.ystp == -2.0f);
        ASSERT_GE(s.dist, 1);
        ASSERT_LE(s.dist, 49);
        const bool clamped = s.y == 330.0f || s.y == 440.0f;
        if (!clamped) {
          ASSERT_EQ(std::fabs(s.y - y0), 2.0f);
        }
        if (s.ystp != ystp0) ++reversals;
      }
      // From 175 at +v it leaves when 175 + n v > 465; from 465 at -v when
      // 465 - n v < 175.
      const int v = static_cast<int>(std::fabs(step));
      EXPECT_EQ(frames, 290 / v + 1);
      EXPECT_EQ(s.x, start + frames * step);
      EXPECT_GT(reversals, 0);
    }
  }
}

TEST_F(InsectTest, ScorpionWalksRowThirtyFiveAndNeverTouchesAShip) {
  stage = 2;
  ship_in_play(*player1, 300.0f, 35.0f);  // right on its path
  const insect_tag& s = enter(1, 1);
  EXPECT_EQ(s.x, 455.0f);
  EXPECT_EQ(s.y, 35.0f);
  const int frames = frames_to_leave(s);
  EXPECT_EQ(frames, 271);  // 455 - 271 = 184, the first column below 185
  EXPECT_EQ(s.x, 184.0f);
  EXPECT_EQ(s.y, 35.0f);
  EXPECT_EQ(player1->state, 1);
  EXPECT_EQ(player1->lives, 3);
  EXPECT_EQ(play_phase, 1);
}

TEST_F(InsectTest, FleaFallsFasterEveryFrameUntilBelowRow450) {
  stage = 4;
  for (int seed = 1; seed <= 5; ++seed) {
    SCOPED_TRACE(seed);
    clear_field();
    const insect_tag& f = enter(2, seed);
    const float x = f.x;
    float y = 30.0f;
    float ystp = 1.0f;
    int frames = 0;
    while (f.state == 1 && frames < 200) {
      insect_tag::update_all();
      ++frames;
      y += ystp;
      ystp += 0.1f;
      ASSERT_EQ(f.y, y) << frames;
      ASSERT_EQ(f.ystp, ystp) << frames;
      ASSERT_EQ(f.x, x);
      ASSERT_EQ(f.state, y > 450.0f ? 0 : 1) << frames;
    }
    EXPECT_GT(frames, 50);
    EXPECT_LT(frames, 200);
  }
}

// The course is worked out here step by step from the start values the
// mosquito drew: double-precision moves stored as floats, a float turn.
struct mosquito_course {
  float x, y, rot, xstp, turn;
  void step() {
    const double a = rot;
    x = static_cast<float>(static_cast<double>(x) +
                           static_cast<double>(xstp) * platform::sin_deg(a));
    y = static_cast<float>(static_cast<double>(y) -
                           static_cast<double>(xstp) * platform::cos_deg(a));
    rot += turn;
    if (turn < 0.0f ? rot < 180.0f : rot > 180.0f) {
      rot = 180.0f;
      xstp += 0.04f;
    }
  }
};

TEST_F(InsectTest, MosquitoCurvesDownAndDivesFromEitherSide) {
  stage = 6;
  bool seen[2] = {false, false};
  for (int seed = 1; seed <= 30 && !(seen[0] && seen[1]); ++seed) {
    clear_field();
    const insect_tag& m = enter(3, seed);
    const int side = m.x == 185.0f ? 0 : 1;
    if (seen[side]) continue;
    seen[side] = true;
    SCOPED_TRACE(side);
    mosquito_course c{m.x, m.y, m.rot, m.xstp, m.ystp};
    int frames = 0;
    bool dived = false;
    float first_y = 0.0f;
    while (m.state == 1 && frames < 1000) {
      insect_tag::update_all();
      ++frames;
      c.step();
      ASSERT_EQ(m.x, c.x) << frames;
      ASSERT_EQ(m.y, c.y) << frames;
      ASSERT_EQ(m.rot, c.rot) << frames;
      ASSERT_EQ(m.xstp, c.xstp) << frames;
      ASSERT_EQ(m.state, c.y > 450.0f ? 0 : 1) << frames;
      if (m.rot == 180.0f) dived = true;
      if (frames == 1) first_y = m.y;
    }
    EXPECT_TRUE(dived);
    EXPECT_GT(m.y, 450.0f);
    EXPECT_LT(first_y, 200.0f);  // the start heading points up
    EXPECT_LT(frames, 1000);
  }
  EXPECT_TRUE(seen[0]);
  EXPECT_TRUE(seen[1]);
}

}  // namespace
