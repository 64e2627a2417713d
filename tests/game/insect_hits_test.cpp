// Shots against insects and insects against ships.
#include <vector>

#include "platform/video/video.h"
#include "tests/game/insect_fixture.h"

namespace {

std::vector<std::string> pop_up_texts() {
  std::vector<std::string> out;
  points_list.for_each([&](const points_tag& p) { out.push_back(p.pnt); });
  return out;
}

// The insect's hit shape is a full 10 x 10 square around its position: the
// shot's own shape reaches it from 6 columns right, 9 rows below or above.
TEST_F(InsectTest, ShotHitsTheWholeTenPixelSquareAndNothingBeyond) {
  struct offset {
    int dx, dy;
    bool hit;
  };
  const offset cases[] = {{0, 0, true},   {6, 0, true},   {7, 0, false},
                          {-6, 0, true},  {-7, 0, false}, {0, 9, true},
                          {0, 10, false}, {0, -9, true},  {0, -10, false},
                          {6, 9, true},   {-6, -5, true}};
  stage = 4;
  for (const offset& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    clear_field();
    player1->score = 0;
    flea_landing_at(300.0f, 250.0f);
    aim_shot(*player1, 300 + c.dx, 250 + c.dy);
    insect_tag::update_all();
    EXPECT_EQ(insect(2).state, c.hit ? 0 : 1);
    EXPECT_EQ(player1->score, c.hit ? 1200 : 0);
    EXPECT_EQ(player1->shoot, 1) << "a shot flies on through insects";
  }
}

TEST_F(InsectTest, ShotInsectPaysByKindAndStageWithPopUpAndDebris) {
  stage = 7;
  const int bonus_before = plays("bonus");
  flea_landing_at(250.5f, 300.7f);
  aim_shot(*player1, 250, 300);
  insect_tag::update_all();
  EXPECT_EQ(player1->score, 300 * 7);
  EXPECT_EQ(plays("bonus") - bonus_before, 1);
  ASSERT_EQ(points_list.size(), 1u);
  points_list.for_each([](const points_tag& p) {
    EXPECT_EQ(p.pnt, "2100");
    EXPECT_EQ(p.x, 250);
    EXPECT_EQ(p.y, 300);
  });
  EXPECT_EQ(particle_list.size(), 20u);
}

TEST_F(InsectTest, OneShotTakesTwoInsectsInOnePass) {
  stage = 4;
  insect_tag& spider = insect(0);
  spider.state = 1;
  spider.x = 300.0f;
  spider.y = 380.0f;
  spider.xstp = 1.0f;
  spider.ystp = 2.0f;
  spider.dist = 40;
  flea_landing_at(301.0f, 382.0f);
  aim_shot(*player1, 301, 382);
  insect_tag::update_all();
  EXPECT_EQ(spider.state, 0);
  EXPECT_EQ(insect(2).state, 0);
  EXPECT_EQ(player1->score, (200 + 300) * 4);
  EXPECT_EQ(player1->shoot, 1);
  EXPECT_EQ(points_list.size(), 2u);
}

TEST_F(InsectTest, BothPlayersScoreOnOneInsect) {
  start_new_game(3, true);
  clear_field();
  stage = 6;
  for (player_tag* p : {player1.get(), player2.get()}) {
    p->state = 0;
    p->score = 0;
  }
  insect_tag& mosquito = insect(3);
  mosquito.state = 1;
  mosquito.x = 320.0f;
  mosquito.y = 300.0f;
  mosquito.rot = 180.0f;  // straight down: it lands on (320, 302)
  mosquito.xstp = 2.0f;
  mosquito.ystp = 3.0f;
  aim_shot(*player1, 318, 302);
  aim_shot(*player2, 322, 304);
  insect_tag::update_all();
  EXPECT_EQ(mosquito.state, 0);
  EXPECT_EQ(player1->score, 2400);
  EXPECT_EQ(player2->score, 2400);
  EXPECT_EQ(pop_up_texts(), (std::vector<std::string>{"2400", "2400"}));
  EXPECT_EQ(particle_list.size(), 40u);
}

TEST_F(InsectTest, ScorpionGivesALifeToEachShooterUpToTwelve) {
  stage = 2;
  player1->lives = 12;
  player2->lives = 5;
  const int life_before = plays("x1life");
  scorpion_landing_at(400.0f, 35.0f);
  aim_shot(*player1, 400, 35);
  aim_shot(*player2, 403, 38);
  insect_tag::update_all();
  EXPECT_EQ(insect(1).state, 0);
  EXPECT_EQ(player1->lives, 12);
  EXPECT_EQ(player2->lives, 6);
  EXPECT_EQ(player1->score, 0);
  EXPECT_EQ(plays("x1life") - life_before, 2);
  EXPECT_EQ(pop_up_texts(), (std::vector<std::string>{"1up", "1up"}));
}

TEST_F(InsectTest, ScorpionHitInItsFrameOfAppearance) {
  stage = 2;
  insect(1).tmr = 1;
  aim_shot(*player1, 455, 35);
  insect_tag::update_all();
  EXPECT_EQ(insect(1).state, 0);
  EXPECT_EQ(player1->lives, 4);
  EXPECT_GE(insect(1).tmr, 200) << "the next wait was drawn on entering";
}

// Counts lit pixels of the presented display in a box around (x, y).
int lit_pixels_near(int x, int y) {
  std::vector<std::uint8_t> rgba;
  EXPECT_TRUE(platform::detail::read_presented_frame(rgba));
  if (rgba.size() < 640u * 480u * 4u) return -1;
  int lit = 0;
  for (int row = y - 12; row <= y + 12; ++row) {
    for (int col = x - 12; col <= x + 12; ++col) {
      const std::size_t i = (static_cast<std::size_t>(row) * 640 + col) * 4;
      if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 60) ++lit;
    }
  }
  return lit;
}

// A spider enters on a wall column: it is not drawn there, yet a shot or a
// ship meets it. The frame after, one pixel inside, it shows.
TEST_F(InsectTest, SpiderOnTheWallIsHiddenButHittable) {
  const int kept_mode = stereo_mode;
  const int kept_depth = hologram_intensity;
  stereo_mode = 0;
  hologram_intensity = 0;
  for (int seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE(seed);
    clear_field();
    player1->score = 0;
    insect(0).tmr = 1;
    platform::seed_rnd(spread_seed(seed));
    const int side = platform::float_to_int(platform::rnd(2, 0));
    const int iy = platform::float_to_int(platform::rnd(330, 430));
    const int wall = side == 0 ? 175 : 465;

    // Entering, with a shot waiting at the wall.
    platform::cls();
    platform::seed_rnd(spread_seed(seed));
    aim_shot(*player1, wall, iy);
    insect_tag::update_all();
    platform::flip(0);
    EXPECT_EQ(insect(0).state, 0);
    EXPECT_EQ(player1->score, 200);
    EXPECT_EQ(lit_pixels_near(wall, iy), 0);

    // Entering again, unshot, and one frame inside the field.
    clear_field();
    player1->shoot = 0;
    insect(0).tmr = 1;
    platform::seed_rnd(spread_seed(seed));
    platform::cls();
    insect_tag::update_all();
    platform::flip(0);
    EXPECT_EQ(lit_pixels_near(wall, iy), 0);
    platform::cls();
    insect_tag::update_all();
    platform::flip(0);
    EXPECT_EQ(insect(0).state, 1);
    EXPECT_GT(lit_pixels_near(wall, iy), 0);
  }
  stereo_mode = kept_mode;
  hologram_intensity = kept_depth;
}

// Flying out to the left, the spider's last frame on the field is on the wall
// column: hidden there, yet still hittable. One column further it is gone
// before any test.
TEST_F(InsectTest, SpiderLeavingAcrossTheWallIsHiddenOnIt) {
  const int kept_mode = stereo_mode;
  const int kept_depth = hologram_intensity;
  stereo_mode = 0;
  hologram_intensity = 0;
  for (bool shoot_on_wall : {true, false}) {
    SCOPED_TRACE(shoot_on_wall);
    clear_field();
    player1->score = 0;
    player1->shoot = 0;
    insect_tag& s = insect(0);
    s.state = 1;
    s.x = 177.0f;
    s.xstp = -1.0f;
    s.y = 380.0f;
    s.ystp = 2.0f;
    s.dist = 40;
    platform::cls();
    insect_tag::update_all();
    platform::flip(0);
    EXPECT_GT(lit_pixels_near(176, 382), 0);

    if (shoot_on_wall) aim_shot(*player1, 175, 384);
    platform::cls();
    insect_tag::update_all();
    platform::flip(0);
    EXPECT_EQ(lit_pixels_near(175, 384), 0);
    EXPECT_EQ(s.x, 175.0f);
    EXPECT_EQ(s.state, shoot_on_wall ? 0 : 1);
    EXPECT_EQ(player1->score, shoot_on_wall ? 200 : 0);
    if (shoot_on_wall) continue;

    aim_shot(*player1, 174, 386);
    insect_tag::update_all();
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(player1->score, 0);
  }
  stereo_mode = kept_mode;
  hologram_intensity = kept_depth;
}

TEST_F(InsectTest, SpiderOnTheWallKillsAShipThere) {
  int kills = 0;
  for (int seed = 1; seed <= 200 && kills < 3; ++seed) {
    platform::seed_rnd(spread_seed(seed));
    const int side = platform::float_to_int(platform::rnd(2, 0));
    const float y = static_cast<float>(platform::rnd(330, 430));
    if (y < 410.0f) continue;
    SCOPED_TRACE(seed);
    clear_field();
    play_phase = 1;
    insect(0).tmr = 1;
    ship_in_play(*player1, side == 0 ? 175.0f : 465.0f, y);
    player1->lives = 3;
    platform::seed_rnd(spread_seed(seed));
    insect_tag::update_all();
    EXPECT_EQ(player1->state, 0);
    EXPECT_EQ(player1->lives, 2);
    EXPECT_EQ(insect(0).state, 0);
    EXPECT_EQ(play_phase, 2);
    ++kills;
  }
  EXPECT_EQ(kills, 3);
}

// A spider lands on row 409 or 410 right over a ship on row 410.
void spider_landing_on_row(int row) {
  insect_tag& s = *insects[0];
  s.state = 1;
  s.x = 299.0f;
  s.xstp = 1.0f;
  s.y = static_cast<float>(row) - 2.0f + 0.5f;
  s.ystp = 2.0f;
  s.dist = 40;
}

TEST_F(InsectTest, ShipContactOnlyFromRow410) {
  ship_in_play(*player1, 300.0f, 410.0f);
  spider_landing_on_row(409);
  insect_tag::update_all();
  EXPECT_EQ(insect(0).state, 1);
  EXPECT_EQ(player1->state, 1);
  EXPECT_EQ(play_phase, 1);

  const int explode_before = plays("explode");
  spider_landing_on_row(410);
  insect_tag::update_all();
  EXPECT_EQ(insect(0).state, 0);
  EXPECT_EQ(player1->state, 0);
  EXPECT_EQ(player1->lives, 2);
  EXPECT_EQ(play_phase, 2);
  EXPECT_EQ(plays("explode") - explode_before, 1);
  EXPECT_EQ(particle_list.size(), 20u + 30u);
}

TEST_F(InsectTest, OneInsectKillsBothShipsItOverlaps) {
  start_new_game(5, true);
  clear_field();
  ship_in_play(*player1, 294.0f, 420.0f);
  ship_in_play(*player2, 306.0f, 420.0f);
  player1->lives = 3;
  player2->lives = 1;
  insect_tag& s = insect(0);
  s.state = 1;
  s.x = 299.0f;
  s.xstp = 1.0f;
  s.y = 418.0f;
  s.ystp = 2.0f;
  s.dist = 40;  // lands on (300, 420)
  insect_tag::update_all();
  EXPECT_EQ(player1->state, 0);
  EXPECT_EQ(player2->state, 0);
  EXPECT_EQ(player1->lives, 2);
  EXPECT_EQ(player2->lives, 0);
  EXPECT_EQ(s.state, 0);
  EXPECT_EQ(play_phase, 2);
  EXPECT_EQ(particle_list.size(), 20u + 30u + 20u + 30u);
}

TEST_F(InsectTest, ShipsOutOfPlayAreNotTouched) {
  ship_in_play(*player1, 300.0f, 420.0f);
  player1->state = 0;
  insect_tag& s = insect(0);
  s.state = 1;
  s.x = 299.0f;
  s.xstp = 1.0f;
  s.y = 418.0f;
  s.ystp = 2.0f;
  s.dist = 40;
  insect_tag::update_all();
  EXPECT_EQ(s.state, 1);
  EXPECT_EQ(player1->lives, 3);
  EXPECT_EQ(play_phase, 1);
}

}  // namespace
