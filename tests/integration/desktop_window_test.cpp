// Full screen fills a 1920 x 1080 screen with or without a window manager,
// the window keys switch both ways, and a resized window shows the frame at
// the zoom that fits: all read back from the X server's own screen, not from
// the game's buffer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/integration/game_on_display.h"
#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"
#include "tests/support/x_display.h"

namespace {

using testing_support::GameFolder;
using testing_support::Screenshot;
using testing_support::xdotool;
using testing_support::XImage;
using testing_support::XServer;

// The frame `shot` shown in `image` over (left, top, width, height), every
// pixel of it taken from the frame pixel below it, and black all around.
// Empty when it is so; else the first pixel that differs.
std::string shows_frame(const XImage& image, const Screenshot& shot, int left,
                        int top, int width, int height) {
  if (!image.ok()) return "no image read back";
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const bool inside =
          x >= left && x < left + width && y >= top && y < top + height;
      std::uint32_t want = 0;
      if (inside) {
        const auto c = shot.at((x - left) * shot.width / width,
                               (y - top) * shot.height / height);
        want = static_cast<std::uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
      }
      // A frame shrunk into a small window is smoothed: only its place is
      // checked there, by the black around it.
      if (inside && width < shot.width) continue;
      if (image.at(x, y) != want) {
        char text[96];
        std::snprintf(text, sizeof text, "(%d, %d) is %06x, not %06x", x, y,
                      image.at(x, y), want);
        return text;
      }
    }
  }
  return "";
}

// Waits up to a minute for `check` to say nothing; its last word.
template <typename Check>
std::string eventually(Check check) {
  std::string why;
  for (int i = 0; i < 300; ++i) {
    why = check();
    if (why.empty()) return why;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return why;
}

class DesktopWindow : public testing::TestWithParam<bool> {};

TEST_P(DesktopWindow, FillsTheScreenSwitchesAndResizes) {
  XServer x(1920, 1080, GetParam());
  ASSERT_TRUE(x.ready()) << "Xvfb or its window manager did not start";
  const std::string display = x.display();
  GameFolder game;
  // The title, held still: no pointer moves after the screenshot.
  const std::string script =
      menu_steps::skip_intro() + menu_steps::mouse(2, 0, 0) +
      testing_support::script_line(30, "screenshot title.png");
  game.write_bytes("script.txt", {script.begin(), script.end()});
  testing_support::GameOnDisplay running(
      game, display, {"--seed", "1", "--scale", "1", "--script", "script.txt"});
  ASSERT_TRUE(running.window_found()) << running.window();
  const std::string& window = running.window();
  // Read once it is whole: the game may still be writing it.
  ASSERT_EQ(eventually([&] {
              return game.screenshot("title.png").ok() ? "" : "no screenshot";
            }),
            "");
  const Screenshot title = game.screenshot("title.png");

  auto full_screen = [&] {
    return shows_frame(testing_support::read_x_image(display), title, 320, 60,
                       1280, 960);
  };
  auto windowed = [&](int w, int h, int left, int top, int fw, int fh) {
    return [=, &display, &window, &title]() -> std::string {
      const XImage image = testing_support::read_x_image(display, window);
      if (image.width != w || image.height != h) {
        return "a window of " + std::to_string(image.width) + " x " +
               std::to_string(image.height);
      }
      return shows_frame(image, title, left, top, fw, fh);
    };
  };
  EXPECT_EQ(eventually(full_screen), "") << "full screen at start";
  xdotool(display, "key alt+Return");
  EXPECT_EQ(eventually(windowed(640, 480, 0, 0, 640, 480)), "") << "Alt+Enter";
  xdotool(display, "windowsize " + window + " 1000 700");
  EXPECT_EQ(eventually(windowed(1000, 700, 180, 110, 640, 480)), "")
      << "a larger window";
  xdotool(display, "windowsize " + window + " 400 240");
  EXPECT_EQ(eventually(windowed(400, 240, 40, 0, 320, 240)), "")
      << "a window smaller than the frame";
  xdotool(display, "key F11");
  EXPECT_EQ(eventually(full_screen), "") << "F11 back to full screen";
  xdotool(display, "key F11");
  EXPECT_EQ(eventually(windowed(400, 240, 40, 0, 320, 240)), "")
      << "F11 back to the window as it was";

  // The window and its size are kept for the next start.
  const auto ended = running.end();
  EXPECT_EQ(ended.exit_code, 0) << ended.err;
  EXPECT_EQ(
      game.read_bytes("data/window.dat"),
      (std::vector<std::uint8_t>{0, 0, 0, 0, 144, 1, 0, 0, 240, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(WindowManager, DesktopWindow, testing::Bool(),
                         [](const auto& info) {
                           return info.param ? "Openbox" : "None";
                         });

}  // namespace
