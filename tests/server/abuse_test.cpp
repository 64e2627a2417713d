// Bytes no game sends, to every port of the real server: dropped, counted
// by reason, survived; a flood from one address limited while a room of
// others plays on.
#include <map>
#include <random>
#include <thread>

#include "tests/server/server_fixture.h"

namespace server_tests {
namespace {

// Every kind of message the server takes, cut short or with bytes changed.
std::vector<std::vector<std::uint8_t>> damaged_messages(std::mt19937& random) {
  const online::Ticket ticket{"ABCDEFGH", 3, 99};
  const std::vector<online::Message> kinds = {
      online::OpenRoom{1, "1.0.0", "b", {{"seed", "1"}}, ticket},
      online::EnterRoom{2, "ABCDEFGH", online::Role::spectator, "1.0.0", "b"},
      online::Relay{ticket, std::vector<std::uint8_t>(300, 7)},
      online::Presence{ticket, true},
      online::Stream{ticket, 1, 0, true, {{}, {}}},
      online::StreamAck{ticket, 1, 5}};
  std::vector<std::vector<std::uint8_t>> out;
  for (const auto& kind : kinds) {
    const std::vector<std::uint8_t> whole = online::encode(kind);
    for (std::size_t cut = 0; cut < whole.size();
         cut += 1 + whole.size() / 20) {
      out.emplace_back(whole.begin(), whole.begin() + cut);
    }
    for (int i = 0; i < 20; ++i) {
      std::vector<std::uint8_t> changed = whole;
      changed[random() % changed.size()] ^= std::uint8_t(1 + random() % 255);
      out.push_back(changed);
    }
  }
  for (int i = 0; i < 300; ++i) {
    std::vector<std::uint8_t> noise(random() %
                                    (online::max_datagram_bytes + 1));
    for (auto& b : noise) b = std::uint8_t(random());
    out.push_back(noise);
  }
  return out;
}

TEST_F(ServerTest, BadBytesAreDroppedAndCountedOnEveryPort) {
  start();
  std::mt19937 random(17);
  const auto messages = damaged_messages(random);
  // Over WebSocket nothing is lost on the way: the counts are exact. The
  // server answers some (a bad ticket is refused), which is read and let go.
  std::map<std::string, long long> expected;
  auto web = ws();
  for (const auto& bytes : messages) {
    std::string error;
    if (!online::decode(bytes, error)) ++expected[error];
    web->send_bytes(bytes);
  }
  while (web->receive_bytes(300ms)) {
  }
  EXPECT_EQ(figure("messages_in_total"), (long long)messages.size());
  for (const auto& [reason, n] : expected) {
    EXPECT_EQ(figure("dropped " + reason), n) << reason;
  }
  // The same over UDP, paced: survived and counted.
  auto noise = udp("127.0.0.30");
  for (const auto& bytes : messages) {
    noise->send_bytes(bytes);
    std::this_thread::sleep_for(200us);
  }
  // A frame over the largest message ends its WebSocket connection.
  web->send_bytes(std::vector<std::uint8_t>(online::max_datagram_bytes + 1, 1));
  EXPECT_FALSE(web->receive_bytes(500ms));

  // HTTP: a request line of nothing, and bodies over their limit, refused
  // before the body is read (none is sent here).
  EXPECT_EQ(raw_tcp(server->tcp_port(), "BLAH\r\n\r\n").find("200"),
            std::string::npos);
  const std::string big = raw_tcp(server->tcp_port(),
                                  "POST /anything HTTP/1.1\r\nHost: x\r\n"
                                  "Content-Length: 104857600\r\n\r\n");
  EXPECT_EQ(big.rfind("HTTP/1.1 413", 0), 0u) << "[" << big << "]";
  const std::string chunked = raw_tcp(
      server->tcp_port(),
      "POST /anything HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
      "10000\r\n" +
          std::string(0x10000, 'x') +
          "\r\n10\r\n0123456789abcdef\r\n0\r\n\r\n");
  EXPECT_EQ(chunked.rfind("HTTP/1.1 413", 0), 0u) << chunked.substr(0, 100);
  EXPECT_EQ(figure("limit http_body"), 2);

  EXPECT_GT(figure("dropped magic"), expected["magic"]);
  EXPECT_GE(figure("dropped size"), 1);
  EXPECT_EQ(http_get(server->tcp_port(), "/health").status, 200);
  EXPECT_EQ(server->stop(), 0) << server->log();
}

TEST_F(ServerTest, AFloodFromOneAddressIsLimitedWhileOthersPlay) {
  start();
  auto host = udp("127.0.0.41");
  const online::RoomOpened room = open(*host);
  auto guest = udp("127.0.0.42");
  const online::RoomEntered seat = entered(*guest, room.ticket.code);
  auto flood = udp("127.0.0.40");
  // Well-formed but for no room: it costs the decoding and a lookup.
  const auto junk = online::encode(online::Presence{{"ZZZZZZZZ", 0, 1}, false});
  int relayed = 0;
  const auto payload =
      online::encode(online::Bye{1, online::ByeReason::left, 1});
  for (int i = 0; i < 4000; ++i) {
    flood->send_bytes(junk);
    if (i % 80 == 0) {
      guest->send(online::Relay{seat.ticket, payload});
      relayed += host->receive_bytes(200ms) == payload;
    }
    std::this_thread::sleep_for(50us);
  }
  EXPECT_EQ(relayed, 50);
  EXPECT_GE(figure("limit address_messages"), 1);
  EXPECT_GE(figure("dropped limit"), 1000);
  EXPECT_TRUE(server->wait_for_log("hit by 127.0.0.40"));
}

}  // namespace
}  // namespace server_tests
