// Rooms by code and the relay between their seats, over UDP and WebSocket,
// on the real server.
#include "server/rooms/invite_code.h"
#include "tests/server/server_fixture.h"

namespace server_tests {
namespace {

TEST_F(ServerTest, RelaysBetweenSeatsOverUdpAndWebSocket) {
  start();
  // UDP host, UDP guest.
  auto host = udp();
  const online::RoomOpened room = open(*host);
  EXPECT_EQ(room.nonce, 7u);
  EXPECT_EQ(room.ticket.seat, 0u);
  EXPECT_TRUE(online::parse_code(room.ticket.code)) << room.ticket.code;
  auto guest = udp("127.0.0.2");
  const online::RoomEntered seat = entered(*guest, room.ticket.code);
  EXPECT_NE(seat.ticket.seat, 0u);
  EXPECT_TRUE(seat.host_address.starts_with("127.0.0.1:")) << seat.host_address;
  relays(*guest, seat.ticket, *host, 1);
  relays(*host, room.ticket, *guest, 2);
  // The same request again (its answer lost) gets the same room and seat.
  EXPECT_EQ(open(*host).ticket, room.ticket);
  EXPECT_EQ(entered(*guest, room.ticket.code).ticket, seat.ticket);

  // UDP host, WebSocket guest: the guest may try the direct path too.
  auto host2 = udp("127.0.0.3");
  const online::RoomOpened room2 = open(*host2);
  EXPECT_NE(room2.ticket.code, room.ticket.code);
  auto web_guest = ws();
  const online::RoomEntered web_seat = entered(*web_guest, room2.ticket.code);
  EXPECT_TRUE(web_seat.host_address.starts_with("127.0.0.3:"));
  relays(*web_guest, web_seat.ticket, *host2, 3);
  relays(*host2, room2.ticket, *web_guest, 4);

  // WebSocket host: no direct path to give.
  auto web_host = ws();
  const online::RoomOpened room3 = open(*web_host);
  auto guest3 = udp("127.0.0.4");
  const online::RoomEntered seat3 = entered(*guest3, room3.ticket.code);
  EXPECT_EQ(seat3.host_address, "");
  relays(*guest3, seat3.ticket, *web_host, 5);
  relays(*web_host, room3.ticket, *guest3, 6);

  // A guest that moves (a new UDP address) is found where it was last heard.
  auto moved = udp("127.0.0.5");
  relays(*moved, seat.ticket, *host, 7);
  relays(*host, room.ticket, *moved, 8);

  const HttpAnswer health = http_get(server->tcp_port(), "/health");
  EXPECT_EQ(health.status, 200);
  EXPECT_NE(health.body.find("\"status\":\"ok\""), std::string::npos);
  EXPECT_EQ(figure("rooms"), 3);
  EXPECT_EQ(figure("players"), 6);
  EXPECT_EQ(http_get(server->tcp_port(), "/nothing-here").status, 404);
  EXPECT_NE(
      server->log().find("room " + server::rooms::shown_code(room.ticket.code) +
                         " opened by 127.0.0.1"),
      std::string::npos)
      << server->log();
}

TEST_F(ServerTest, RefusesWithTheReason) {
  start({"--idle-seconds", "2", "--rooms-per-address", "2"});
  auto host = udp();
  const online::RoomOpened room = open(*host);
  const std::string code = room.ticket.code;
  auto guest = udp("127.0.0.2");
  const online::RoomEntered seat = entered(*guest, code);

  auto other = udp("127.0.0.3");
  EXPECT_EQ(refusal(enter(*other, code)), online::RoomError::full);
  EXPECT_EQ(refusal(enter(*other, code, online::Role::guest, "0.9.0")),
            online::RoomError::version);
  EXPECT_EQ(
      refusal(enter(*other, code, online::Role::guest, game_version, "other")),
      online::RoomError::build);
  std::string unknown = code;
  unknown[0] = unknown[0] == 'A' ? 'B' : 'A';
  EXPECT_EQ(refusal(enter(*other, unknown)), online::RoomError::no_room);

  // A ticket whose secret the server did not make speaks for no seat.
  online::Ticket forged = seat.ticket;
  forged.secret ^= 1;
  other->send(online::Relay{forged, {1, 2, 3}});
  const auto refused = other->expect<online::RoomRefused>();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->reason, online::RoomError::seat);
  EXPECT_FALSE(host->receive_bytes(200ms)) << "a forged relay went through";

  // Another protocol version: the version field of the header changed.
  std::vector<std::uint8_t> bytes = online::encode(online::EnterRoom{
      5, code, online::Role::guest, game_version, game_build});
  bytes[4] ^= 0x40;
  other->send_bytes(bytes);
  const auto version = other->expect<online::RoomRefused>();
  ASSERT_TRUE(version);
  EXPECT_EQ(version->reason, online::RoomError::version);

  // Rooms per address, then the host leaving.
  open(*host, {}, 8);
  host->send(online::OpenRoom{9, game_version, game_build, {}, {}});
  const auto too_many = host->expect<online::RoomRefused>();
  ASSERT_TRUE(too_many);
  EXPECT_EQ(too_many->reason, online::RoomError::limit);
  host->send(online::Presence{room.ticket, true});
  EXPECT_TRUE(server->wait_for_log("ended: the host left"));
  EXPECT_EQ(refusal(enter(*other, code)), online::RoomError::host_left);

  // A room whose host goes unheard ends: its code says so afterwards.
  auto quiet_host = udp("127.0.0.6");
  const online::RoomOpened quiet = open(*quiet_host);
  EXPECT_TRUE(server->wait_for_log(
      "room " + server::rooms::shown_code(quiet.ticket.code) +
          " ended: unheard",
      6s));
  auto late = udp("127.0.0.7");
  EXPECT_EQ(refusal(enter(*late, quiet.ticket.code)),
            online::RoomError::expired);

  // Wrong codes cost: after a few, even a right one waits.
  auto guesser = udp("127.0.0.8");
  int no_room = 0;
  for (int i = 0; i < 5; ++i) {
    no_room += refusal(enter(*guesser, "ZZZZZZZ" + std::to_string(2 + i))) ==
               online::RoomError::no_room;
  }
  EXPECT_EQ(no_room, 5);
  EXPECT_EQ(refusal(enter(*guesser, quiet.ticket.code)),
            online::RoomError::limit);
  EXPECT_GE(figure("limit guesses"), 1);
}

}  // namespace
}  // namespace server_tests
