// The real server on loopback with a scratch state folder, and the steps
// of its clients every test takes: open a room, enter it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "tests/support/scratch_folder.h"
#include "tests/support/server_clients.h"
#include "tests/support/server_process.h"

namespace server_tests {

using namespace testing_support;

inline const std::string game_version = "1.0.0";
inline const std::string game_build = "test-build";

class ServerTest : public ::testing::Test {
 protected:
  void start(std::vector<std::string> args = {}) {
    server = test_server(scratch.path() / "state", std::move(args));
  }
  std::unique_ptr<ServerClient> udp(const std::string& local = "127.0.0.1") {
    return udp_client(server->udp_port(), local);
  }
  std::unique_ptr<ServerClient> ws() { return ws_client(server->tcp_port()); }

  // The host's room; fails the test when it is not opened.
  online::RoomOpened open(ServerClient& host, online::Ticket resume = {},
                          std::uint32_t nonce = 7) {
    host.send(online::OpenRoom{
        nonce, game_version, game_build, {{"seed", "42"}}, resume});
    const auto opened = host.expect<online::RoomOpened>();
    EXPECT_TRUE(opened) << server->log();
    return opened.value_or(online::RoomOpened{});
  }
  // The answer to entering: RoomEntered or RoomRefused.
  std::variant<std::monostate, online::RoomEntered, online::RoomRefused> enter(
      ServerClient& who, const std::string& code,
      online::Role role = online::Role::guest,
      const std::string& version = game_version,
      const std::string& build = game_build) {
    who.send(online::EnterRoom{11, code, role, version, build});
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < deadline) {
      const auto m = who.receive(500ms);
      if (!m) continue;
      if (const auto* e = std::get_if<online::RoomEntered>(&*m)) return *e;
      if (const auto* r = std::get_if<online::RoomRefused>(&*m)) return *r;
    }
    return std::monostate{};
  }
  online::RoomEntered entered(ServerClient& who, const std::string& code,
                              online::Role role = online::Role::guest) {
    auto answer = enter(who, code, role);
    EXPECT_TRUE(std::holds_alternative<online::RoomEntered>(answer))
        << server->log();
    auto* e = std::get_if<online::RoomEntered>(&answer);
    return e ? *e : online::RoomEntered{};
  }
  // The reason of a refusal, or nothing when it was not refused.
  std::optional<online::RoomError> refusal(
      const std::variant<std::monostate, online::RoomEntered,
                         online::RoomRefused>& answer) {
    const auto* r = std::get_if<online::RoomRefused>(&answer);
    return r ? std::optional(r->reason) : std::nullopt;
  }

  // A relayed payload goes from `from` to `to` unchanged.
  void relays(ServerClient& from, const online::Ticket& ticket,
              ServerClient& to, std::uint32_t tag) {
    const auto payload =
        online::encode(online::Bye{tag, online::ByeReason::left, tag});
    from.send(online::Relay{ticket, payload});
    const auto got = to.receive_bytes(2s);
    ASSERT_TRUE(got) << "nothing relayed for " << tag << "\n" << server->log();
    EXPECT_EQ(*got, payload);
  }

  std::string figures() {
    return http_get(server->tcp_port(), "/figures").body;
  }
  // The number on the figures page's line `name`, or -1.
  long long figure(const std::string& name) {
    const std::string page = "\n" + figures();
    const auto at = page.find("\n" + name + " ");
    if (at == std::string::npos) return -1;
    return std::stoll(page.substr(at + name.size() + 2));
  }

  ScratchFolder scratch{"vermix-server-test"};
  std::unique_ptr<ServerProcess> server;
};

}  // namespace server_tests
