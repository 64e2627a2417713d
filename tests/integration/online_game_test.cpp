// Two real games on loopback, host and guest, through a proxy that delays,
// jitters, loses and duplicates their datagrams. They play the golden
// versus game, its inputs split between the two machines: with no input
// delay the merged stream is the recorded one, so both must end in the
// recorded final state, write the same recording, and that recording must
// play offline check for check. A guest killed in mid-game leaves the host
// playing on with one stick.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

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
using testing_support::Impairment;
using testing_support::read_text;
using testing_support::Split;
using testing_support::split_versus;
using testing_support::UdpImpair;

// A port of its own for each run of the tests, so parallel runs never meet.
std::uint16_t host_port() {
  return static_cast<std::uint16_t>(20000 + getpid() % 20000);
}

struct OnlinePair {
  GameFolder host, guest;
  std::unique_ptr<UdpImpair> proxy;
  pid_t host_pid = -1, guest_pid = -1;

  explicit OnlinePair(const Split& s) {
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
    // 100 ms round trip, 20 ms of jitter each way, 5 % lost, 1 % twice.
    UdpImpair::Options o;
    o.target_port = port;
    o.to_target = {std::chrono::milliseconds(50), std::chrono::milliseconds(10),
                   0.05, 0.01};
    o.to_client = o.to_target;
    o.seed = 29;
    o.time_limit = std::chrono::seconds(200);
    proxy = std::make_unique<UdpImpair>(o);
    guest_pid =
        guest.start({"--window", "--fast", "--join",
                     "127.0.0.1:" + std::to_string(proxy->port()), "--script",
                     "guest.script", "--record", "game.replay"});
  }
};

TEST(OnlineGame, TwoMachinesThroughABadLinkPlayTheRecordedVersusGame) {
  OnlinePair pair(split_versus());
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
  EXPECT_GT(counts.to_target.lost + counts.to_client.lost, 0u);

  const std::string host_replay = read_text(pair.host.path() / "game.replay");
  const std::string guest_replay = read_text(pair.guest.path() / "game.replay");
  EXPECT_EQ(host_replay, guest_replay) << "the two recordings differ";
  const std::string golden = read_text(fs::path(VERMIX_SOURCE_DIR) / "tests" /
                                       "replays" / "versus.replay");
  EXPECT_EQ(end_state(host_replay), end_state(golden));

  // The recording is a replay like any other: offline, check for check.
  const auto offline =
      pair.host.run_raw({"--window", "--fast", "--script", "game.replay"});
  EXPECT_EQ(offline.exit_code, 0) << offline.err;
}

TEST(OnlineGame, TheHostPlaysOnWhenTheGuestIsKilled) {
  OnlinePair pair(split_versus());
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

}  // namespace
