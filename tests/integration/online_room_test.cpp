// Two real games by invite code through a room server on loopback (the
// tests' own, in-process): the golden versus game split between host and
// guest, with spectators that watch from tick 0 and from the middle. With
// the host behind a strict NAT (a proxy that lets through only the
// server's datagrams) the games go by the relay; with the way open, they go
// directly. Every recording is the same, and plays offline to the golden
// game's end; a server that loses its rooms in mid-game costs a stall.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/integration/versus_split.h"
#include "tests/support/room_server_fake.h"
#include "tests/support/udp_impair.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::GameFolder;
using testing_support::RoomServerFake;
using testing_support::RunResult;
using testing_support::UdpImpair;

std::string at(std::uint16_t port) {
  return "127.0.0.1:" + std::to_string(port);
}

// Waits (bounded) until `done`.
bool eventually(const std::function<bool()>& done,
                std::chrono::seconds limit = 60s) {
  for (const auto end = std::chrono::steady_clock::now() + limit;
       std::chrono::steady_clock::now() < end;) {
    if (done()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return done();
}

// A line of `text` that begins and ends so.
bool has_line(const std::string& text, const std::string& begins,
              const std::string& ends) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with(begins) && line.ends_with(ends)) return true;
  return false;
}

struct RoomGame {
  RoomServerFake server;
  GameFolder host, guest, early, late;
  std::unique_ptr<UdpImpair> nat;
  pid_t host_pid = -1, guest_pid = -1, early_pid = -1, late_pid = -1;

  RoomGame() {
    const testing_support::Split s = testing_support::split_versus();
    host.write_bytes("host.script", {s.host.begin(), s.host.end()});
    guest.write_bytes("guest.script", {s.guest.begin(), s.guest.end()});
  }
  // The host reaches the server through the NAT when there is one.
  void start_host(bool behind_nat) {
    std::uint16_t server_port = server.port();
    if (behind_nat) {
      UdpImpair::Options o;
      o.target_port = server.port();
      o.time_limit = 200s;
      nat = std::make_unique<UdpImpair>(o);
      server_port = nat->port();
    }
    host_pid =
        host.start({"--window", "--fast", "--seed", "7", "--host", "--server",
                    at(server_port), "--input-delay", "0", "--script",
                    "host.script", "--record", "game.replay"});
    ASSERT_TRUE(eventually([&] { return server.counts().rooms_opened > 0; }));
  }
  pid_t start_watching(GameFolder& folder) {
    return folder.start({"--window", "--fast", "--watch", "wxyz-2345",
                         "--server", at(server.port()), "--record",
                         "game.replay"});
  }
  void start_guest() {
    early_pid = start_watching(early);
    guest_pid = guest.start({"--window", "--fast", "--join", "WXYZ-2345",
                             "--server", at(server.port()), "--script",
                             "guest.script", "--record", "game.replay"});
  }
  RunResult join_again(GameFolder& folder) {
    return folder.run_raw({"--window", "--fast", "--join", "WXYZ2345",
                           "--server", at(server.port())});
  }
  // Every game ends in order with the same recording, which is the golden
  // game's and plays offline.
  void expect_one_game(const RunResult& h, const RunResult& g) {
    const RunResult e = early.wait(early_pid, 240);
    const RunResult l = late.wait(late_pid, 240);
    ASSERT_EQ(h.exit_code, 0) << h.err;
    ASSERT_EQ(g.exit_code, 0) << g.err;
    EXPECT_EQ(e.exit_code, 0) << e.err;
    EXPECT_EQ(l.exit_code, 0) << l.err;
    const std::string recorded =
        testing_support::read_text(host.path() / "game.replay");
    for (GameFolder* other : {&guest, &early, &late}) {
      EXPECT_EQ(testing_support::read_text(other->path() / "game.replay"),
                recorded)
          << other->path();
    }
    const std::string golden = testing_support::read_text(
        fs::path(VERMIX_SOURCE_DIR) / "tests" / "replays" / "versus.replay");
    EXPECT_EQ(testing_support::end_state(recorded),
              testing_support::end_state(golden));
    const RunResult offline =
        host.run_raw({"--window", "--fast", "--script", "game.replay"});
    EXPECT_EQ(offline.exit_code, 0) << offline.err;
  }
};

// Behind a strict NAT the guest's direct hellos never arrive: both go by
// the relay. A second guest finds the room full; once the host has ended
// it, a guest hears so.
TEST(OnlineRoom, AnUnreachableHostPlaysByTheRelay) {
  RoomGame game;
  ASSERT_NO_FATAL_FAILURE(game.start_host(true));
  game.start_guest();
  ASSERT_TRUE(
      eventually([&] { return game.server.counts().guests_entered > 0; }));
  GameFolder third;
  const RunResult full = game.join_again(third);
  EXPECT_EQ(full.exit_code, 9) << full.err;
  EXPECT_NE(full.err.find("online: room WXYZ-2345 has its guest already"),
            std::string::npos)
      << full.err;
  ASSERT_TRUE(
      eventually([&] { return game.server.counts().stream_ticks > 900; }));
  game.late_pid = game.start_watching(game.late);
  const RunResult h = game.host.wait(game.host_pid, 240);
  const RunResult g = game.guest.wait(game.guest_pid, 240);
  ASSERT_NO_FATAL_FAILURE(game.expect_one_game(h, g));
  EXPECT_NE(h.err.find("online: invite code WXYZ-2345 "
                       "(vermix://join/WXYZ2345)"),
            std::string::npos)
      << h.err;
  // The host sees the server at the NAT's address.
  const std::string relay = "online: connected to ";
  EXPECT_TRUE(has_line(h.err, relay + at(game.nat->port()), " by the relay"))
      << h.err;
  EXPECT_EQ(h.err.find("directly"), std::string::npos) << h.err;
  EXPECT_TRUE(has_line(g.err, relay + at(game.server.port()), " by the relay"))
      << g.err;
  EXPECT_GT(game.nat->counts().strangers, 0u);
  EXPECT_TRUE(game.server.counts().stream_ended);
  const RunResult after = game.join_again(third);
  EXPECT_EQ(after.exit_code, 11) << after.err;
  EXPECT_NE(after.err.find("room WXYZ-2345 has ended: its host left"),
            std::string::npos)
      << after.err;
}

// With the way open the two games go directly. The server loses its rooms
// in mid-game: the host asks for its room back and sends its stream again,
// and a spectator who comes after that still sees the game from tick 0.
TEST(OnlineRoom, AReachableHostPlaysDirectlyThroughARestartOfTheServer) {
  RoomGame game;
  ASSERT_NO_FATAL_FAILURE(game.start_host(false));
  game.start_guest();
  ASSERT_TRUE(
      eventually([&] { return game.server.counts().stream_ticks > 600; }));
  game.server.forget();
  ASSERT_TRUE(
      eventually([&] { return game.server.counts().rooms_opened > 1; }));
  ASSERT_TRUE(
      eventually([&] { return game.server.counts().stream_ticks > 900; }));
  game.late_pid = game.start_watching(game.late);
  const RunResult h = game.host.wait(game.host_pid, 240);
  const RunResult g = game.guest.wait(game.guest_pid, 240);
  ASSERT_NO_FATAL_FAILURE(game.expect_one_game(h, g));
  EXPECT_TRUE(has_line(g.err, "online: connected to 127.0.0.1:", " directly"))
      << g.err;
  EXPECT_TRUE(has_line(h.err, "online: connected to 127.0.0.1:", " directly"))
      << h.err;
  EXPECT_EQ(h.err.find("by the relay"), std::string::npos) << h.err;
  EXPECT_NE(h.err.find("online: the server lost room WXYZ-2345"),
            std::string::npos)
      << h.err;
  EXPECT_NE(h.err.find("online: room WXYZ-2345 is back"), std::string::npos)
      << h.err;
}

// A code no room has, and a room whose host went silent.
TEST(OnlineRoom, AWrongCodeAndAnExpiredRoomAreRefused) {
  RoomServerFake server("WXYZ2345", 1500ms);
  GameFolder host, guest;
  const RunResult wrong =
      guest.run_raw({"--window", "--fast", "--join", "abcd-efgh", "--server",
                     at(server.port())});
  EXPECT_EQ(wrong.exit_code, 8) << wrong.err;
  EXPECT_NE(wrong.err.find("online: no room has the code ABCD-EFGH"),
            std::string::npos)
      << wrong.err;
  const pid_t host_pid = host.start(
      {"--window", "--fast", "--host", "--server", at(server.port())});
  ASSERT_TRUE(eventually([&] { return server.counts().rooms_opened > 0; }));
  ::kill(host_pid, SIGKILL);
  host.wait(host_pid, 30);
  std::this_thread::sleep_for(2s);
  const RunResult expired =
      guest.run_raw({"--window", "--fast", "--join", "WXYZ2345", "--server",
                     at(server.port())});
  EXPECT_EQ(expired.exit_code, 10) << expired.err;
  EXPECT_NE(expired.err.find("room WXYZ-2345 has ended: nobody was heard"),
            std::string::npos)
      << expired.err;
}

}  // namespace
