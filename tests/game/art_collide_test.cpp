// The sheet's hit shapes through the platform's own pixel overlap test,
// grabbed from the drawn sheet the way start-up grabs them.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

platform::ImageRef grab_small_frames() {
  if (platform::graphics_width() == 0) {
    platform::RunOptions options;
    options.window = true;
    options.fast = true;
    platform::set_run_options(options);
    if (!platform::open_graphics(640, 480, 0, 60, 2)) return nullptr;
  }
  platform::set_mask_color(0, 0, 0);
  platform::auto_image_flags(9);
  const platform::ImageRef sheet = platform::load_image(
      std::string(VERMIX_SOURCE_DIR) + "/assets/graphx/vermix_01.png", -1);
  if (!sheet) return nullptr;
  platform::auto_mid_handle(1);
  platform::ImageRef frames = platform::create_image(10, 10, 31, -1);
  platform::auto_mid_handle(0);
  platform::set_transform(0, 1, 1);
  platform::set_color(255, 255, 255);
  platform::set_alpha(1);
  platform::set_blend(1);
  platform::cls();
  platform::draw_image(sheet, 0, 0, 0);
  for (int i = 0; i < 31; ++i) platform::grab_image(frames, 1 + 11 * i, 1, i);
  return frames;
}

}  // namespace

TEST(ArtCollide, ProbeMeetsOnlyTheMushroomInTheNeighbouringCell) {
  const platform::ImageRef frames = grab_small_frames();
  ASSERT_TRUE(frames) << "no display or the sheet did not load";
  const float x = 255, y = 200;  // a segment's grid position
  const float probes[3][2] = {{x + 10, y}, {x - 10, y}, {x, y + 10}};
  for (const auto& probe : probes) {
    for (int dy = -10; dy <= 10; dy += 10) {
      for (int dx = -10; dx <= 10; dx += 10) {
        EXPECT_EQ(
            platform::images_collide(frames, probe[0], probe[1], 28, frames,
                                     probe[0] + dx, probe[1] + dy, 25),
            dx == 0 && dy == 0 ? 1 : 0)
            << "probe " << probe[0] << "," << probe[1] << " mushroom offset "
            << dx << "," << dy;
      }
    }
  }
}

TEST(ArtCollide, ShotShipAndInsectSquareMeetWhereTheirPixelsDo) {
  const platform::ImageRef frames = grab_small_frames();
  ASSERT_TRUE(frames) << "no display or the sheet did not load";
  // The shot's lowest spark (row 9, columns 4-5) touches the ship's nose
  // (rows 0-1, columns 4-5) nine rows lower, not ten; four pixels aside the
  // two miss.
  EXPECT_EQ(platform::images_collide(frames, 300, 300, 10, frames, 300, 309, 8),
            1);
  EXPECT_EQ(platform::images_collide(frames, 300, 300, 10, frames, 300, 310, 8),
            0);
  EXPECT_EQ(platform::images_collide(frames, 300, 300, 10, frames, 296, 309, 8),
            0);
  // The insects' hit square is solid to its corners.
  EXPECT_EQ(platform::images_collide(frames, 300, 300, 0, frames, 309, 309, 0),
            1);
  // The caps of two mushrooms overlapping by one column touch at their rims,
  // but not when one stands five rows lower.
  EXPECT_EQ(
      platform::images_collide(frames, 300, 300, 25, frames, 309, 300, 25), 1);
  EXPECT_EQ(
      platform::images_collide(frames, 300, 300, 25, frames, 309, 305, 25), 0);
}
