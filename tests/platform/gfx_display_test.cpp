// Opening the display, presenting, the window scale and the frame pacing.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display_fit.h"
#include "platform/frame_pacing.h"
#include "platform/internal.h"
#include "tests/platform/gfx_support.h"
#include "tests/support/scratch_folder.h"

using namespace platform;
using detail::FramePacer;

TEST(GfxPacing, SixtyFramesTakeOneSecond) {
  FramePacer pacer;
  pacer.start(60, 5000);
  ASSERT_TRUE(pacer.enabled());
  int now = 5000;
  int long_frames = 0;
  for (int frame = 0; frame < 60; ++frame) {
    const int wait = pacer.wait_before_present(now);
    ASSERT_TRUE(wait == 16 || wait == 17) << "frame " << frame;
    if (wait == 17) ++long_frames;
    now += wait;  // slept exactly, drawing took no time
  }
  EXPECT_EQ(now, 6000);
  EXPECT_EQ(long_frames, 40);
  // The next second comes out the same.
  for (int frame = 0; frame < 60; ++frame)
    now += pacer.wait_before_present(now);
  EXPECT_EQ(now, 7000);
}

TEST(GfxPacing, LateFramesDoNotCatchUp) {
  FramePacer pacer;
  pacer.start(50, 0);  // 20 ms frames, no remainder
  EXPECT_EQ(pacer.wait_before_present(5), 15);
  // A frame that took 100 ms: present at once, then count from there.
  EXPECT_EQ(pacer.wait_before_present(120), 0);
  EXPECT_EQ(pacer.wait_before_present(125), 15);
  EXPECT_EQ(pacer.wait_before_present(140), 20);
}

TEST(GfxPacing, ZeroHertzSwitchesPacingOff) {
  FramePacer pacer;
  pacer.start(0, 0);
  EXPECT_FALSE(pacer.enabled());
}

TEST(GfxPacing, VsyncCountsWhenThreePresentsInARowTakeTheFrameTime) {
  detail::VsyncProbe probe(16);
  EXPECT_FALSE(probe.add_present(16));
  EXPECT_FALSE(probe.add_present(17));
  EXPECT_FALSE(probe.add_present(30));  // breaks the run
  EXPECT_FALSE(probe.add_present(15));
  EXPECT_FALSE(probe.add_present(16));
  EXPECT_TRUE(probe.add_present(17));

  detail::VsyncProbe instant(16);  // presents that do not wait
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(instant.add_present(0));
}

TEST(GfxDisplay, WholeZoomThatFits) {
  EXPECT_EQ(detail::whole_zoom(1920, 1080, 640, 480), 2);
  EXPECT_EQ(detail::whole_zoom(1920, 1440, 640, 480), 3);
  EXPECT_EQ(detail::whole_zoom(1279, 2000, 640, 480), 1);
  EXPECT_EQ(detail::whole_zoom(320, 200, 640, 480), 1);  // never below 1
  EXPECT_EQ(detail::window_zoom(3, 800, 600, 640, 480), 3);
  EXPECT_EQ(detail::window_zoom(0, 2560, 1400, 640, 480), 2);
  EXPECT_EQ(detail::centred_offset(1920, 640, 2), 320);
}

TEST(GfxDisplay, FlipPresentsAndTheBackBufferKeepsTheFrame) {
  gfx_test::fresh_display();
  EXPECT_EQ(graphics_width(), 640);
  EXPECT_EQ(graphics_height(), 480);
  auto red = gfx_test::solid_image(8, 8, 200, 0, 0);
  draw_image(red, 100, 50, 0);
  flip(0);
  // Drawn after the flip: not in the presented frame yet.
  auto green = gfx_test::solid_image(8, 8, 0, 200, 0);
  draw_image(green, 300, 50, 0);

  std::vector<std::uint8_t> frame;
  ASSERT_TRUE(detail::read_presented_frame(frame));
  ASSERT_EQ(frame.size(), 640u * 480u * 4u);
  auto pixel = [&](int x, int y) {
    const std::uint8_t* p = &frame[(y * 640 + x) * 4];
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  EXPECT_EQ(pixel(100, 50), (std::array<int, 3>{200, 0, 0}));
  EXPECT_EQ(pixel(107, 57), (std::array<int, 3>{200, 0, 0}));
  EXPECT_EQ(pixel(108, 58), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(pixel(300, 50), (std::array<int, 3>{0, 0, 0}));

  // The draw buffer still holds the presented frame under the new draw.
  gfx_test::Screen back;
  EXPECT_EQ(back.at(100, 50), (std::array<int, 3>{200, 0, 0}));
  EXPECT_EQ(back.at(300, 50), (std::array<int, 3>{0, 200, 0}));
}

TEST(GfxDisplay, ScreenshotIsThePresentedFrame) {
  gfx_test::fresh_display();
  auto blue = gfx_test::solid_image(4, 4, 0, 0, 250);
  draw_image(blue, 636, 476, 0);
  flip(0);
  const testing_support::ScratchFolder folder;
  const std::string path = folder.file("shot.png");
  ASSERT_TRUE(detail::write_screenshot(path));
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(detail::read_bytes(path, bytes));
  int w = 0, h = 0;
  bool alpha = false;
  std::vector<std::uint8_t> rgba;
  ASSERT_TRUE(
      detail::decode_png(bytes.data(), bytes.size(), w, h, rgba, alpha));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(rgba[(479 * 640 + 639) * 4 + 2], 250);
  EXPECT_EQ(rgba[(475 * 640 + 635) * 4 + 2], 0);
}

TEST(GfxDisplay, FullScreenAndBackToAWindow) {
  gfx_test::fresh_display();
  ASSERT_TRUE(open_graphics(640, 480, 32, 60, 2));
  EXPECT_TRUE(SDL_GetWindowFlags(detail::window()) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(graphics_width(), 640);
  // Drawing and presenting work there too.
  auto square = gfx_test::solid_image(2, 2, 255, 255, 255);
  cls();
  draw_image(square, 10, 10, 0);
  flip(-1);
  std::vector<std::uint8_t> frame;
  ASSERT_TRUE(detail::read_presented_frame(frame));
  EXPECT_EQ(frame[(10 * 640 + 10) * 4], 255);

  ASSERT_TRUE(open_graphics(640, 480, 0, 60, 2));
  EXPECT_FALSE(SDL_GetWindowFlags(detail::window()) & SDL_WINDOW_FULLSCREEN);
  int w = 0, h = 0;
  SDL_GetWindowSize(detail::window(), &w, &h);
  EXPECT_EQ(w, 640);  // the tests ask for zoom 1
  EXPECT_EQ(h, 480);
}

TEST(GfxDisplay, WindowAndDisplayCoordinatesRoundTrip) {
  gfx_test::fresh_display();
  int wx = 0, wy = 0, x = 0, y = 0;
  detail::display_to_window(123, 456, wx, wy);
  detail::window_to_display(static_cast<float>(wx), static_cast<float>(wy), x,
                            y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 456);
  detail::window_to_display(-50.0f, 5000.0f, x, y);  // outside: the edge
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 479);
}

TEST(GfxDisplay, DrawStateStartsAtItsValues) {
  gfx_test::fresh_display();
  set_transform(45.0f, 2.0f, 2.0f);
  set_blend(4);
  ASSERT_TRUE(open_graphics(640, 480, 0, 60, 2));
  EXPECT_FLOAT_EQ(get_rotation(), 0.0f);
  // Mask mode, white, full alpha, unscaled: a half-transparent white texel
  // comes out exactly as drawn.
  auto half = gfx_test::solid_image(1, 1, 255, 255, 255, 200);
  cls();
  draw_image(half, 5, 5, 0);
  gfx_test::Screen s;
  EXPECT_EQ(s.at(5, 5), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(s.lit(0, 0, 20, 20), 1);
}

TEST(GfxDisplayDeathTest, NoVideoDriverIsReportedNotACrash) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh SDL in the child
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        const bool opened = open_graphics(640, 480, 0, 60, 2);
        // Drawing without a display does nothing.
        cls();
        draw_line(0, 0, 10, 10, 1);
        draw_text("x", 0, 0);
        flip(-1);
        std::exit(opened ? 0 : 1);
      },
      testing::ExitedWithCode(1), "cannot open the display");
}

// Images that outlive main, and quads still queued when the program ends,
// must not make the GL driver work during the exit: its own clean-up may
// have run already. With the shader cache off, any late draw would make the
// driver compile, which crashed or hung the process.
TEST(GfxDisplayDeathTest, ExitWithLiveImagesAndQueuedQuadsIsClean) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh GL in the child
  EXPECT_EXIT(
      {
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
        static ImageRef outliving;  // made before the display, as globals are
        gfx_test::fresh_display();
        outliving = gfx_test::solid_image(8, 8, 200, 10, 10);
        for (int blend : {3, 4, 5}) {
          set_blend(blend);
          draw_image(outliving, 100.0f + blend, 100, 0);
        }
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
}
