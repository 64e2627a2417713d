// Two real games by invite code through the real vermix-server on loopback:
// the golden versus game split between host and guest, with spectators
// that watch from tick 0 and from the middle. With the host behind a
// strict NAT (a proxy that lets through only the server's datagrams) the
// games go by the relay; with the way open, they go directly. Every
// recording is the same and ends in the golden game's state; a server
// killed and started again in mid-game costs a stall, not the game.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/integration/versus_split.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/server_process.h"
#include "tests/support/udp_impair.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::GameFolder;
using testing_support::read_text;
using testing_support::RunResult;
using testing_support::ServerProcess;
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

// What a running game has printed so far.
std::string said(const GameFolder& game) {
  return read_text(game.path() / ".stderr");
}

// The last tick a running game's recording has checked (it is written
// once a second), or -1.
long recorded_to(const GameFolder& game) {
  const std::string text = read_text(game.path() / "game.replay");
  const std::size_t at = text.rfind("#! check ");
  return at == std::string::npos ? -1 : std::stol(text.substr(at + 9));
}

class OnlineRoom : public ::testing::Test {
 protected:
  void start_server(std::vector<std::string> args = {}) {
    server =
        testing_support::test_server(scratch.path() / "state", std::move(args));
  }

  // The game's arguments to reach the server at `port` (the server's own
  // by default).
  std::vector<std::string> online(std::vector<std::string> args,
                                  std::uint16_t port = 0) {
    args.insert(args.begin(), {"--window", "--fast"});
    args.insert(args.end(), {"--server", at(port ? port : server->udp_port())});
    return args;
  }

  // The host reaches the server through the NAT when there is one; its
  // invite code is what it prints.
  void start_host(bool behind_nat) {
    std::uint16_t port = server->udp_port();
    if (behind_nat) {
      UdpImpair::Options o;
      o.target_port = port;
      o.time_limit = 200s;
      nat = std::make_unique<UdpImpair>(o);
      port = nat->port();
    }
    host.write_bytes("host.script", {split.host.begin(), split.host.end()});
    host_pid = host.start(
        online({"--seed", "7", "--host", "--input-delay", "0", "--script",
                "host.script", "--record", "game.replay"},
               port));
    const std::regex invite(
        R"(online: invite code (\w{4})-(\w{4}) \(vermix://join/(\w{8})\))");
    // The match points into `text`, which must outlive it.
    std::string text;
    std::smatch m;
    ASSERT_TRUE(eventually([&] {
      text = said(host);
      return std::regex_search(text, m, invite);
    })) << said(host)
        << server->log();
    code = m[1].str() + m[2].str();
    EXPECT_EQ(m[3].str(), code);
    shown = m[1].str() + "-" + m[2].str();
  }
  pid_t start_watching(GameFolder& folder) {
    return folder.start(online({"--watch", shown, "--record", "game.replay"}));
  }
  // A spectator from tick 0, then the guest, by the code as typed.
  void start_guest() {
    early_pid = start_watching(early);
    guest.write_bytes("guest.script", {split.guest.begin(), split.guest.end()});
    std::string typed = shown;
    for (char& c : typed) c = char(std::tolower(c));
    guest_pid = guest.start(online({"--join", typed, "--script", "guest.script",
                                    "--record", "game.replay"}));
    ASSERT_TRUE(server->wait_for_log(": guest 127.0.0.1 entered", 30s))
        << server->log();
  }
  // A spectator once the host has played past `tick`.
  void start_late_spectator(long tick) {
    ASSERT_TRUE(eventually([&] { return recorded_to(host) > tick; }))
        << said(host);
    late_pid = start_watching(late);
  }
  RunResult join(const std::string& what) {
    return third.run_raw(online({"--join", what}));
  }
  // A refusal's exit status and line.
  void expect_refused(const RunResult& r, int status, const std::string& line) {
    EXPECT_EQ(r.exit_code, status) << r.err;
    EXPECT_NE(r.err.find("online: " + line), std::string::npos) << r.err;
  }

  // Every game ends in order with the same recording, which ends in the
  // golden game's state and plays offline.
  void expect_one_game() {
    h = host.wait(host_pid, 240);
    g = guest.wait(guest_pid, 240);
    const RunResult e = early.wait(early_pid, 240);
    const RunResult l = late.wait(late_pid, 240);
    ASSERT_EQ(h.exit_code, 0) << h.err << server->log();
    ASSERT_EQ(g.exit_code, 0) << g.err;
    EXPECT_EQ(e.exit_code, 0) << e.err;
    EXPECT_EQ(l.exit_code, 0) << l.err;
    const std::string recorded = read_text(host.path() / "game.replay");
    for (GameFolder* other : {&guest, &early, &late}) {
      EXPECT_EQ(read_text(other->path() / "game.replay"), recorded)
          << other->path();
    }
    const std::string golden = read_text(fs::path(VERMIX_SOURCE_DIR) / "tests" /
                                         "replays" / "versus.replay");
    EXPECT_EQ(testing_support::end_state(recorded),
              testing_support::end_state(golden));
    const RunResult offline =
        host.run_raw({"--window", "--fast", "--script", "game.replay"});
    EXPECT_EQ(offline.exit_code, 0) << offline.err;
  }

  testing_support::ScratchFolder scratch{"vermix-room-test"};
  std::unique_ptr<ServerProcess> server;
  const testing_support::Split split = testing_support::split_versus();
  GameFolder host, guest, early, late, third;
  std::unique_ptr<UdpImpair> nat;
  pid_t host_pid = -1, guest_pid = -1, early_pid = -1, late_pid = -1;
  std::string code, shown;  // ABCDEFGH, ABCD-EFGH
  RunResult h, g;
};

// Behind a strict NAT the guest's direct hellos never arrive: both go by
// the relay. A second guest finds the room full; once the host has ended
// it, a guest hears so.
TEST_F(OnlineRoom, AnUnreachableHostPlaysByTheRelay) {
  start_server();
  ASSERT_NO_FATAL_FAILURE(start_host(true));
  ASSERT_NO_FATAL_FAILURE(start_guest());
  expect_refused(join(code), 9, "room " + shown + " has its guest already");
  ASSERT_NO_FATAL_FAILURE(start_late_spectator(900));
  ASSERT_NO_FATAL_FAILURE(expect_one_game());
  // The host sees the server at the NAT's address.
  const std::string relay = "online: connected to ";
  EXPECT_TRUE(has_line(h.err, relay + at(nat->port()), " by the relay"))
      << h.err;
  EXPECT_EQ(h.err.find("directly"), std::string::npos) << h.err;
  EXPECT_TRUE(has_line(g.err, relay + at(server->udp_port()), " by the relay"))
      << g.err;
  EXPECT_GT(nat->counts().strangers, 0u);
  EXPECT_TRUE(
      server->wait_for_log("room " + shown + " ended: the host left", 30s))
      << server->log();
  expect_refused(join(code), 11, "room " + shown + " has ended: its host left");
}

// With the way open the two games go directly. The server is killed in
// mid-game and started again on its state: the host asks for its room
// back and sends its stream again, and a spectator who comes after that
// still sees the game from tick 0.
TEST_F(OnlineRoom, AReachableHostPlaysDirectlyThroughARestartOfTheServer) {
  start_server();
  ASSERT_NO_FATAL_FAILURE(start_host(false));
  ASSERT_NO_FATAL_FAILURE(start_guest());
  ASSERT_TRUE(eventually([&] { return recorded_to(host) > 600; }));
  server->kill();
  server->start();
  ASSERT_TRUE(server->wait_for_log("room " + shown + " opened again", 30s))
      << server->log() << said(host);
  ASSERT_NO_FATAL_FAILURE(start_late_spectator(900));
  ASSERT_NO_FATAL_FAILURE(expect_one_game());
  EXPECT_TRUE(has_line(g.err, "online: connected to 127.0.0.1:", " directly"))
      << g.err;
  EXPECT_TRUE(has_line(h.err, "online: connected to 127.0.0.1:", " directly"))
      << h.err;
  EXPECT_EQ(h.err.find("by the relay"), std::string::npos) << h.err;
  EXPECT_NE(h.err.find("online: the server lost room " + shown),
            std::string::npos)
      << h.err;
  EXPECT_NE(h.err.find("online: room " + shown + " is back"), std::string::npos)
      << h.err;
}

// A code no room has, and a room whose host went silent.
TEST_F(OnlineRoom, AWrongCodeAndAnExpiredRoomAreRefused) {
  start_server({"--idle-seconds", "2"});
  expect_refused(join("abcd-efgh"), 8,
                 "no room has the code ABCD-EFGH; check the code");
  ASSERT_NO_FATAL_FAILURE(start_host(false));
  ::kill(host_pid, SIGKILL);
  host.wait(host_pid, 30);
  ASSERT_TRUE(server->wait_for_log("room " + shown + " ended: unheard", 10s))
      << server->log();
  expect_refused(join(shown), 10,
                 "room " + shown + " has ended: nobody was heard");
}

}  // namespace
