// Loading, creating, grabbing and drawing images, and pixel-exact collisions.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/video/gl/gl_api.h"
#include "platform/video/gl/mip_levels.h"
#include "platform/video/gl/renderer.h"
#include "platform/video/images.h"
#include "platform/video/video.h"
#include "tests/platform/gfx_support.h"
#include "tests/support/scratch_folder.h"

using namespace platform;
using gfx_test::Screen;
using Rgb = std::array<int, 3>;

namespace {

// A 6 x 6 RGB picture (no alpha channel): a white square in the top-left
// 3 x 3, a grey pixel at (5, 0), black elsewhere.
const std::vector<std::uint8_t>& picture_bytes() {
  static const std::vector<std::uint8_t> bytes = [] {
    std::vector<std::uint8_t> rgb(6 * 6 * 3, 0);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) {
        for (int c = 0; c < 3; ++c) rgb[(y * 6 + x) * 3 + c] = 255;
      }
    }
    for (int c = 0; c < 3; ++c) rgb[5 * 3 + c] = 80;
    return gfx_test::rgb_png(6, 6, rgb);
  }();
  return bytes;
}

std::string picture_file(const testing_support::ScratchFolder& folder) {
  const std::string path = folder.file("picture.png");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(picture_bytes().data()),
             static_cast<std::streamsize>(picture_bytes().size()));
  return path;
}

int transparent_pixels(const ImageRef& image, int frame) {
  int count = 0;
  const auto& rgba = image->frames[frame].rgba;
  for (std::size_t i = 3; i < rgba.size(); i += 4) count += rgba[i] == 0;
  return count;
}

}  // namespace

TEST(GfxImages, PngFromFileAndFromEmbeddedBytes) {
  gfx_test::fresh_display();
  const testing_support::ScratchFolder folder;
  auto plain = load_image(picture_file(folder), 0);
  ASSERT_TRUE(plain);
  EXPECT_EQ(image_width(plain), 6);
  EXPECT_EQ(image_height(plain), 6);
  EXPECT_EQ(transparent_pixels(plain, 0), 0);  // no alpha channel, not masked

  const auto& bytes = picture_bytes();
  register_embedded_file("test\\picture.png", bytes.data(), bytes.size());
  auto masked = load_image("incbin::test/picture.png", -1);  // flags 9
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->flags, 9);
  // Exactly the black pixels went transparent.
  EXPECT_EQ(transparent_pixels(masked, 0), 36 - 10);
  EXPECT_EQ(masked->frames[0].rgba[5 * 4], 80);
  EXPECT_EQ(masked->frames[0].rgba[5 * 4 + 3], 255);

  // Drawn in mask mode over red, the black stays red.
  auto red = gfx_test::solid_image(6, 6, 255, 0, 0);
  draw_image(red, 30, 30, 0);
  draw_image(masked, 30, 30, 0);
  Screen s;
  EXPECT_EQ(s.at(30, 30), (Rgb{255, 255, 255}));
  EXPECT_EQ(s.at(35, 30), (Rgb{80, 80, 80}));
  EXPECT_EQ(s.at(35, 35), (Rgb{255, 0, 0}));
}

TEST(GfxImages, PngWithAlphaKeepsItsAlphaWhenMasked) {
  gfx_test::fresh_display();
  const testing_support::ScratchFolder folder;
  const std::string path = folder.file("alpha.png");
  // Black at alpha 200 and white at alpha 10.
  ASSERT_TRUE(detail::write_png(path, 2, 1, {0, 0, 0, 200, 255, 255, 255, 10}));
  auto image = load_image(path, 1);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->frames[0].rgba[3], 200);
  EXPECT_EQ(image->frames[0].rgba[7], 10);
}

TEST(GfxImages, MissingOrBrokenFilesGiveNull) {
  gfx_test::fresh_display();
  EXPECT_FALSE(load_image("no such file.png", -1));
  EXPECT_FALSE(load_image("incbin::no such name", -1));
  const testing_support::ScratchFolder folder;
  const std::string broken = folder.file("broken.png");
  std::ofstream(broken) << "\x89PNG\r\n\x1a\n and then nothing sensible";
  EXPECT_FALSE(load_image(broken, -1));
  // Null images are ignored everywhere.
  draw_image(nullptr, 0, 0, 0);
  grab_image(nullptr, 0, 0, 0);
  mid_handle_image(nullptr);
  EXPECT_EQ(image_width(nullptr), 0);
  EXPECT_EQ(images_collide(nullptr, 0, 0, 0, nullptr, 0, 0, 0), 0);
}

TEST(GfxImages, CreatedImagesTakeAutomaticFlagsAndHandles) {
  gfx_test::fresh_display();
  auto_image_flags(9);
  auto_image_flags(-1);  // leaves 9
  EXPECT_EQ(create_image(4, 4, 1, -1)->flags, 9);
  EXPECT_EQ(create_image(4, 4, 1, 2)->flags, 10);  // always dynamic
  auto corner = create_image(10, 6, 3, -1);
  EXPECT_EQ(corner->frames.size(), 3u);
  EXPECT_EQ(corner->handle_x, 0.0f);
  auto_mid_handle(1);
  auto centred = create_image(10, 6, 1, -1);
  auto_mid_handle(0);
  EXPECT_EQ(centred->handle_x, 5.0f);
  EXPECT_EQ(centred->handle_y, 3.0f);
  EXPECT_FALSE(create_image(0, 4, 1, -1));
}

TEST(GfxImages, MaskedGrabDropsBlackAndFramesDrawTheirOwnPixels) {
  gfx_test::fresh_display();
  // Three 4 x 4 frames grabbed from three coloured squares, each with a
  // black hole in its corner pixel.
  auto sheet = create_image(4, 4, 3, -1);
  const Rgb colours[3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}};
  for (int f = 0; f < 3; ++f) {
    auto square = gfx_test::solid_image(4, 4, colours[f][0], colours[f][1],
                                        colours[f][2]);
    draw_image(square, 20.0f + 10 * f, 20, 0);
  }
  auto hole = gfx_test::solid_image(1, 1, 0, 0, 0);
  set_blend(2);
  for (int f = 0; f < 3; ++f) draw_image(hole, 20.0f + 10 * f, 20, 0);
  for (int f = 0; f < 3; ++f) grab_image(sheet, 20 + 10 * f, 20, f);
  EXPECT_EQ(transparent_pixels(sheet, 1), 1);

  // Drawn over grey in mask mode: the hole shows the grey.
  cls();
  auto grey = gfx_test::solid_image(100, 20, 90, 90, 90);
  draw_image(grey, 0, 100, 0);
  set_blend(1);
  for (int f = 2; f >= 0; --f) draw_image(sheet, 10.0f + 10 * f, 110, f);
  Screen s;
  for (int f = 0; f < 3; ++f) {
    EXPECT_EQ(s.at(10 + 10 * f, 110), (Rgb{90, 90, 90})) << f;
    EXPECT_EQ(s.at(11 + 10 * f, 110), colours[f]) << f;
    EXPECT_EQ(s.at(13 + 10 * f, 113), colours[f]) << f;
    EXPECT_EQ(s.at(14 + 10 * f, 113), (Rgb{90, 90, 90})) << f;
  }
}

TEST(GfxImages, GrabReplacesAFrameAlreadyDrawn) {
  gfx_test::fresh_display();
  auto snapshot = create_image(2, 2, 1, 0);
  auto red = gfx_test::solid_image(2, 2, 255, 0, 0);
  draw_image(red, 0, 0, 0);
  grab_image(snapshot, 0, 0, 0);
  draw_image(snapshot, 10, 10, 0);
  auto green = gfx_test::solid_image(2, 2, 0, 255, 0);
  draw_image(green, 0, 0, 0);
  grab_image(snapshot, 0, 0, 0);
  draw_image(snapshot, 20, 10, 0);
  Screen s;
  EXPECT_EQ(s.at(10, 10), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.at(20, 10), (Rgb{0, 255, 0}));
}

TEST(GfxImages, GrabOutsideTheDisplayReadsBlack) {
  gfx_test::fresh_display();
  auto white = gfx_test::solid_image(4, 4, 255, 255, 255);
  draw_image(white, 636, 476, 0);
  auto edge = create_image(8, 8, 1, -1);
  grab_image(edge, 636, 476, 0);
  // Only the 4 x 4 on the display is opaque.
  EXPECT_EQ(transparent_pixels(edge, 0), 64 - 16);
  EXPECT_EQ(edge->frames[0].rgba[0], 255);
}

// Making a texture draws it in every blend mode, outside the display: not
// a pixel may change, the corner next to that quad least of all.
TEST(GfxImages, MakingATextureLeavesTheScreenAsItWas) {
  gfx_test::fresh_display();
  draw_image(gfx_test::solid_image(640, 480, 90, 60, 30), 0, 0, 0);
  const gfx_test::Screen before;
  std::vector<std::uint8_t> rgba(4 * 4 * 4, 255);
  detail::renderer::Texture crisp, smooth;
  smooth.filtered = smooth.mipmapped = true;
  detail::renderer::upload(crisp, 4, 4, rgba.data());
  detail::renderer::upload(smooth, 4, 4, rgba.data());
  const gfx_test::Screen after;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(after.at(x, y), before.at(x, y)) << x << ", " << y;
    }
  }
  detail::renderer::release(crisp);
  detail::renderer::release(smooth);
}

// The browser uploads mipmap levels made on the CPU so that it draws from
// the same levels as the desktop: they must be the desktop GL's own, down to
// 1 x 1, for noise and for glyph-like coverage alike.
TEST(GfxImages, CpuMipLevelsAreTheDesktopGlsOwn) {
  gfx_test::fresh_display();
  // The renderer remembers which texture it bound: it is put back after.
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  unsigned seed = 7;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (const bool glyphs : {false, true}) {
    int width = 64, height = 16;
    std::vector<std::uint8_t> level(static_cast<std::size_t>(width) * height *
                                    4);
    for (std::size_t i = 0; i < level.size(); ++i) {
      const bool alpha = i % 4 == 3;
      level[i] = glyphs && !alpha ? 255
                 : glyphs         ? (next() % 3 == 0 ? 0 : next() & 255)
                                  : next() & 255;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, level.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    // The software GL may still have the levels' drawing queued behind
    // earlier frames: finished, they can be read back.
    glFinish();
    for (int n = 1; width > 1 || height > 1; ++n) {
      level = detail::renderer::next_mip_level(level, width, height);
      width = std::max(1, width / 2);
      height = std::max(1, height / 2);
      std::vector<std::uint8_t> gl(level.size());
      glGetTexImage(GL_TEXTURE_2D, n, GL_RGBA, GL_UNSIGNED_BYTE, gl.data());
      EXPECT_EQ(gl, level) << "level " << n << (glyphs ? " of glyphs" : "");
    }
    glDeleteTextures(1, &id);
  }
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

TEST(GfxCollide, TouchingIsNotOverlapping) {
  auto a = gfx_test::shape_image({"###", "###", "###"});
  auto b = gfx_test::shape_image({"###", "###", "###"});
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 13, 10, 0), 0);
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 12, 12, 0), 1);
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 10, 13, 0), 0);
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 7.6f, 10, 0), 1);  // rounds to 8
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 7.4f, 10, 0), 0);
  mid_handle_image(b);  // now centred on its position
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 14, 11, 0), 1);
  EXPECT_EQ(images_collide(a, 10, 10, 0, b, 14.6f, 11, 0), 0);
}

TEST(GfxCollide, BoxesOverlapWhilePixelsDoNot) {
  auto upper_left = gfx_test::shape_image({"###", "#..", "#.."});
  auto lower_right = gfx_test::shape_image({"..#", "..#", "###"});
  EXPECT_EQ(images_collide(upper_left, 0, 0, 0, lower_right, 1, 1, 0), 0);
  EXPECT_EQ(images_collide(upper_left, 0, 0, 0, lower_right, 0, 0, 0), 1);
  // Alpha 128 is solid, 127 is not.
  auto faint = gfx_test::solid_image(2, 2, 255, 255, 255, 127);
  auto firm = gfx_test::solid_image(2, 2, 255, 255, 255, 128);
  EXPECT_EQ(images_collide(faint, 0, 0, 0, firm, 1, 1, 0), 0);
  EXPECT_EQ(images_collide(firm, 0, 0, 0, firm, 1, 1, 0), 1);
}

TEST(GfxCollide, AFrameWithoutAlphaIsSolidEverywhere) {
  const testing_support::ScratchFolder folder;
  auto plain = load_image(picture_file(folder), 0);
  auto masked = load_image(picture_file(folder), 1);
  auto dot = gfx_test::shape_image({"#"});
  ASSERT_TRUE(plain && masked);
  EXPECT_EQ(images_collide(plain, 0, 0, 0, dot, 5, 5, 0), 1);  // black
  EXPECT_EQ(images_collide(masked, 0, 0, 0, dot, 5, 5, 0), 0);
  EXPECT_EQ(images_collide(masked, 0, 0, 0, dot, 2, 2, 0), 1);
}

TEST(GfxCollide, FollowsTheMatrix) {
  gfx_test::fresh_display();
  auto bar = gfx_test::shape_image({"##########", "##########"});
  auto dot = gfx_test::shape_image({"#"});
  // Unturned, the bar lies to the right of (100, 100).
  EXPECT_EQ(images_collide(bar, 100, 100, 0, dot, 105, 101, 0), 1);
  EXPECT_EQ(images_collide(bar, 100, 100, 0, dot, 99, 105, 0), 0);
  // Turned clockwise by 90 degrees it hangs down, left of x = 100; the test
  // agrees with what is drawn.
  set_rotation(90.0f);
  EXPECT_EQ(images_collide(bar, 100, 100, 0, dot, 105, 101, 0), 0);
  EXPECT_EQ(images_collide(bar, 100, 100, 0, dot, 99, 105, 0), 1);
  draw_image(bar, 100, 100, 0);
  set_rotation(0.0f);
  Screen s;
  EXPECT_EQ(s.at(99, 105)[0], 255);
  EXPECT_EQ(s.at(105, 101)[0], 0);
  // Scaled up the dot covers more.
  set_scale(4.0f, 4.0f);
  EXPECT_EQ(images_collide(dot, 10, 10, 0, dot, 13, 13, 0), 1);
  EXPECT_EQ(images_collide(dot, 10, 10, 0, dot, 14, 10, 0), 0);
  set_scale(0.0f, 1.0f);  // flattened: nothing to hit
  EXPECT_EQ(images_collide(dot, 10, 10, 0, dot, 10, 10, 0), 0);
}
