// Receiving, checking and dispatching; the seats' tickets; the sweep of
// what went unheard. Opening and entering rooms: hub_entry.cpp; the
// stream and its spectators: hub_stream.cpp.
#include "server/rooms/hub.h"

#include <utility>

namespace server::rooms {

namespace {

// Dropped-message reasons beyond the decoder's own.
constexpr std::string_view unexpected_kind = "unexpected";

}  // namespace

Hub::Hub(HubSetup setup, Outbox& outbox, Figures& figures)
    : setup_(std::move(setup)),
      outbox_(outbox),
      secrets_(setup_.key),
      figures_(figures) {}

void Hub::receive(const Peer& from, std::span<const std::uint8_t> bytes,
                  Time now) {
  figures_.received(bytes.size());
  Address& address = address_of(from.client, now);
  address.heard = now;
  if (!address.messages.take(1, now)) {
    figures_.dropped("limit");
    return limit_hit(from, address, "address_messages", now);
  }
  if (!address.bytes.take(double(bytes.size()), now)) {
    figures_.dropped("limit");
    return limit_hit(from, address, "address_bytes", now);
  }
  std::string error;
  std::optional<online::Message> message = online::decode(bytes, error);
  if (!message) {
    figures_.dropped(error);
    if (error == "version") {
      refuse(from, 0, online::RoomError::version,
             "the server speaks protocol " +
                 std::to_string(online::protocol_version));
    }
    return;
  }
  dispatch(from, address, *message, bytes.size(), now);
}

void Hub::dispatch(const Peer& from, Address& address, online::Message& message,
                   std::size_t bytes, Time now) {
  if (const auto* open = std::get_if<online::OpenRoom>(&message)) {
    return open_room(from, address, *open, now);
  }
  if (const auto* enter = std::get_if<online::EnterRoom>(&message)) {
    return enter_room(from, address, *enter, now);
  }
  if (const auto* r = std::get_if<online::Relay>(&message)) {
    if (const auto seat =
            find_seat(from, address, r->ticket, true, false, bytes, now)) {
      relay(*seat, *r);
    }
    return;
  }
  if (const auto* p = std::get_if<online::Presence>(&message)) {
    if (const auto seat =
            find_seat(from, address, p->ticket, false, false, bytes, now)) {
      presence(*seat, *p, now);
    }
    return;
  }
  if (const auto* s = std::get_if<online::Stream>(&message)) {
    if (const auto seat =
            find_seat(from, address, s->ticket, false, false, bytes, now)) {
      stream(from, *seat, *s, now);
    }
    return;
  }
  if (const auto* a = std::get_if<online::StreamAck>(&message)) {
    if (const auto seat =
            find_seat(from, address, a->ticket, false, true, bytes, now)) {
      stream_ack(*seat, *a, now);
    }
    return;
  }
  figures_.dropped(unexpected_kind);
}

std::optional<Hub::Found> Hub::find_seat(const Peer& from, Address& address,
                                         const online::Ticket& ticket,
                                         bool may_take_guest,
                                         bool may_take_spectator,
                                         std::size_t bytes, Time now) {
  if (!secrets_.valid(ticket)) {
    figures_.dropped("ticket");
    // A forged ticket is a guess: it costs the same as a wrong code.
    if (!address.guesses.take(1, now)) {
      return limit_hit(from, address, "guesses", now), std::nullopt;
    }
    refuse(from, 0, online::RoomError::seat, "not a ticket of this server");
    return std::nullopt;
  }
  const auto it = rooms_.find(ticket.code);
  if (it == rooms_.end()) {
    figures_.dropped("no_room");
    const auto ended = ended_.find(ticket.code);
    if (ended != ended_.end()) {
      refuse(from, 0, ended->second.reason, shown_code(ticket.code));
    } else {
      // After a restart: the host opens it again with its ticket, the
      // others wait for that.
      refuse(from, 0, online::RoomError::no_room, "not open now");
    }
    return std::nullopt;
  }
  Room& room = it->second;
  if (!room.messages.take(1, now)) {
    figures_.dropped("limit");
    return limit_hit(from, address, "room_messages", now), std::nullopt;
  }
  if (!room.bytes.take(double(bytes), now)) {
    figures_.dropped("limit");
    return limit_hit(from, address, "room_bytes", now), std::nullopt;
  }
  const auto heard = [&](Seat& seat) {
    seat.peer = from.id;
    seat.datagram = from.datagram;
    seat.heard = now;
  };
  if (ticket.seat == 0) {
    heard(room.host);
    if (from.datagram) room.host_address = from.address;
    return Found{&room, SeatRole::host};
  }
  if (room.guest && room.guest->number == ticket.seat) {
    heard(*room.guest);
    return Found{&room, SeatRole::guest};
  }
  if (const auto s = room.spectators.find(ticket.seat);
      s != room.spectators.end()) {
    heard(s->second.seat);
    return Found{&room, SeatRole::spectator};
  }
  // A seat given before the server restarted: a guest relaying takes the
  // free guest's seat again, a spectator acknowledging its place again.
  if (given_before_restart(ticket.seat)) {
    if (may_take_guest && !room.guest) {
      room.guest = Seat{};
      room.guest->number = ticket.seat;
      heard(*room.guest);
      event("room " + shown_code(room.code) + ": guest " + from.client +
            " back");
      return Found{&room, SeatRole::guest};
    }
    if (may_take_spectator &&
        room.spectators.size() < setup_.limits.spectators_per_room) {
      Spectator& s = room.spectators[ticket.seat];
      s.seat.number = ticket.seat;
      heard(s.seat);
      s.progress = now;
      return Found{&room, SeatRole::spectator};
    }
  }
  figures_.dropped("seat");
  refuse(from, 0, online::RoomError::seat, "no longer a seat of this room");
  return std::nullopt;
}

void Hub::relay(const Found& seat, const online::Relay& relay) {
  Room& room = *seat.room;
  if (seat.role == SeatRole::spectator) {
    return figures_.dropped("role");
  }
  const Seat* other = seat.role == SeatRole::host
                          ? (room.guest ? &*room.guest : nullptr)
                          : &room.host;
  if (other == nullptr || other->peer == 0) {
    return figures_.dropped("no_peer");
  }
  send_bytes(other->peer, relay.payload);
}

void Hub::presence(const Found& seat, const online::Presence& presence,
                   Time now) {
  if (!presence.leaving) return;
  Room& room = *seat.room;
  const std::string shown = shown_code(room.code);
  switch (seat.role) {
    case SeatRole::host:
      if (!room.stream.ended() || room.spectators.empty())
        return end_room(room.code, online::RoomError::host_left, now);
      room.host_left = true;
      room.guest.reset();
      return event("room " + shown +
                   ": the host left; its spectators see the end");
    case SeatRole::guest:
      room.guest.reset();
      return event("room " + shown + ": the guest left");
    case SeatRole::spectator:
      room.spectators.erase(presence.ticket.seat);
      return event("room " + shown + ": a spectator left");
  }
}

// By value: the code is often the ending room's own.
void Hub::end_room(std::string code, online::RoomError reason, Time now) {
  const auto it = rooms_.find(code);
  if (it == rooms_.end()) return;
  Address& host = address_of(it->second.host_client, now);
  if (host.rooms > 0) --host.rooms;
  rooms_.erase(it);
  ended_.insert_or_assign(
      code, Ended{reason, now + std::chrono::seconds(
                                    setup_.limits.ended_memory_seconds)});
  event("room " + shown_code(code) + " ended: " +
        (reason == online::RoomError::host_left ? "the host left" : "unheard"));
}

void Hub::tick(Time now) {
  for (auto& [code, room] : rooms_) {
    for (auto& [number, spectator] : room.spectators) {
      feed(room, spectator, now);
    }
  }
  if (now >= next_sweep_) {
    next_sweep_ = now + std::chrono::seconds(1);
    sweep(now);
    figures_.next_second();
  }
}

void Hub::sweep(Time now) {
  const auto idle = std::chrono::seconds(setup_.limits.idle_seconds);
  std::vector<std::string> ending;
  for (auto& [code, room] : rooms_) {
    if (room.host_left ? room.spectators.empty()
                       : now - room.host.heard > idle) {
      ending.push_back(code);
      continue;
    }
    if (room.guest && now - room.guest->heard > idle) {
      room.guest.reset();
      event("room " + shown_code(code) + ": the guest is gone (unheard)");
    }
    std::erase_if(room.spectators, [&](const auto& s) {
      return now - s.second.seat.heard > idle;
    });
  }
  for (const std::string& code : ending) {
    end_room(code,
             rooms_.at(code).host_left ? online::RoomError::host_left
                                       : online::RoomError::expired,
             now);
  }
  std::erase_if(ended_, [&](const auto& e) { return e.second.until < now; });
  // An address keeps its buckets while it has rooms or was heard lately.
  std::erase_if(addresses_, [&](const auto& a) {
    return a.second.rooms == 0 &&
           now - a.second.heard > std::chrono::minutes(2);
  });
}

Population Hub::population() const {
  Population p;
  p.rooms = rooms_.size();
  for (const auto& [code, room] : rooms_) {
    p.players += room.guest ? 2 : 1;
    p.spectators += room.spectators.size();
  }
  return p;
}

void Hub::refuse(const Peer& to, std::uint32_t nonce, online::RoomError reason,
                 std::string detail) {
  if (detail.size() > online::max_text_bytes) {
    detail.resize(online::max_text_bytes);
  }
  send(to.id, online::RoomRefused{nonce, reason, std::move(detail)});
}

void Hub::send(PeerId to, const online::Message& message) {
  send_bytes(to, online::encode(message));
}

void Hub::send_bytes(PeerId to, std::span<const std::uint8_t> bytes) {
  figures_.sent(bytes.size());
  outbox_.send(to, bytes);
}

Hub::Address& Hub::address_of(const std::string& client, Time now) {
  auto it = addresses_.find(client);
  if (it == addresses_.end()) {
    it = addresses_.emplace(client, Address(setup_.limits, now)).first;
  }
  return it->second;
}

void Hub::limit_hit(const Peer& from, Address& address, std::string_view kind,
                    Time now) {
  figures_.limit(kind);
  // One line per address and ten seconds, however hard it pushes.
  if (now - address.limit_logged >= std::chrono::seconds(10) ||
      address.limit_logged == Time{}) {
    address.limit_logged = now;
    event("limit " + std::string(kind) + " hit by " + from.client);
  }
}

std::uint32_t Hub::seat_base() const {
  return ((setup_.boot & 0xFFFFu) << 16) | 1u;
}

bool Hub::given_before_restart(std::uint32_t seat) const {
  return seat != 0 && (seat >> 16) != (setup_.boot & 0xFFFFu);
}

void Hub::event(const std::string& line) const {
  if (setup_.log) setup_.log(false, line);
}

}  // namespace server::rooms
