// A game played by hand on a real X display (Xvfb, the pointer driven by
// xdotool) and recorded replays offscreen to the very same state dumps,
// frame for frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;

// An X server of its own on a display number it picks itself (-displayfd),
// ready once that number has been read; stopped at the end.
class XServer {
 public:
  XServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0",
             "800x600x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes the number when it accepts connections; a server
    // that fails closes the pipe instead.
    char c = 0;
    while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') display_ += c;
    close(fds[0]);
  }
  ~XServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool ready() const { return !display_.empty(); }
  std::string display() const { return ":" + display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// Runs xdotool on `display`; its first line of output.
std::string xdotool(const std::string& display, const std::string& args) {
  const std::string command =
      "DISPLAY=" + display + " timeout 60 xdotool " + args + " 2>&1";
  std::FILE* out = popen(command.c_str(), "r");
  if (!out) return "";
  std::string line;
  for (int c = std::fgetc(out); c != EOF && c != '\n'; c = std::fgetc(out))
    line += static_cast<char>(c);
  while (std::fgetc(out) != EOF) {
  }
  pclose(out);
  return line;
}

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
