// Opening the display, presenting, the window scale and the frame pacing.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/automation.h"
#include "platform/system/system.h"
#include "platform/video/frame_pacing.h"
#include "platform/video/gl/display_fit.h"
#include "platform/video/gl/renderer.h"
#include "platform/video/images.h"
#include "platform/video/video.h"
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
  using Rect = detail::FrameRect;
  EXPECT_EQ(detail::fit_frame(1920, 1080, 640, 480),
            (Rect{320, 60, 1280, 960}));
  // Smaller than the frame: shrunk with its proportions, centred.
  EXPECT_EQ(detail::fit_frame(400, 240, 640, 480), (Rect{40, 0, 320, 240}));
  EXPECT_EQ(detail::fit_frame(320, 600, 640, 480), (Rect{0, 180, 320, 240}));
  EXPECT_EQ(detail::fit_frame(639, 480, 640, 480), (Rect{0, 0, 639, 479}));
  // A band goes under the frame where the margin holds it, else over the
  // frame's bottom rows, at the frame's zoom.
  EXPECT_EQ(detail::band_place({320, 60, 1280, 960}, 1080, 480, 300, 16),
            (Rect{660, 1020, 600, 32}));
  EXPECT_EQ(detail::band_place({320, 40, 1280, 960}, 1030, 480, 300, 16),
            (Rect{660, 968, 600, 32}));
  EXPECT_EQ(detail::band_place({40, 0, 320, 240}, 240, 480, 300, 16),
            (Rect{125, 232, 150, 8}));
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

namespace {

// A frame in which every pixel differs from those around it, drawn and made
// the presented frame; returns its pixels.
std::vector<std::uint8_t> present_a_busy_frame() {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      rgba.insert(
          rgba.end(),
          {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
           static_cast<std::uint8_t>(x / 256 + 4 * (y / 256) + 7 * x + 13 * y),
           255});
    }
  }
  auto image = create_image(640, 480, 1, 0);
  detail::store_frame(*image, 0, rgba.data(), true);
  draw_image(image, 0, 0, 0);
  flip(0);
  return rgba;
}

// The window's drawable after presenting on one of the given size: the
// frame zoomed, centred, on black.
void expect_window_shows(const std::vector<std::uint8_t>& frame, int width,
                         int height, int zoom) {
  detail::renderer::present(width, height);
  std::vector<std::uint8_t> window;
  detail::renderer::read_window(width, height, window);
  const int left = (width - 640 * zoom) / 2;
  const int top = (height - 480 * zoom) / 2;
  int wrong = 0;
  for (int y = 0; y < height && wrong < 5; ++y) {
    for (int x = 0; x < width && wrong < 5; ++x) {
      const int fx = x - left;
      const int fy = y - top;
      std::array<int, 3> want{0, 0, 0};
      if (fx >= 0 && fy >= 0 && fx < 640 * zoom && fy < 480 * zoom) {
        const std::uint8_t* p =
            &frame[((fy / zoom) * 640 + fx / zoom) * std::size_t{4}];
        want = {p[0], p[1], p[2]};
      }
      const std::uint8_t* q = &window[(y * std::size_t(width) + x) * 4];
      const std::array<int, 3> got{q[0], q[1], q[2]};
      if (got != want) {
        ++wrong;
        ADD_FAILURE() << "window pixel (" << x << ", " << y << ") at zoom "
                      << zoom << " is " << got[0] << " " << got[1] << " "
                      << got[2] << ", not " << want[0] << " " << want[1] << " "
                      << want[2];
      }
    }
  }
}

}  // namespace

// Opens the display anew at a window scale, and at scale 1 again when done,
// as the other tests of the process expect.
class WindowAtScale {
 public:
  explicit WindowAtScale(int scale) { reopen(scale); }
  ~WindowAtScale() { reopen(1); }

 private:
  static void reopen(int scale) {
    detail::close_display();
    RunOptions options = run_options();
    options.scale = scale;
    set_run_options(options);
    ASSERT_TRUE(open_graphics(640, 480, 0, 60, 2));
  }
};

// Every window pixel is the frame's pixel under it: zoomed to fill the
// window, and at zoom 1 in the middle of a larger window, on black.
TEST(GfxDisplay, WindowShowsTheFrameTexelForTexel) {
  gfx_test::fresh_display();
  const WindowAtScale window(2);
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(detail::window(), &width, &height);
  ASSERT_EQ(width, 1280);
  ASSERT_EQ(height, 960);
  const std::vector<std::uint8_t> frame = present_a_busy_frame();
  expect_window_shows(frame, width, height, 2);
  expect_window_shows(frame, 700, 530, 1);
}

namespace {

using Pixels = std::vector<std::uint8_t>;

std::array<int, 3> rgb_at(const Pixels& rgba, int width, int x, int y) {
  const std::uint8_t* p = &rgba[(y * std::size_t(width) + x) * 4];
  return {p[0], p[1], p[2]};
}

// How the window's drawable compares with the frame zoomed and centred:
// the pixels that differ inside `band`, outside it, and those inside that
// show the line's ink.
struct BandCount {
  int inside = 0;
  int outside = 0;
  int ink = 0;
};

BandCount compare_with_band(const Pixels& frame, int width, int height,
                            int zoom, const detail::FrameRect& band) {
  detail::renderer::present(width, height, detail::status_band());
  Pixels window;
  detail::renderer::read_window(width, height, window);
  const int left = (width - 640 * zoom) / 2;
  const int top = (height - 480 * zoom) / 2;
  BandCount count;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int fx = (x - left) / zoom;
      const int fy = (y - top) / zoom;
      const bool in_frame = x >= left && y >= top && fx < 640 && fy < 480;
      const std::array<int, 3> want =
          in_frame ? rgb_at(frame, 640, fx, fy) : std::array<int, 3>{0, 0, 0};
      const std::array<int, 3> got = rgb_at(window, width, x, y);
      const bool in_band = x >= band.x && y >= band.y &&
                           x < band.x + band.width && y < band.y + band.height;
      if (got == want) continue;
      if (!in_band) {
        ++count.outside;
      } else {
        ++count.inside;
        if (got == std::array<int, 3>{200, 200, 10}) ++count.ink;
      }
    }
  }
  return count;
}

FontRef the_game_font() {
  return load_image_font(
      std::string(VERMIX_SOURCE_DIR) + "/assets/fonts/joystix.ttf", 12, 4);
}

}  // namespace

// The status line lies on the window only: over the frame's bottom rows
// where there is no margin, in the margin under the frame where there is,
// at the frame's zoom; the presented frame never holds it, and once the
// line is empty the window shows the frame alone again.
TEST(GfxDisplay, StatusLineIsOnTheWindowAndNotInTheFrame) {
  gfx_test::fresh_display();
  const WindowAtScale window(2);
  const Pixels frame = present_a_busy_frame();
  const FontRef font = the_game_font();
  ASSERT_TRUE(font);
  set_image_font(font);
  set_status_line("Invite code ABCD-EFGH \u00b7 waiting for a guest");
  set_image_font(nullptr);  // the line keeps the font it was set in
  const detail::renderer::Texture* band = detail::status_band();
  ASSERT_NE(band, nullptr);
  // 43 characters of 7 pixels (the dot is one), 6 on either side; a line
  // of the font and a row above and below.
  EXPECT_EQ(band->width, 43 * 7 + 12);
  EXPECT_EQ(band->height, 16);

  struct Case {
    int width, height, zoom;
  };
  for (const Case c :
       {Case{1280, 960, 2}, Case{700, 530, 1}, Case{640, 480, 1}}) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const detail::FrameRect place =
        detail::fit_frame(c.width, c.height, 640, 480);
    const detail::FrameRect at =
        detail::band_place(place, c.height, 480, band->width, band->height);
    EXPECT_EQ(at.height, 16 * c.zoom);
    // 700 x 530 leaves 25 rows under the frame, enough for the band.
    EXPECT_EQ(at.y,
              c.height == 530 ? place.y + place.height : c.height - at.height);
    const BandCount count =
        compare_with_band(frame, c.width, c.height, c.zoom, at);
    EXPECT_EQ(count.outside, 0);
    EXPECT_GT(count.ink, 100 * c.zoom * c.zoom);
    // Over the frame, every pixel of the box is darkened; in the margin
    // only the ink shows on the black.
    if (c.height == 530) {
      EXPECT_EQ(count.inside, count.ink);
    } else {
      EXPECT_GT(count.inside, at.width * at.height * 9 / 10);
    }
  }

  Pixels presented;
  ASSERT_TRUE(detail::read_presented_frame(presented));
  EXPECT_EQ(presented, frame);

  set_status_line("");
  EXPECT_EQ(detail::status_band(), nullptr);
  expect_window_shows(frame, 1280, 960, 2);
  expect_window_shows(frame, 640, 480, 1);
}

// UTF-8 comes out one glyph a character: Latin-1's own, '?' for the rest
// and for a broken sequence; a line wider than the display is cut.
TEST(GfxDisplay, StatusLineReadsUtf8AndFitsTheDisplay) {
  gfx_test::fresh_display();
  const auto width_of = [](const std::string& text) {
    set_status_line(text);
    const detail::renderer::Texture* band = detail::status_band();
    return band ? (band->width - 12) / 7 : -1;
  };
  const FontRef font = the_game_font();
  ASSERT_TRUE(font);
  set_image_font(font);
  EXPECT_EQ(width_of("42 ms"), 5);
  EXPECT_EQ(width_of("\u00b7\u4e00\U0001F600"), 3);
  EXPECT_EQ(width_of("ab\xc3"), 3);
  EXPECT_EQ(width_of("\xff\x80z"), 3);
  EXPECT_EQ(width_of(std::string(200, 'x')), (640 - 12) / 7);
  set_status_line("");
  set_image_font(nullptr);
}

TEST(GfxDisplay, ClipboardTakesTheText) {
  gfx_test::fresh_display();
  copy_to_clipboard("vermix://join/ABCDEFGH");
  char* text = SDL_GetClipboardText();
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "vermix://join/ABCDEFGH");
  SDL_free(text);
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
