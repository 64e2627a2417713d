// Blend modes, colour and alpha, the matrix and lines, read back from the
// real GL draw buffer.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/video/images.h"
#include "tests/platform/gfx_support.h"

using namespace platform;
using gfx_test::Screen;

namespace {

using Rgb = std::array<int, 3>;

// Draws a 4 x 4 source over a 4 x 4 background of (100, 50, 200) in the
// given blend mode and returns the colour that results.
Rgb blend_result(int mode, Rgb source, std::uint8_t source_alpha,
                 float alpha = 1.0f) {
  gfx_test::fresh_display();
  auto background = gfx_test::solid_image(4, 4, 100, 50, 200);
  auto top = gfx_test::solid_image(4, 4, 255, 255, 255, source_alpha);
  set_blend(2);
  draw_image(background, 10, 10, 0);
  set_blend(mode);
  set_color(source[0], source[1], source[2]);
  set_alpha(alpha);
  draw_image(top, 10, 10, 0);
  return Screen().at(11, 11);
}

void expect_near(Rgb got, Rgb want) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(got[i], want[i], 1) << "channel " << i;
  }
}

}  // namespace

TEST(GfxBlend, EachModeOnAKnownBackground) {
  // Mask: alpha 0.6 drawn, replacing; alpha 0.4 not drawn.
  expect_near(blend_result(1, {40, 80, 120}, 153), {40, 80, 120});
  expect_near(blend_result(1, {40, 80, 120}, 102), {100, 50, 200});
  // Solid ignores alpha altogether.
  expect_near(blend_result(2, {40, 80, 120}, 0), {40, 80, 120});
  // Alpha: half of each.
  expect_near(blend_result(3, {200, 0, 100}, 255, 0.5f), {150, 25, 150});
  // Light adds, saturating.
  expect_near(blend_result(4, {200, 100, 10}, 255), {255, 150, 210});
  // Shade multiplies.
  expect_near(blend_result(5, {128, 255, 0}, 255), {50, 50, 0});
  // Unknown modes are solid.
  expect_near(blend_result(0, {40, 80, 120}, 0), {40, 80, 120});
  expect_near(blend_result(7, {40, 80, 120}, 0), {40, 80, 120});
}

TEST(GfxBlend, MaskTestUsesTexelTimesDrawingAlpha) {
  // Texel alpha 1 under drawing alpha 0.49 falls below the threshold.
  expect_near(blend_result(1, {255, 255, 255}, 255, 0.49f), {100, 50, 200});
  expect_near(blend_result(1, {255, 255, 255}, 255, 0.51f), {255, 255, 255});
}

TEST(GfxBlend, ColourTintsAWhiteImageAndIsClamped) {
  expect_near(blend_result(2, {196, 2, 2}, 255), {196, 2, 2});
  expect_near(blend_result(2, {300, -5, 128}, 255), {255, 0, 128});
}

TEST(GfxBlend, AlphaIsClampedAndTruncated) {
  // Alpha 2.0 acts as 1.0 and -1 as 0 in alpha blending.
  expect_near(blend_result(3, {0, 0, 0}, 255, 2.0f), {0, 0, 0});
  expect_near(blend_result(3, {0, 0, 0}, 255, -1.0f), {100, 50, 200});
}

TEST(GfxMatrix, RotationTurnsClockwiseAndScaleStretches) {
  gfx_test::fresh_display();
  // A 10 x 2 bar from its left end: turned by 90 degrees it points down.
  auto bar = gfx_test::solid_image(10, 2, 255, 255, 255);
  set_rotation(90.0f);
  EXPECT_FLOAT_EQ(get_rotation(), 90.0f);
  draw_image(bar, 100, 100, 0);
  Screen turned;
  EXPECT_EQ(turned.lit(98, 100, 100, 110), 20);  // below, left of x = 100
  EXPECT_EQ(turned.lit(100, 90, 120, 100), 0);
  EXPECT_EQ(turned.lit(100, 98, 120, 102), 0);

  gfx_test::fresh_display();
  set_scale(2.0f, 3.0f);
  draw_image(bar, 50, 50, 0);
  Screen scaled;
  EXPECT_EQ(scaled.lit(50, 50, 70, 56), 120);
  EXPECT_EQ(scaled.lit(40, 40, 80, 70), 120);
}

TEST(GfxMatrix, HandleIsPlacedAtTheDrawPosition) {
  gfx_test::fresh_display();
  auto square = gfx_test::solid_image(10, 10, 255, 255, 255);
  mid_handle_image(square);
  draw_image(square, 100, 100, 0);
  Screen s;
  EXPECT_EQ(s.lit(95, 95, 105, 105), 100);
  EXPECT_EQ(s.lit(90, 90, 110, 110), 100);
}

TEST(GfxLines, EndPointOnlyWhenAsked) {
  gfx_test::fresh_display();
  draw_line(10, 10, 20, 10, 0);
  draw_line(10, 20, 20, 20, 1);
  draw_line(30, 10, 30, 15, 1);  // vertical
  draw_line(40, 10, 44, 14, 1);  // diagonal
  draw_line(50, 10, 50, 10, 1);  // a single point
  draw_line(60, 10, 60, 10, 0);  // nothing
  Screen s;
  EXPECT_EQ(s.lit(0, 9, 30, 12), 10);
  EXPECT_EQ(s.at(10, 10)[0], 255);
  EXPECT_EQ(s.at(20, 10)[0], 0);
  EXPECT_EQ(s.lit(0, 19, 30, 22), 11);
  EXPECT_EQ(s.at(20, 20)[0], 255);
  EXPECT_EQ(s.lit(28, 8, 33, 17), 6);
  EXPECT_EQ(s.lit(38, 8, 47, 17), 5);
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(s.at(40 + i, 10 + i)[0], 255);
  EXPECT_EQ(s.lit(48, 8, 53, 13), 1);
  EXPECT_EQ(s.lit(58, 8, 63, 13), 0);
}

TEST(GfxLines, RetroRowsCoverExactlyTheirRow) {
  gfx_test::fresh_display();
  auto white = gfx_test::solid_image(640, 480, 255, 255, 255);
  set_blend(2);
  draw_image(white, 0, 0, 0);
  set_color(2, 2, 2);
  for (int y = 1; y <= 480; y += 2) draw_line(0, y, 640, y, 1);
  Screen s;
  for (int y = 0; y < 480; ++y) {
    const int want = y % 2 ? 2 : 255;
    for (int x : {0, 1, 320, 638, 639}) {
      ASSERT_EQ(s.at(x, y), (Rgb{want, want, want})) << x << "," << y;
    }
  }
}

namespace {

// A 256 x 256 image whose texels run through every alpha (down) and many
// colours (across).
ImageRef ramp_image(bool as_background) {
  auto image = create_image(256, 256, 1, 0);
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const auto v = [](int n) { return static_cast<std::uint8_t>(n & 255); };
      if (as_background) {
        rgba.insert(rgba.end(), {v(y), v(x), v(x + y), 255});
      } else {
        rgba.insert(rgba.end(), {v(x), v(255 - x), v(x * 7), v(y)});
      }
    }
  }
  detail::store_frame(*image, 0, rgba.data(), true);
  return image;
}

// The ramp drawn in light over the background, either twice in mode 4 or
// once in mode 6, with the given tint.
std::vector<Rgb> lit_ramp(bool doubled, Rgb tint, float alpha) {
  gfx_test::fresh_display();
  static const ImageRef background = ramp_image(true);
  static const ImageRef light = ramp_image(false);
  set_blend(2);
  draw_image(background, 0, 0, 0);
  set_color(tint[0], tint[1], tint[2]);
  set_alpha(alpha);
  for (int pass = 0; pass < (doubled ? 1 : 2); ++pass) {
    set_blend(doubled ? 6 : 4);
    draw_image(light, 0, 0, 0);
  }
  Screen screen;
  std::vector<Rgb> pixels;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) pixels.push_back(screen.at(x, y));
  }
  return pixels;
}

}  // namespace

TEST(GfxBlend, LightTwiceGivesThePixelsOfTwoLightPasses) {
  const std::pair<Rgb, float> tints[] = {
      {{255, 255, 255}, 1.0f}, {{140, 4, 40}, 1.0f}, {{4, 100, 20}, 0.6f}};
  for (const auto& [tint, alpha] : tints) {
    const std::vector<Rgb> twice = lit_ramp(false, tint, alpha);
    const std::vector<Rgb> fused = lit_ramp(true, tint, alpha);
    int differing = 0;
    for (std::size_t i = 0; i < twice.size(); ++i) {
      if (twice[i] != fused[i] && differing++ == 0) {
        ADD_FAILURE() << "tint " << tint[0] << "," << tint[1] << "," << tint[2]
                      << " alpha " << alpha << ": first at x " << i % 256
                      << " y " << i / 256;
      }
    }
    EXPECT_EQ(differing, 0);
  }
}
