// Text: the built-in font, the embedded TrueType font, pen placement.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/system/system.h"
#include "platform/video/gl/renderer.h"
#include "tests/platform/gfx_support.h"

using namespace platform;
using gfx_test::Screen;

namespace {

FontRef game_font() {
  static const std::vector<std::uint8_t> bytes = [] {
    std::vector<std::uint8_t> b;
    detail::read_bytes(
        std::string(VERMIX_SOURCE_DIR) + "/assets/fonts/joystix.ttf", b);
    return b;
  }();
  register_embedded_file("fonts\\joystix.ttf", bytes.data(), bytes.size());
  return load_image_font("incbin::fonts\\joystix.ttf", 12, 4);
}

// Bounding box of the lit pixels in a rectangle.
struct Ink {
  int left = 10000, top = 10000, right = -1, bottom = -1;
};
Ink ink(const Screen& s, int x0, int y0, int x1, int y1) {
  Ink box;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const auto c = s.at(x, y);
      if (!c[0] && !c[1] && !c[2]) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

}  // namespace

TEST(GfxText, BuiltInFontMeasures) {
  gfx_test::fresh_display();
  EXPECT_EQ(text_height(), 16);
  EXPECT_EQ(text_width(""), 0);
  EXPECT_EQ(text_width("\x01\x7f\xff"), 0);  // no glyphs
  EXPECT_EQ(text_width("Ab 1"), 4 * text_width("A"));
  EXPECT_GT(text_width("A"), 0);
}

TEST(GfxText, BuiltInFontDrawsEveryPrintableCharacterInItsLine) {
  gfx_test::fresh_display();
  const int advance = text_width("A");
  for (int c = 33; c <= 126; ++c) {
    cls();
    draw_text(std::string(1, static_cast<char>(c)), 100, 200);
    Screen s;
    const Ink box = ink(s, 90, 190, 130, 230);
    ASSERT_GE(box.right, 0) << "nothing drawn for " << char(c);
    EXPECT_GE(box.left, 100) << char(c);
    EXPECT_LT(box.right, 100 + advance) << char(c);
    EXPECT_GE(box.top, 200) << char(c);
    EXPECT_LT(box.bottom, 216) << char(c);
  }
  cls();
  draw_text(" ", 100, 200);
  EXPECT_EQ(Screen().lit(90, 190, 130, 230), 0);
}

TEST(GfxText, GameFontLoadsAtTwelveSmooth) {
  gfx_test::fresh_display();
  FontRef font = game_font();
  ASSERT_TRUE(font);
  set_image_font(font);
  EXPECT_GE(text_height(), 12);
  EXPECT_LE(text_height(), 20);
  EXPECT_EQ(text_width(""), 0);
  EXPECT_EQ(text_width("\x01\x02"), 0);
  EXPECT_EQ(text_width("ABC"),
            text_width("A") + text_width("B") + text_width("C"));
  set_image_font(nullptr);
  EXPECT_EQ(text_height(), 16);
}

TEST(GfxText, MissingOrBrokenFontsGiveNull) {
  EXPECT_FALSE(load_image_font("no such font.ttf", 12, 4));
  static const std::uint8_t junk[] = "not a font at all";
  register_embedded_file("junk.ttf", junk, sizeof junk);
  EXPECT_FALSE(load_image_font("incbin::junk.ttf", 12, 4));
  ASSERT_TRUE(game_font());
  EXPECT_FALSE(load_image_font("incbin::fonts\\joystix.ttf", 0, 4));
}

TEST(GfxText, PenAdvancesAlongTheMatrix) {
  gfx_test::fresh_display();
  set_image_font(game_font());
  const int w = text_width("HH");
  draw_text("HH", 100, 100);
  Screen flat;
  const Ink a = ink(flat, 80, 80, 200, 140);
  ASSERT_GE(a.right, 0);
  EXPECT_GE(a.left, 98);  // a smooth glyph may reach one pixel out
  EXPECT_LE(a.right, 100 + w + 1);
  EXPECT_GE(a.top, 99);
  EXPECT_LE(a.bottom, 100 + text_height() + 1);
  const int height = a.bottom - a.top;
  const int width = a.right - a.left;

  // Turned clockwise by 90 degrees the text runs downwards, left of x = 100.
  cls();
  set_rotation(90.0f);
  draw_text("HH", 100, 100);
  set_rotation(0.0f);
  Screen turned;
  const Ink b = ink(turned, 60, 60, 140, 200);
  ASSERT_GE(b.right, 0);
  EXPECT_LE(b.right, 101);
  EXPECT_GE(b.top, 98);
  EXPECT_NEAR(b.bottom - b.top, width, 1);
  EXPECT_NEAR(b.right - b.left, height, 1);

  // Scaled by two the line is twice as long; the measure stays unscaled.
  cls();
  set_scale(2.0f, 2.0f);
  draw_text("HH", 100, 100);
  EXPECT_EQ(text_width("HH"), w);
  set_scale(1.0f, 1.0f);
  Screen scaled;
  const Ink c = ink(scaled, 80, 80, 300, 200);
  EXPECT_NEAR(c.right - c.left, 2 * width, 3);
}

TEST(GfxText, GlyphsAreTintedAndOneLineIsOneBatch) {
  gfx_test::fresh_display();
  set_image_font(game_font());
  set_color(200, 200, 10);
  draw_text("WARM UP", 10, 10);  // glyphs rendered and stored
  detail::renderer::flush();
  const long before = detail::renderer::draw_calls();
  draw_text("WARM UP", 10, 40);
  detail::renderer::flush();
  EXPECT_EQ(detail::renderer::draw_calls() - before, 1);
  Screen s;
  int yellow = 0;
  for (int y = 40; y < 60; ++y) {
    for (int x = 10; x < 10 + text_width("WARM UP"); ++x) {
      const auto c = s.at(x, y);
      if (c == std::array<int, 3>{200, 200, 10}) ++yellow;
      ASSERT_LE(c[2], 10);
    }
  }
  EXPECT_GT(yellow, 20);
}

TEST(GfxText, GameFontKeepsTheMeasuresTheLayoutWasMadeFor) {
  // Text is centred and right-aligned by these measures: a 7-pixel advance
  // for every character and a 14-pixel line.
  gfx_test::fresh_display();
  set_image_font(game_font());
  EXPECT_EQ(text_height(), 14);
  for (int c = 32; c <= 126; ++c) {
    EXPECT_EQ(text_width(std::string(1, static_cast<char>(c))), 7)
        << "character " << char(c);
  }
  EXPECT_EQ(text_width("Vermix 2D\\3D"), 12 * 7);
}

TEST(GfxText, GameFontIsCrispDistinctAndInsideItsCellAtTwelvePixels) {
  gfx_test::fresh_display();
  set_image_font(game_font());
  const std::array<int, 3> ink_colour{200, 200, 10}, black{0, 0, 0};
  std::vector<std::vector<bool>> images;
  for (int c = 33; c <= 126; ++c) {
    cls();
    set_color(200, 200, 10);
    draw_text(std::string(1, static_cast<char>(c)), 100, 100);
    Screen s;
    std::vector<bool> image;
    int lit = 0;
    for (int y = 96; y < 118; ++y) {
      for (int x = 96; x < 110; ++x) {
        const auto p = s.at(x, y);
        ASSERT_TRUE(p == ink_colour || p == black)
            << "half-covered pixel at " << x - 100 << "," << y - 100 << " of "
            << char(c);
        const bool on = p == ink_colour;
        if (on) {
          // A descender may hang one pixel below the 14-pixel line.
          EXPECT_TRUE(x >= 100 && x < 107 && y >= 100 && y < 115)
              << char(c) << " leaves its cell at " << x - 100 << "," << y - 100;
        }
        lit += on;
        image.push_back(on);
      }
    }
    EXPECT_GT(lit, 0) << "no glyph for " << char(c);
    for (std::size_t i = 0; i < images.size(); ++i) {
      EXPECT_FALSE(images[i] == image)
          << char(c) << " looks the same as " << char(33 + i);
    }
    images.push_back(image);
  }
}
