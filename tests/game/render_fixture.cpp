#include "tests/game/render_fixture.h"

#include "platform/video/video.h"
#include "tests/game/game_world.h"
#include "world/world.h"

void RenderTest::SetUp() {
  ensure_game_world();
  saved_stereo_mode_ = stereo_mode;
  saved_intensity_ = hologram_intensity;
  white_square();  // made now: making it changes the drawing state
  clear_screen();
}

void RenderTest::TearDown() {
  stereo_mode = saved_stereo_mode_;
  hologram_intensity = saved_intensity_;
  clear_screen();
}

void RenderTest::clear_screen() {
  platform::set_transform(0, 1, 1);
  platform::set_alpha(1);
  platform::set_blend(1);
  platform::set_color(255, 255, 255);
  platform::cls();
}

void RenderTest::fill(int x, int y, int w, int h, int r, int g, int b) {
  platform::set_transform(0, 1, 1);
  platform::set_blend(2);
  platform::set_color(r, g, b);
  for (int row = y; row < y + h; ++row) {
    platform::draw_line(static_cast<float>(x), static_cast<float>(row),
                        static_cast<float>(x + w - 1), static_cast<float>(row),
                        1);
  }
  platform::set_blend(1);
  platform::set_color(255, 255, 255);
}

platform::ImageRef RenderTest::white_square() {
  static const platform::ImageRef square = [] {
    platform::ImageRef image = platform::create_image(6, 6, 1, -1);
    platform::cls();
    fill(0, 0, 6, 6, 255, 255, 255);
    platform::grab_image(image, 0, 0, 0);
    platform::cls();
    return image;
  }();
  return square;
}

void RenderTest::present() {
  platform::flip(0);
  ASSERT_TRUE(platform::detail::read_presented_frame(frame_));
  ASSERT_EQ(frame_.size(), 640u * 480u * 4u);
}

std::array<int, 3> RenderTest::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * 640 + x) * 4;
  return {frame_.at(i), frame_.at(i + 1), frame_.at(i + 2)};
}

int RenderTest::lit_pixels() const {
  int n = 0;
  for (std::size_t i = 0; i < frame_.size(); i += 4) {
    if (frame_[i] || frame_[i + 1] || frame_[i + 2]) ++n;
  }
  return n;
}
