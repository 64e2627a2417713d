// Opening a room (or opening it again after a restart) and coming into one
// by its code.
#include <utility>

#include "server/rooms/hub.h"

namespace server::rooms {

void Hub::open_room(const Peer& from, Address& address,
                    const online::OpenRoom& open, Time now) {
  const Limits& limits = setup_.limits;
  const auto opened = [&](Room& room) {
    send(from.id, online::RoomOpened{open.nonce, secrets_.ticket(room.code, 0),
                                     limits.idle_seconds});
  };
  const auto take_host = [&](Room& room) {
    room.game_version = open.game_version;
    room.build = open.build;
    room.settings = open.settings;
    room.host = Seat{0, from.id, from.datagram, now, open.nonce};
    room.host_address = from.datagram ? from.address : "";
  };
  // The same request again (its answer was lost): the same room.
  for (auto& [code, room] : rooms_) {
    if (room.host.peer == from.id && room.host.nonce == open.nonce &&
        room.host_client == from.client) {
      room.host.heard = now;
      return opened(room);
    }
  }
  if (!open.resume.code.empty()) {
    if (open.resume.seat != 0 || !secrets_.valid(open.resume)) {
      figures_.dropped("ticket");
      if (!address.guesses.take(1, now)) {
        return limit_hit(from, address, "guesses", now);
      }
      return refuse(from, open.nonce, online::RoomError::seat,
                    "not a host's ticket of this server");
    }
    const auto it = rooms_.find(open.resume.code);
    if (it != rooms_.end()) {
      // The host from somewhere else, or again after a lost answer.
      take_host(it->second);
      return opened(it->second);
    }
  }
  if (address.rooms >= limits.rooms_per_address ||
      rooms_.size() >= limits.max_rooms) {
    limit_hit(from, address,
              rooms_.size() >= limits.max_rooms ? "rooms" : "rooms_per_address",
              now);
    return refuse(from, open.nonce, online::RoomError::limit, "too many rooms");
  }
  std::string code = open.resume.code;
  if (code.empty()) {
    do {
      code = new_code(setup_.random);
    } while (rooms_.contains(code) || ended_.contains(code));
  }
  ended_.erase(code);
  Room& room =
      rooms_
          .emplace(
              std::piecewise_construct, std::forward_as_tuple(code),
              std::forward_as_tuple(code, now, limits.stream_bytes_per_room,
                                    limits.room_messages_per_second,
                                    limits.room_bytes_per_second))
          .first->second;
  room.host_client = from.client;
  room.next_seat = seat_base();
  take_host(room);
  ++address.rooms;
  event("room " + shown_code(code) +
        (open.resume.code.empty() ? " opened" : " opened again") + " by " +
        from.client + " (" + open.game_version + ", " + open.build + ")");
  opened(room);
}

void Hub::enter_room(const Peer& from, Address& address,
                     const online::EnterRoom& enter, Time now) {
  if (!address.guesses.has(1, now)) {
    figures_.dropped("guesses");
    limit_hit(from, address, "guesses", now);
    return refuse(from, enter.nonce, online::RoomError::limit,
                  "too many wrong codes: wait a while");
  }
  const auto it = rooms_.find(enter.code);
  if (it == rooms_.end()) {
    address.guesses.take(1, now);
    const auto ended = ended_.find(enter.code);
    const online::RoomError reason = ended == ended_.end()
                                         ? online::RoomError::no_room
                                         : ended->second.reason;
    event("refused " + from.client + " for " + shown_code(enter.code) + ": " +
          (ended == ended_.end() ? "no such room" : "the room ended"));
    return refuse(from, enter.nonce, reason, shown_code(enter.code));
  }
  Room& room = it->second;
  const auto refused = [&](online::RoomError reason, std::string detail) {
    event("refused " + from.client + " for " + shown_code(room.code) + ": " +
          detail);
    refuse(from, enter.nonce, reason, std::move(detail));
  };
  if (enter.game_version != room.game_version) {
    return refused(online::RoomError::version,
                   "the host plays " + room.game_version);
  }
  if (enter.build != room.build) {
    return refused(online::RoomError::build,
                   "the host's build is " + room.build);
  }
  const auto entered = [&](std::uint32_t seat) {
    online::RoomEntered reply{
        enter.nonce, secrets_.ticket(room.code, seat), "", {}};
    if (enter.role == online::Role::guest) {
      reply.host_address = room.host_address;
    } else {
      reply.settings = room.settings;
    }
    send(from.id, reply);
  };
  if ((room.next_seat & 0xFFFFu) == 0) {
    return refused(online::RoomError::limit, "the room gave all its seats");
  }
  const Seat asked{room.next_seat, from.id, from.datagram, now, enter.nonce};
  if (enter.role == online::Role::guest) {
    if (room.host_left) {
      return refused(online::RoomError::host_left, "the host left");
    }
    if (room.guest) {
      if (room.guest->peer == from.id && room.guest->nonce == enter.nonce) {
        return entered(room.guest->number);
      }
      return refused(online::RoomError::full, "the room has its guest");
    }
    room.guest = asked;
    ++room.next_seat;
    event("room " + shown_code(room.code) + ": guest " + from.client +
          " entered");
    return entered(room.guest->number);
  }
  if (enter.role != online::Role::spectator) {
    figures_.dropped("role");
    return;
  }
  for (const auto& [number, s] : room.spectators) {
    if (s.seat.peer == from.id && s.seat.nonce == enter.nonce) {
      return entered(number);
    }
  }
  if (room.spectators.size() >= setup_.limits.spectators_per_room) {
    limit_hit(from, address, "spectators", now);
    return refused(online::RoomError::limit, "too many spectators");
  }
  Spectator& spectator = room.spectators[asked.number];
  spectator.seat = asked;
  spectator.progress = now;
  ++room.next_seat;
  event("room " + shown_code(room.code) + ": spectator " + from.client +
        " entered");
  entered(asked.number);
  feed(room, spectator, now);
}

}  // namespace server::rooms
