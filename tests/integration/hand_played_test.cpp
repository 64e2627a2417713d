// A game played by hand on a real X display (Xvfb, the pointer driven by
// xdotool), switched between full screen and a window and resized while it
// is recorded, replays offscreen to the very same state dumps, frame for
// frame.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/integration/game_on_display.h"
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
  testing_support::GameOnDisplay game(
      recorder, display,
      {"--window", "--seed", "5", "--record", "game.replay", "--dump-every",
       "1", "recorded.jsonl"});
  ASSERT_TRUE(game.window_found()) << game.window();
  const std::string& window = game.window();
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
  const auto recorded = game.end();
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
