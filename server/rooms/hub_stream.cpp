// The room's stream: kept from the host, fed to every spectator at its own
// pace (over UDP with resends from its last acknowledgement).
#include "server/rooms/hub.h"

namespace server::rooms {

namespace {

// How far past its acknowledgement a UDP spectator is sent, and how long
// without an advance before it is sent again from there.
constexpr std::uint32_t window_ticks = 240;
constexpr auto resend_after = std::chrono::milliseconds(250);
// Per call of feed, so one spectator far behind cannot hold up the rest.
constexpr int messages_per_feed = 8;
constexpr int end_resends = 5;

}  // namespace

void Hub::stream(const Peer& from, const Found& seat,
                 const online::Stream& message, Time now) {
  if (seat.role != SeatRole::host) return figures_.dropped("role");
  Room& room = *seat.room;
  const StreamStore::Taken taken = room.stream.take(message);
  if (taken.refused > 0) {
    figures_.refused_stream_ticks(taken.refused);
    figures_.limit("stream_bytes");
  }
  if (taken.new_session) {
    for (auto& [number, s] : room.spectators) {
      s.acknowledged = s.sent = 0;
      s.end_sends = 0;
    }
  }
  send(from.id, online::StreamAck{{}, room.stream.session(), taken.next_tick});
  for (auto& [number, s] : room.spectators) feed(room, s, now);
}

void Hub::stream_ack(const Found& seat, const online::StreamAck& ack,
                     Time now) {
  if (seat.role != SeatRole::spectator) return figures_.dropped("role");
  Room& room = *seat.room;
  Spectator& s = room.spectators.at(ack.ticket.seat);
  if (ack.session != room.stream.session() ||
      ack.next_tick > room.stream.size()) {
    return figures_.dropped("stale");
  }
  if (ack.next_tick > s.acknowledged) {
    s.acknowledged = ack.next_tick;
    s.sent = std::max(s.sent, s.acknowledged);
    s.progress = now;
  }
  feed(room, s, now);
}

void Hub::feed(Room& room, Spectator& s, Time now) {
  const StreamStore& stream = room.stream;
  const std::uint32_t size = stream.size();
  if (s.seat.datagram && s.sent > s.acknowledged &&
      now - s.progress > resend_after) {
    s.sent = s.acknowledged;
    s.progress = now;
  }
  const std::uint32_t until =
      s.seat.datagram ? std::min<std::uint64_t>(
                            size, std::uint64_t(s.acknowledged) + window_ticks)
                      : size;
  for (int n = 0; n < messages_per_feed && s.sent < until; ++n) {
    const StreamStore::Message out = stream.message(s.sent);
    if (out.ticks == 0) break;
    s.sent += out.ticks;
    send_bytes(s.seat.peer, out.bytes);
  }
  // The end, once everything is there: an empty message that says so,
  // repeated a few times over UDP in case it is lost.
  if (stream.ended() && s.sent == size &&
      (!s.seat.datagram || s.acknowledged == size) &&
      s.end_sends < (s.seat.datagram ? end_resends : 1) &&
      (s.end_sends == 0 || now - s.progress > resend_after)) {
    ++s.end_sends;
    s.progress = now;
    send_bytes(s.seat.peer, stream.message(size).bytes);
  }
}

}  // namespace server::rooms
