// A server killed and started again: the host gets its code back with its
// ticket, the guest's ticket is taken again, the relay goes on.
#include "tests/server/server_fixture.h"

namespace server_tests {
namespace {

TEST_F(ServerTest, GamesGoOnAfterARestart) {
  start();
  auto host = udp();
  const online::RoomOpened room = open(*host);
  auto guest = udp("127.0.0.2");
  const online::RoomEntered seat = entered(*guest, room.ticket.code);
  relays(*guest, seat.ticket, *host, 1);
  host->send(online::Stream{room.ticket, 5, 0, false, {{}, {}, {}}});
  ASSERT_TRUE(host->expect<online::StreamAck>());

  server->kill();
  server->start();
  // The host learns that its room is not open, and opens it again.
  host->send(online::Presence{room.ticket, false});
  const auto gone = host->expect<online::RoomRefused>();
  ASSERT_TRUE(gone) << server->log();
  EXPECT_EQ(gone->reason, online::RoomError::no_room);
  const online::RoomOpened again = open(*host, room.ticket, 8);
  EXPECT_EQ(again.ticket, room.ticket);
  // The server lost the stream: its acknowledgement asks for it from 0.
  host->send(online::Stream{room.ticket, 5, 3, false, {{}}});
  const auto ack = host->expect<online::StreamAck>();
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->next_tick, 0u);

  relays(*guest, seat.ticket, *host, 2);
  relays(*host, room.ticket, *guest, 3);
  // The guest's seat is taken again: the room is full to others.
  auto other = udp("127.0.0.3");
  EXPECT_EQ(refusal(enter(*other, room.ticket.code)), online::RoomError::full);

  // A host's ticket for a code the server never gave is refused.
  online::Ticket forged = room.ticket;
  forged.code = room.ticket.code == "ABCDEFGH" ? "HGFEDCBA" : "ABCDEFGH";
  host->send(online::OpenRoom{9, game_version, game_build, {}, forged});
  const auto refused = host->expect<online::RoomRefused>();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->reason, online::RoomError::seat);
  EXPECT_EQ(server->stop(), 0);
}

}  // namespace
}  // namespace server_tests
