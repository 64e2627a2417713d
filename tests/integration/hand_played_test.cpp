// A game played by hand on a real X display (Xvfb, the pointer driven by
// xdotool), switched between full screen and a window and resized while it
// is recorded, replays offscreen to the very same state dumps, frame for
// frame.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/support/x_display.h"

namespace {

using testing_support::GameFolder;
using testing_support::xdotool;
using testing_support::XServer;

bool playing(const GameFolder& game) {
  const auto bytes = game.read_bytes("recorded.jsonl");
  return std::string(bytes.begin(), bytes.end()).find("\"game_state\":2,") !=
         std::string::npos;
}

TEST(HandPlayed, RecordingUnderXReplaysFrameForFrame) {
  XServer x;
  ASSERT_TRUE(x.ready()) << "Xvfb did not start";
  GameFolder recorder;
  const std::string display = x.display();
  const pid_t pid =
      recorder.start({"--window", "--seed", "5", "--record", "game.replay",
                      "--dump-every", "1", "recorded.jsonl"},
                     [&] {
                       setenv("DISPLAY", display.c_str(), 1);
                       setenv("SDL_VIDEODRIVER", "x11", 1);
                       // The system's X and D-Bus libraries keep a few blocks
                       // to the end; the game's own code is leak-checked in
                       // every offscreen run.
                       setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
                     });
  // A failed check must not leave the game running.
  struct Stop {
    pid_t pid;
    bool ended = false;
    ~Stop() {
      if (!ended) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    }
  } stop{pid};
  const std::string window =
      xdotool(display, "search --sync --onlyvisible --name Vermix");
  ASSERT_FALSE(window.empty());
  ASSERT_EQ(window.find_first_not_of("0123456789"), std::string::npos)
      << window;
  // Click the logo away and the start line until the game is on; the
  // dumps say when.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!playing(recorder) && std::chrono::steady_clock::now() < deadline) {
    xdotool(display, "mousemove --window " + window + " 320 260 click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  ASSERT_TRUE(playing(recorder));
  // A hand on the mouse: moves across the player zone, shots, a held button.
  std::string hand;
  for (int i = 0; i < 30; ++i) {
    hand += " mousemove --window " + window + " " +
            std::to_string(90 + (i * 53) % 460) + " " +
            std::to_string(400 + (i * 17) % 70) +
            (i % 3 == 0 ? " mousedown 1" : " mouseup 1") + " sleep 0.05";
  }
  xdotool(display, hand + " mouseup 1");
  // The window keys and a resize mid-game are no input to the game.
  xdotool(display, "key alt+Return sleep 0.3 key F11 sleep 0.3 key F11");
  xdotool(display, "windowsize " + window + " 500 300 sleep 0.3");
  xdotool(display, hand + " mouseup 1");
  kill(pid, SIGTERM);
  const auto recorded = recorder.wait(pid);
  stop.ended = true;
  ASSERT_EQ(recorded.exit_code, 0) << recorded.err;

  const auto bytes = recorder.read_bytes("game.replay");
  const std::string replay(bytes.begin(), bytes.end());
  EXPECT_NE(replay.find(" button 1 down\n"), std::string::npos) << replay;
  EXPECT_NE(replay.find("#! end "), std::string::npos) << replay;
  const auto want = recorder.dumps("recorded.jsonl");
  ASSERT_GT(want.size(), 30u);
  testing_support::expect_same_dumps(
      bytes, {"--dump-every", "1", "replayed.jsonl"}, "replayed.jsonl", want);
}

}  // namespace
