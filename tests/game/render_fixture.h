// Draws on the game's own back buffer and reads back what was presented.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A 6 x 6 white square, handle at its top-left corner.
  static platform::ImageRef white_square();
  // Clears the screen and resets the drawing state as the display opens.
  static void clear_screen();
  // Fills the w x h rectangle at (x, y) with a colour, replacing the screen.
  static void fill(int x, int y, int w, int h, int r, int g, int b);
  // Presents the back buffer and reads it back.
  void present();
  std::array<int, 3> at(int x, int y) const;
  // Pixels that are not black.
  int lit_pixels() const;

 private:
  std::vector<std::uint8_t> frame_;
  int saved_stereo_mode_ = 0;
  int saved_intensity_ = 0;
};

using Rgb = std::array<int, 3>;
