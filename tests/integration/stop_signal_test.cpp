// SIGTERM and SIGINT end the game in order, as closing the window does: the
// files are saved and the status is 0, with a script or without one.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"

namespace {

using testing_support::GameFolder;
using Bytes = std::vector<std::uint8_t>;

// Whether the process has its own handler for `sig` (its SigCgt mask).
bool catches(pid_t pid, int sig) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) != 0) continue;
    const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
    return (mask >> (sig - 1)) & 1u;
  }
  return false;
}

// Polls `ready` every 10 ms for at most a minute.
bool wait_for(const std::function<bool()>& ready) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(StopSignal, EndsTheGameInOrderWithAndWithoutAScript) {
  for (const int sig : {SIGTERM, SIGINT}) {
    for (const bool scripted : {true, false}) {
      SCOPED_TRACE(::testing::Message()
                   << strsignal(sig) << (scripted ? ", script" : ", devices"));
      GameFolder game;
      std::vector<std::string> args = {"--seed", "1", "--window", "--fast"};
      if (scripted) {
        // The script ends nothing: the game runs on at the title.
        const std::string script =
            menu_steps::skip_intro() + menu_steps::dump(5);
        game.write_bytes("script.txt", {script.begin(), script.end()});
        args.insert(args.end(), {"--script", "script.txt"});
      }
      const pid_t pid = game.start(args);
      const bool running = wait_for([&] {
        return scripted ? game.exists("dump.jsonl") : catches(pid, sig);
      });
      EXPECT_TRUE(running) << "the game never got going";
      kill(pid, sig);
      const auto r = game.wait(pid, 60);
      EXPECT_EQ(r.exit_code, 0) << r.err;
      EXPECT_EQ(game.read_bytes("data/hiscore.dat"), (Bytes{0, 0, 0, 0}));
      EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"), Bytes(8, 0));
    }
  }
}

}  // namespace
