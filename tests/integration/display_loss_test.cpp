// The game on a real X server (Xvfb, SDL's x11 driver, Mesa's GL) ends in
// order when the server goes away: within two seconds, with status 6 and
// its line on stderr, its files saved and its recording cut at the tick it
// stopped in. And SIGTERM ends it wherever it is: waiting, playing, or
// stuck in a present on a frozen server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"
#include "tests/support/x_display.h"

namespace {

using namespace menu_steps;
using testing_support::GameFolder;
using testing_support::RunResult;
using testing_support::XServer;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr int display_lost = 6;
const Bytes old_settings = {4, 0, 0, 0, 0, 0, 0, 0};

int as_int(const Bytes& b) {
  if (b.size() != 4) return -1;
  return b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24;
}

// A game started on `display`, paced as a player's (no --fast).
pid_t start_on(GameFolder& game, const std::string& display,
               std::vector<std::string> args) {
  args.insert(args.begin(), {"--window", "--scale", "1", "--seed", "7"});
  return game.start(args, [display] {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
  });
}

struct Ended {
  RunResult result;
  double seconds = 0;  // from the call to the end
};

// Waits for the game to end; killed after `limit` seconds (then the result
// says "timed out").
Ended wait_for_end(GameFolder& game, pid_t pid, int limit) {
  const auto begin = Clock::now();
  Ended e;
  e.result = game.wait(pid, limit);
  e.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  static int ends = 0;
  testing::Test::RecordProperty(
      "end_ms_" + std::to_string(++ends),
      std::to_string(static_cast<int>(e.seconds * 1000)));
  return e;
}

// The last whole line of the dumps so far (null if none).
json last_dump(const GameFolder& game, const std::string& name) {
  std::ifstream in(game.path() / name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  const std::size_t end = text.rfind('\n');
  if (end == std::string::npos) return nullptr;
  const std::size_t begin = text.rfind('\n', end - 1);
  return json::parse(
      text.substr(begin == std::string::npos ? 0 : begin + 1,
                  end - (begin == std::string::npos ? 0 : begin + 1)));
}

// Polls the dumps for up to a minute until `ready` holds for the last one.
template <typename Ready>
json dump_when(const GameFolder& game, const std::string& name, Ready ready) {
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (Clock::now() < deadline) {
    const json d = last_dump(game, name);
    if (!d.is_null() && ready(d)) return d;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return nullptr;
}

// The title, a new game, the fire key held from tick 20 on, and the mouse
// moved every tick, so that every tick of play leaves a line in a recording.
std::string play_script() {
  std::string s =
      skip_intro() + click_line(14, 0) + script_line(20, "key 162 down");
  for (long t = 21; t < 4000; ++t) s += mouse(t, 318 + 4 * (t % 2), 420);
  return s;
}

// The tick of the last line of a recording, whatever the line.
long last_tick(const Bytes& bytes) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::string line;
  long last = -1;
  while (std::getline(in, line)) {
    std::istringstream words(line.rfind("#! ", 0) == 0 ? line.substr(3) : line);
    std::string first;
    words >> first;
    if (first == "check" || first == "end") words >> first;
    char* rest = nullptr;
    const long t = std::strtol(first.c_str(), &rest, 10);
    if (rest && *rest == '\0' && !first.empty()) last = std::max(last, t);
  }
  return last;
}

// Plays `recording` offscreen with dumps every 5 ticks: the status, and the
// dumps it wrote.
RunResult replay(const GameFolder& from, const std::string& recording,
                 std::vector<json>& dumps) {
  GameFolder player;
  player.write_bytes("game.replay", from.read_bytes(recording));
  const RunResult r =
      player.run_raw({"--window", "--fast", "--script", "game.replay",
                      "--dump-every", "5", "replayed.jsonl"});
  dumps = player.dumps("replayed.jsonl");
  return r;
}

TEST(DisplayLoss, InPlaySavesTheHighScoreAndCutsTheRecording) {
  std::optional<XServer> x(std::in_place);
  ASSERT_TRUE(x->ready()) << "Xvfb did not start";
  GameFolder game;
  game.write_bytes("data/hiscore.dat", {0, 0, 0, 0});
  game.write_bytes("script.txt", [] {
    const std::string s = play_script();
    return Bytes(s.begin(), s.end());
  }());
  const pid_t pid =
      start_on(game, x->display(),
               {"--script", "script.txt", "--record", "game.replay",
                "--dump-every", "5", "dumps.jsonl"});
  // A second of play after the first points.
  const json scored = dump_when(game, "dumps.jsonl", [](const json& d) {
    return d["high_score"].get<int>() > 0;
  });
  ASSERT_FALSE(scored.is_null()) << "the game never scored";
  dump_when(game, "dumps.jsonl", [&](const json& d) {
    return d["tick"].get<long>() >= scored["tick"].get<long>() + 60;
  });
  x.reset();  // the X server ends; the game is left without its display
  const Ended e = wait_for_end(game, pid, 30);
  EXPECT_EQ(e.result.exit_code, display_lost) << e.result.err;
  EXPECT_LT(e.seconds, 2.0) << e.result.err;
  EXPECT_NE(e.result.err.find("vermix: the display was lost\n"),
            std::string::npos)
      << e.result.err;

  // The high score of the run, at least as high as the last dump's.
  const json last = last_dump(game, "dumps.jsonl");
  EXPECT_GE(as_int(game.read_bytes("data/hiscore.dat")),
            last["high_score"].get<int>());
  EXPECT_GT(as_int(game.read_bytes("data/hiscore.dat")), 0);
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat").size(), 8u);
  EXPECT_EQ(game.read_bytes("data/window.dat").size(), 12u);

  // Every tick up to the one it stopped in: not a second behind, as its
  // periodic write would leave it.
  const long cut = last_tick(game.read_bytes("game.replay"));
  EXPECT_GE(cut + 1, last["tick"].get<long>());
  std::vector<json> replayed;
  const RunResult r = replay(game, "game.replay", replayed);
  EXPECT_EQ(r.exit_code, 4) << r.err;
  EXPECT_NE(r.err.find("the replay ends at tick " + std::to_string(cut) +
                       " without its closing line"),
            std::string::npos)
      << r.err;
  // The same game to the cut: every dump of the replay is the recorded one.
  const std::vector<json> recorded = game.dumps("dumps.jsonl");
  EXPECT_GE(replayed.size() + 1, recorded.size());
  for (std::size_t i = 0; i < replayed.size() && i < recorded.size(); ++i)
    ASSERT_EQ(replayed[i], recorded[i]) << "first difference in dump " << i;
}

TEST(DisplayLoss, OnTheTitleEndsAndSaves) {
  std::optional<XServer> x(std::in_place);
  ASSERT_TRUE(x->ready()) << "Xvfb did not start";
  GameFolder game;
  game.write_bytes("data/hiscore.dat", {0x39, 0x30, 0, 0});  // 12345
  game.write_bytes("data/anaglyph3d.dat", old_settings);
  // The hologram intensity goes from 4 to 6, then the title stands.
  const std::string s = skip_intro() + click_line(10, 2) + dump(30);
  game.write_bytes("script.txt", {s.begin(), s.end()});
  const pid_t pid = start_on(game, x->display(), {"--script", "script.txt"});
  ASSERT_FALSE(dump_when(game, "dump.jsonl", [](const json&) {
                 return true;
               }).is_null());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  x.reset();
  const Ended e = wait_for_end(game, pid, 30);
  EXPECT_EQ(e.result.exit_code, display_lost) << e.result.err;
  EXPECT_LT(e.seconds, 2.0) << e.result.err;
  EXPECT_NE(e.result.err.find("vermix: the display was lost\n"),
            std::string::npos)
      << e.result.err;
  EXPECT_EQ(as_int(game.read_bytes("data/hiscore.dat")), 12345);
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
            (Bytes{6, 0, 0, 0, 0, 0, 0, 0}));
  // The window as it stood: 640 x 480 at scale 1.
  EXPECT_EQ(game.read_bytes("data/window.dat"),
            (Bytes{0, 0, 0, 0, 128, 2, 0, 0, 224, 1, 0, 0}));
}

// SIGTERM while the game waits (its window inactive) and while it plays:
// the orderly end as ever, status 0, the files saved, the recording closed.
TEST(StopSignalAnywhere, WaitingAndPlayingEndInOrder) {
  for (const bool waiting : {true, false}) {
    SCOPED_TRACE(waiting ? "waiting" : "playing");
    XServer x;
    ASSERT_TRUE(x.ready()) << "Xvfb did not start";
    GameFolder game;
    game.write_bytes("data/hiscore.dat", {0, 0, 0, 0});
    game.write_bytes("data/anaglyph3d.dat", old_settings);
    std::string s = play_script();
    if (waiting) {
      s = skip_intro() + click_line(14, 0) + script_line(20, "key 162 down") +
          script_line(60, "key 162 up") + script_line(70, "focus lost");
    }
    game.write_bytes("script.txt", {s.begin(), s.end()});
    const pid_t pid =
        start_on(game, x.display(),
                 {"--script", "script.txt", "--record", "game.replay",
                  "--dump-every", "5", "dumps.jsonl"});
    ASSERT_FALSE(dump_when(game, "dumps.jsonl", [](const json& d) {
                   return d["tick"].get<long>() >= 120;
                 }).is_null());
    kill(pid, SIGTERM);
    const Ended e = wait_for_end(game, pid, 30);
    EXPECT_EQ(e.result.exit_code, 0) << e.result.err;
    EXPECT_LT(e.seconds, 1.5) << e.result.err;
    EXPECT_GT(as_int(game.read_bytes("data/hiscore.dat")), 0);
    EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"), old_settings);
    EXPECT_EQ(game.read_bytes("data/window.dat").size(), 12u);
    std::vector<json> replayed;
    const RunResult r = replay(game, "game.replay", replayed);
    EXPECT_EQ(r.exit_code, 0) << r.err;
  }
}

// A frozen X server holds the game in a present that never returns: a
// SIGTERM still ends it within a second or so, saved, with status 0 and the
// recording cut; a second signal ends it at once.
TEST(StopSignalAnywhere, StuckPresentEndsSoon) {
  for (const bool twice : {false, true}) {
    SCOPED_TRACE(twice ? "two signals" : "one signal");
    XServer x;
    ASSERT_TRUE(x.ready()) << "Xvfb did not start";
    const pid_t server = x.pid();
    ASSERT_GT(server, 0);
    GameFolder game;
    game.write_bytes("data/hiscore.dat", {0, 0, 0, 0});
    const std::string s = play_script();
    game.write_bytes("script.txt", {s.begin(), s.end()});
    const pid_t pid =
        start_on(game, x.display(),
                 {"--script", "script.txt", "--record", "game.replay",
                  "--dump-every", "5", "dumps.jsonl"});
    ASSERT_FALSE(dump_when(game, "dumps.jsonl", [](const json& d) {
                   return d["high_score"].get<int>() > 0;
                 }).is_null());
    kill(server, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long frozen_at = last_dump(game, "dumps.jsonl")["tick"].get<long>();
    kill(pid, SIGTERM);
    if (twice) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      kill(pid, SIGTERM);
    }
    const Ended e = wait_for_end(game, pid, 30);
    kill(server, SIGCONT);
    if (twice) {
      EXPECT_EQ(e.result.exit_code, 128 + SIGTERM) << e.result.err;
      EXPECT_LT(e.seconds, 0.5) << e.result.err;
      continue;
    }
    EXPECT_EQ(e.result.exit_code, 0) << e.result.err;
    EXPECT_LT(e.seconds, 1.5) << e.result.err;
    EXPECT_GT(as_int(game.read_bytes("data/hiscore.dat")), 0);
    EXPECT_EQ(game.read_bytes("data/window.dat").size(), 12u);
    // The game stood still from the freeze on: its recording goes to there.
    const long cut = last_tick(game.read_bytes("game.replay"));
    EXPECT_GE(cut + 1, frozen_at);
    std::vector<json> replayed;
    const RunResult r = replay(game, "game.replay", replayed);
    EXPECT_EQ(r.exit_code, 4) << r.err;
  }
}

}  // namespace
