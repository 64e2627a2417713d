// The stereo drawing object and the colour-id palette, on the real display.
#include <set>
#include <utility>

#include "render/anaglyph.h"
#include "render/qwdraw.h"
#include "tests/game/render_fixture.h"
#include "world/world.h"

namespace {

constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};

using QwDraw = RenderTest;

TEST_F(QwDraw, FlatDrawsOneImageWhateverDepthAndPasses) {
  stereo_mode = 0;
  qwdraw->slc(140, 4, 40, 4, 100, 20);
  platform::set_color(255, 255, 255);
  qwdraw->sip(1, 1, 0, 1, 1);
  qwdraw->i3d(white_square(), 100, 100, 0, 20, 0, 3);
  present();
  EXPECT_EQ(lit_pixels(), 36);
  EXPECT_EQ(at(100, 100), white);
  EXPECT_EQ(at(105, 105), white);
  EXPECT_EQ(at(80, 100), black);
  EXPECT_EQ(at(120, 100), black);
}

TEST_F(QwDraw, StereoDrawsEachEyeShiftedByTheDepth) {
  stereo_mode = 1;
  qwdraw->slc(140, 4, 40, 4, 100, 20);
  qwdraw->sip(1, 1, 0, 1, 1);
  qwdraw->i3d(white_square(), 100, 100, 0, 20, 0, 1);
  present();
  EXPECT_EQ(lit_pixels(), 72);
  EXPECT_EQ(at(80, 100), (Rgb{140, 4, 40}));
  EXPECT_EQ(at(125, 105), (Rgb{4, 100, 20}));
  EXPECT_EQ(at(100, 100), black);
}

// With no separation the two eyes land on each other and add up; a second
// pass adds them again, saturating.
TEST_F(QwDraw, StereoPassesAddUp) {
  stereo_mode = 2;
  qwdraw->slc(4, 100, 20, 140, 4, 10);
  qwdraw->sip(1, 1, 0, 1, 1);
  qwdraw->i3d(white_square(), 100, 100, 0, 0, 0, 1);
  qwdraw->i3d(white_square(), 200, 100, 0, 0, 0, 2);
  present();
  EXPECT_EQ(at(102, 102), (Rgb{144, 104, 30}));
  EXPECT_EQ(at(202, 102), (Rgb{255, 208, 60}));
}

// A stereo call leaves light blending and the right-eye colour in force, so
// a plain draw afterwards comes out in that colour and adds onto the screen.
TEST_F(QwDraw, StereoCallLeavesLightBlendAndRightEyeColour) {
  stereo_mode = 3;
  qwdraw->slc(4, 80, 60, 140, 4, 10);
  fill(100, 100, 6, 6, 50, 50, 50);
  fill(200, 100, 6, 6, 50, 50, 50);
  qwdraw->sip(2, 1, 0, 1, 1);
  platform::set_color(255, 255, 255);
  qwdraw->i3d(white_square(), 300, 300, 0, 0, 0, 1);
  platform::draw_image(white_square(), 100, 100, 0);
  qwdraw->sip(2, 1, 0, 1, 1);
  platform::set_color(255, 255, 255);
  qwdraw->t3d("x", 400, 400, 0, 0, 1);
  platform::draw_image(white_square(), 200, 100, 0);
  present();
  EXPECT_EQ(at(102, 102), (Rgb{190, 54, 60})) << "after i3d";
  EXPECT_EQ(at(202, 102), (Rgb{190, 54, 60})) << "after t3d";
}

TEST_F(QwDraw, StereoWithNoPassesDrawsNothingAndChangesNothing) {
  stereo_mode = 4;
  qwdraw->slc(4, 20, 140, 140, 4, 20);
  fill(100, 100, 6, 6, 50, 50, 50);
  qwdraw->sip(2, 1, 0, 1, 1);
  platform::set_color(10, 20, 30);
  qwdraw->i3d(white_square(), 300, 300, 0, 5, 0, 0);
  qwdraw->t3d("text", 300, 200, 5, 1, 0);
  platform::draw_image(white_square(), 100, 100, 0);
  present();
  EXPECT_EQ(at(102, 102), (Rgb{10, 20, 30})) << "blend or colour was changed";
  EXPECT_EQ(lit_pixels(), 36);
}

// The rotation in force is read whole-degree; a turned draw puts that back.
TEST_F(QwDraw, TurnedDrawRestoresTheTruncatedRotation) {
  for (int mode : {0, 2}) {
    stereo_mode = mode;
    platform::set_rotation(30.7f);
    qwdraw->i3d(white_square(), 100, 100, 0, 4, 0, 1);
    EXPECT_FLOAT_EQ(platform::get_rotation(), 30.7f)
        << "untouched without a turn";
    qwdraw->i3d(white_square(), 100, 100, 0, 4, 15, 1);
    EXPECT_FLOAT_EQ(platform::get_rotation(), 30.0f) << "mode " << mode;
    platform::set_rotation(-10.5f);
    qwdraw->i3d(white_square(), 100, 100, 0, 4, 15, 1);
    EXPECT_FLOAT_EQ(platform::get_rotation(), -10.0f)
        << "toward zero, mode " << mode;
  }
  platform::set_rotation(0);
}

// Centred text scaled by 2 is moved by its whole unscaled width and height:
// it covers the same pixels as the plain text placed there by hand.
TEST_F(QwDraw, CentredTextUsesTheUnscaledSizeTimesTheScale) {
  stereo_mode = 0;
  const std::string text = "Game Over";
  const float w = static_cast<float>(platform::text_width(text));
  const float h = static_cast<float>(platform::text_height());
  ASSERT_GT(w, 0);
  qwdraw->sip(3, 1, 0, 2, 2);
  platform::set_color(200, 200, 10);
  qwdraw->t3d(text, 320, 240, 0, 1, 2);
  present();
  std::vector<Rgb> centred;
  for (int y = 200; y < 280; ++y) {
    for (int x = 200; x < 440; ++x) centred.push_back(at(x, y));
  }
  clear_screen();
  qwdraw->sip(3, 1, 0, 2, 2);
  platform::set_color(200, 200, 10);
  platform::draw_text(text, 320 - w, 240 - h);
  present();
  std::size_t i = 0;
  int lit = 0;
  for (int y = 200; y < 280; ++y) {
    for (int x = 200; x < 440; ++x, ++i) {
      ASSERT_EQ(at(x, y), centred[i]) << x << "," << y;
      if (at(x, y) != black) ++lit;
    }
  }
  EXPECT_GT(lit, 50);
  EXPECT_FLOAT_EQ(qwdraw->txt_xs, 2);
  EXPECT_FLOAT_EQ(qwdraw->txt_ys, 2);
}

TEST_F(QwDraw, StereoTextDrawsBothEyes) {
  stereo_mode = 1;
  qwdraw->slc(140, 4, 40, 4, 100, 20);
  qwdraw->sip(3, 1, 0, 1, 1);
  qwdraw->t3d("W", 300, 200, 30, 0, 1);
  present();
  bool left = false;
  bool right = false;
  for (int y = 195; y < 230; ++y) {
    for (int x = 260; x < 350; ++x) {
      const Rgb c = at(x, y);
      if (c[0] > 2 * c[1]) left = true;   // red-magenta
      if (c[1] > 2 * c[0]) right = true;  // green
    }
  }
  EXPECT_TRUE(left);
  EXPECT_TRUE(right);
}

TEST_F(QwDraw, ColourIdsOutsideThePaletteLeaveTheColour) {
  stereo_mode = 0;
  const std::pair<int, Rgb> cases[] = {{0, {10, 20, 30}},  {6, {10, 20, 30}},
                                       {-1, {10, 20, 30}}, {1, {196, 2, 2}},
                                       {3, {0, 6, 230}},   {5, {255, 252, 5}}};
  int x = 20;
  for (const auto& [id, expected] : cases) {
    platform::set_color(10, 20, 30);
    set_colour_id(id);
    platform::draw_image(white_square(), static_cast<float>(x), 50, 0);
    x += 20;
  }
  present();
  x = 20;
  for (const auto& [id, expected] : cases) {
    EXPECT_EQ(at(x + 2, 52), expected) << "id " << id;
    x += 20;
  }
}

TEST(PickColours, PairsDifferAndCoverAllTwentyOrderedPairs) {
  platform::seed_rnd(7);
  std::set<std::pair<int, int>> seen[4];
  int* const pairs[4][2] = {{&player_colour_a, &player_colour_b},
                            {&mushroom_colour_a, &mushroom_colour_b},
                            {&crawler_colour_a, &crawler_colour_b},
                            {&insect_colour_a, &insect_colour_b}};
  for (int round = 0; round < 2000; ++round) {
    pick_colours();
    for (int p = 0; p < 4; ++p) {
      const int a = *pairs[p][0];
      const int b = *pairs[p][1];
      ASSERT_NE(a, b) << "pair " << p;
      ASSERT_GE(a, 1);
      ASSERT_LE(a, 5);
      ASSERT_GE(b, 1);
      ASSERT_LE(b, 5);
      seen[p].insert({a, b});
    }
  }
  for (int p = 0; p < 4; ++p) EXPECT_EQ(seen[p].size(), 20u) << "pair " << p;
}

}  // namespace
