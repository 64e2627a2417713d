// Two real games on loopback, host and guest, through a proxy that delays,
// jitters, loses, duplicates and reorders their datagrams. They play the
// golden versus game, its inputs split between the two machines: with no
// input delay the merged stream is the recorded one, so both must end in
// the recorded final state, write the same recording, and that recording
// must play offline check for check. The guest plays by stick, or by the
// keys of the keyboard's stick (which offline do nothing). A guest killed
// in mid-game leaves the host playing on with one stick, and a new guest
// can come into the game under way.
//
// The host is always this build; the guest is the game VERMIX_TEST_GAME
// names when set (tools/test-windows.sh: the Windows build under Wine).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/integration/versus_split.h"
#include "tests/support/udp_impair.h"

namespace {

namespace fs = std::filesystem;
using testing_support::end_state;
using testing_support::GameFolder;
using testing_support::ImpairCounts;
using testing_support::Impairment;
using testing_support::read_text;
using testing_support::Split;
using testing_support::split_versus;
using testing_support::UdpImpair;

std::string golden_versus() {
  return read_text(fs::path(VERMIX_SOURCE_DIR) / "tests" / "replays" /
                   "versus.replay");
}

// The lines of a script or replay that hold events and contain `part`.
std::vector<std::string> event_lines(const std::string& script,
                                     const std::string& part = "") {
  std::istringstream in(script);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#' &&
        line.find(part) != std::string::npos) {
      out.push_back(line);
    }
  }
  return out;
}

// One script of the lines of several, in the order of their ticks.
std::string merged(const std::vector<std::string>& scripts) {
  std::vector<std::pair<long, std::string>> lines;
  for (const std::string& script : scripts)
    for (const std::string& line : event_lines(script))
      lines.emplace_back(std::stol(line), line);
  std::stable_sort(
      lines.begin(), lines.end(),
      [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (const auto& [tick, line] : lines) out += line + "\n";
  return out;
}

// A port of its own for each run of the tests, so parallel runs never meet.
std::uint16_t host_port() {
  return static_cast<std::uint16_t>(20000 + getpid() % 20000);
}

// 100 ms round trip, 20 ms of jitter each way, 5 % lost, 1 % twice, 2 %
// held back behind later ones: towards the host on `port`.
UdpImpair::Options bad_link(std::uint16_t port, std::uint64_t seed) {
  UdpImpair::Options o;
  o.target_port = port;
  o.to_target = {std::chrono::milliseconds(50), std::chrono::milliseconds(20),
                 0.05, 0.01, 0.02};
  o.to_client = o.to_target;
  o.seed = seed;
  o.time_limit = std::chrono::seconds(200);
  return o;
}

struct OnlinePair {
  GameFolder host, guest;
  std::unique_ptr<UdpImpair> proxy;
  pid_t host_pid = -1, guest_pid = -1;

  explicit OnlinePair(const Split& s) {
    host.use_program(VERMIX_EXE);
    host.write_bytes("host.script",
                     std::vector<std::uint8_t>(s.host.begin(), s.host.end()));
    guest.write_bytes("guest.script", std::vector<std::uint8_t>(s.guest.begin(),
                                                                s.guest.end()));
  }
  void start() {
    const std::uint16_t port = host_port();
    host_pid =
        host.start({"--window", "--fast", "--seed", "7", "--host",
                    std::to_string(port), "--input-delay", "0", "--script",
                    "host.script", "--record", "game.replay"});
    proxy = std::make_unique<UdpImpair>(bad_link(port, 29));
    guest_pid =
        guest.start({"--window", "--fast", "--join",
                     "127.0.0.1:" + std::to_string(proxy->port()), "--script",
                     "guest.script", "--record", "game.replay"});
  }
};

// Both machines end in order in the golden game's final state, with one
// recording that plays offline: the host's, in `recording`.
void play_the_golden_game(const Split& split, std::string& recording) {
  OnlinePair pair(split);
  pair.start();
  const auto host_run = pair.host.wait(pair.host_pid, 240);
  const auto guest_run = pair.guest.wait(pair.guest_pid, 240);
  ASSERT_EQ(host_run.exit_code, 0) << host_run.err;
  ASSERT_EQ(guest_run.exit_code, 0) << guest_run.err;
  EXPECT_NE(host_run.err.find("online: connected"), std::string::npos);
  EXPECT_NE(guest_run.err.find("online: the host ended the game"),
            std::string::npos)
      << guest_run.err;
  const auto counts = pair.proxy->counts();
  for (const ImpairCounts& c : {counts.to_target, counts.to_client}) {
    EXPECT_GT(c.lost, 0u);
    EXPECT_GT(c.overtaken, 0u);
  }

  const std::string host_replay = read_text(pair.host.path() / "game.replay");
  const std::string guest_replay = read_text(pair.guest.path() / "game.replay");
  EXPECT_EQ(host_replay, guest_replay) << "the two recordings differ";
  EXPECT_EQ(end_state(host_replay), end_state(golden_versus()));

  // The recording is a replay like any other: offline, check for check.
  const auto offline =
      pair.host.run_raw({"--window", "--fast", "--script", "game.replay"});
  EXPECT_EQ(offline.exit_code, 0) << offline.err;
  recording = host_replay;
}

TEST(OnlineGame, TwoMachinesThroughABadLinkPlayTheRecordedVersusGame) {
  std::string recording;
  play_the_golden_game(split_versus(false), recording);
}

// A guest without a stick plays with its keyboard's: the game sees the
// very events of the recorded stick. Offline the same keys do nothing.
TEST(OnlineGame, AGuestWithoutAStickPlaysWithTheKeyboard) {
  const Split split = split_versus(true);
  std::string recording;
  ASSERT_NO_FATAL_FAILURE(play_the_golden_game(split, recording));
  EXPECT_EQ(event_lines(recording, " joy 1 "),
            event_lines(golden_versus(), " joy 1 "));

  // Offline: the golden game's events, sticks and all, with the guest's
  // keys beside them, plays the same game as without them.
  const std::string plain = merged({golden_versus()});
  const std::string keyed = merged({golden_versus(), split.guest});
  std::vector<nlohmann::json> dumps[2];
  for (int with_keys = 0; with_keys < 2; ++with_keys) {
    GameFolder game;
    game.use_program(VERMIX_EXE);
    const auto run = game.run(with_keys ? keyed : plain,
                              {"--seed", "7", "--dump-every", "60", "d.jsonl"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    dumps[with_keys] = game.dumps("d.jsonl");
  }
  EXPECT_GT(dumps[0].size(), 40u);
  EXPECT_EQ(dumps[0], dumps[1]);
}

TEST(OnlineGame, TheHostPlaysOnWhenTheGuestIsKilled) {
  OnlinePair pair(split_versus(false));
  pair.start();
  // Well into the game: the guest has joined and played for a while.
  std::this_thread::sleep_for(std::chrono::seconds(6));
  ASSERT_EQ(::kill(pair.guest_pid, SIGKILL), 0);
  pair.guest.wait(pair.guest_pid, 30);
  const auto host_run = pair.host.wait(pair.host_pid, 240);
  ASSERT_EQ(host_run.exit_code, 0) << host_run.err;
  EXPECT_NE(host_run.err.find("online: the guest is gone"), std::string::npos)
      << host_run.err;
  const auto replay =
      pair.host.run_raw({"--window", "--fast", "--script", "game.replay"});
  EXPECT_EQ(replay.exit_code, 0) << replay.err;
  const std::string recording = read_text(pair.host.path() / "game.replay");
  EXPECT_NE(recording.find(" joy 1 disconnect\n"), std::string::npos);
}

// The guest killed in mid-game, and a new one that knocks at once: the host
// takes it once it finds the first gone, the newcomer catches up on the
// game so far and the two play on to the host's end with one recording,
// which plays offline. The newcomer plays no stick of its own, so the game
// after it came is the host's to decide.
TEST(OnlineGame, ANewGuestComesIntoTheGameUnderWay) {
  OnlinePair pair(split_versus(false));
  pair.start();
  std::this_thread::sleep_for(std::chrono::seconds(6));
  ASSERT_EQ(::kill(pair.guest_pid, SIGKILL), 0);
  pair.guest.wait(pair.guest_pid, 30);

  GameFolder comer;
  comer.write_bytes("idle.script", {});
  UdpImpair proxy(bad_link(host_port(), 31));
  const pid_t comer_pid =
      comer.start({"--window", "--fast", "--join",
                   "127.0.0.1:" + std::to_string(proxy.port()), "--script",
                   "idle.script", "--record", "game.replay"});
  const auto host_run = pair.host.wait(pair.host_pid, 240);
  const auto comer_run = comer.wait(comer_pid, 240);
  ASSERT_EQ(host_run.exit_code, 0) << host_run.err;
  ASSERT_EQ(comer_run.exit_code, 0) << comer_run.err;
  EXPECT_NE(host_run.err.find("online: the guest is gone"), std::string::npos)
      << host_run.err;
  EXPECT_NE(host_run.err.find("online: a guest came in"), std::string::npos)
      << host_run.err;
  EXPECT_NE(comer_run.err.find("online: the host ended the game"),
            std::string::npos)
      << comer_run.err;

  const std::string recording = read_text(pair.host.path() / "game.replay");
  EXPECT_EQ(recording, read_text(comer.path() / "game.replay"))
      << "the two recordings differ";
  // The first guest's stick is pulled out, the newcomer's plugged in.
  const std::size_t pulled = recording.find(" joy 1 disconnect\n");
  ASSERT_NE(pulled, std::string::npos);
  EXPECT_NE(recording.find(" joy 1 connect\n", pulled), std::string::npos);
  EXPECT_EQ(end_state(recording)["tick"], end_state(golden_versus())["tick"]);
  const auto offline =
      pair.host.run_raw({"--window", "--fast", "--script", "game.replay"});
  EXPECT_EQ(offline.exit_code, 0) << offline.err;
}

}  // namespace
