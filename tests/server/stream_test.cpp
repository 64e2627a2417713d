// The room's stream: kept from the host's messages and fed to spectators
// from tick 0, over UDP (acknowledged, resent) and WebSocket, on the real
// server.
#include <random>

#include "tests/server/server_fixture.h"

namespace server_tests {
namespace {

using Ticks = std::vector<std::array<online::TickEvents, 2>>;

// A game's worth of ticks: mostly empty, now and then a key or a stick.
Ticks game_ticks(std::size_t count) {
  std::mt19937 random(5);
  Ticks ticks(count);
  for (auto& tick : ticks) {
    for (auto& seat : tick) {
      if (random() % 4 == 0) {
        seat.push_back({online::EventKind::key, std::int16_t(random() % 256), 0,
                        random() % 2 == 0, 0.0f});
      }
      if (random() % 6 == 0) {
        seat.push_back({online::EventKind::joy_axis, 1,
                        std::int16_t(random() % 2), false,
                        float(int(random() % 200) - 100) / 100.0f});
      }
    }
  }
  return ticks;
}

// The host sends the ticks in messages of `per` from `first`, the last
// one marked ended, and checks every acknowledgement.
void send_stream(ServerClient& host, const online::Ticket& ticket,
                 const Ticks& ticks, std::uint32_t session, std::size_t first,
                 std::size_t per) {
  for (std::size_t at = first; at < ticks.size(); at += per) {
    online::Stream s{ticket, session, std::uint32_t(at), false, {}};
    s.ticks.assign(ticks.begin() + at,
                   ticks.begin() + std::min(at + per, ticks.size()));
    s.ended = at + per >= ticks.size();
    host.send(s);
    const auto ack = host.expect<online::StreamAck>();
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->next_tick, at + s.ticks.size());
  }
}

// What a spectator gets until the stream's end: each message acknowledged
// unless `skip` says to leave it (the server then sends it again).
Ticks watch(ServerClient& spectator, const online::Ticket& ticket,
            bool acknowledge, int skip_every = 0) {
  Ticks got;
  bool ended = false;
  int n = 0;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!ended && std::chrono::steady_clock::now() < deadline) {
    const auto s = spectator.expect<online::Stream>(1s);
    if (!s) continue;
    if (s->first_tick == got.size()) {
      got.insert(got.end(), s->ticks.begin(), s->ticks.end());
      ended = s->ended;
    }
    ++n;
    if (acknowledge && !(skip_every > 0 && n % skip_every == 0)) {
      spectator.send(
          online::StreamAck{ticket, s->session, std::uint32_t(got.size())});
    }
  }
  EXPECT_TRUE(ended) << "the stream did not end for a spectator: "
                     << got.size();
  return got;
}

TEST_F(ServerTest, SpectatorsGetTheWholeStreamFromTickZero) {
  start();
  auto host = udp();
  const online::RoomOpened room = open(*host);
  const Ticks ticks = game_ticks(1500);

  // One watches from the start: the settings come with the seat.
  auto early = udp("127.0.0.2");
  const online::RoomEntered early_seat =
      entered(*early, room.ticket.code, online::Role::spectator);
  EXPECT_EQ(early_seat.settings,
            (decltype(early_seat.settings){{"seed", "42"}}));
  EXPECT_EQ(early_seat.host_address, "");

  // The host resends from its last acknowledgement; a gap is not taken.
  online::Stream gap{room.ticket, 77, 500, false, {ticks[500]}};
  host->send(gap);
  const auto gap_ack = host->expect<online::StreamAck>();
  ASSERT_TRUE(gap_ack);
  EXPECT_EQ(gap_ack->next_tick, 0u);
  send_stream(*host, room.ticket, Ticks(ticks.begin(), ticks.begin() + 700), 77,
              0, 35);
  // The rest, overlapping what was sent.
  Ticks all = ticks;
  send_stream(*host, room.ticket, all, 77, 690, 40);

  EXPECT_EQ(watch(*early, early_seat.ticket, true), ticks);
  // Late ones catch up from tick 0: one losing some acknowledgements, one
  // over WebSocket that acknowledges nothing.
  auto late = udp("127.0.0.3");
  const online::RoomEntered late_seat =
      entered(*late, room.ticket.code, online::Role::spectator);
  EXPECT_EQ(watch(*late, late_seat.ticket, true, 3), ticks);
  auto web = ws();
  const online::RoomEntered web_seat =
      entered(*web, room.ticket.code, online::Role::spectator);
  EXPECT_EQ(watch(*web, web_seat.ticket, false), ticks);

  // A spectator may not relay into the game, nor send the stream.
  late->send(online::Relay{late_seat.ticket, {9, 9}});
  late->send(online::Stream{late_seat.ticket, 77, 1500, false, {ticks[0]}});
  EXPECT_FALSE(host->receive_bytes(300ms));
  EXPECT_GE(figure("dropped role"), 2);
  EXPECT_EQ(figure("spectators"), 3);
}

TEST_F(ServerTest, StreamBeyondItsBytesIsAcknowledgedAndCounted) {
  start({"--stream-bytes-per-room", "2048"});
  auto host = udp();
  const online::RoomOpened room = open(*host);
  const Ticks ticks = game_ticks(600);
  send_stream(*host, room.ticket, ticks, 3, 0, 40);
  EXPECT_GT(figure("stream_ticks_refused"), 0);
  EXPECT_GE(figure("limit stream_bytes"), 1);
}

}  // namespace
}  // namespace server_tests
