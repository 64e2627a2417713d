// The rooms: every message a peer sends comes here, is decoded and checked
// (its ticket, seat and role) and answered or handed on through the Outbox.
// Knows nothing of sockets; the network side calls receive() and tick().
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "online/protocol/messages.h"
#include "server/rooms/clock.h"
#include "server/rooms/figures.h"
#include "server/rooms/invite_code.h"
#include "server/rooms/limits.h"
#include "server/rooms/peer.h"
#include "server/rooms/room.h"
#include "server/rooms/seat_secrets.h"
#include "server/rooms/token_bucket.h"

namespace server::rooms {

// One line per event (room opened, refused, ...); `detail` lines are the
// per-message ones, wanted only when looking closely.
using EventLog = std::function<void(bool detail, const std::string& line)>;

struct HubSetup {
  Limits limits;
  SeatKey key{};
  RandomBytes random;
  // Which start of the server this is (server/state/): a seat's number
  // carries it in its upper 16 bits, so a seat given before a restart is
  // known as such and none is given twice.
  std::uint32_t boot = 0;
  EventLog log;
};

class Hub {
 public:
  // The hub counts into `figures`, which the network side shares.
  Hub(HubSetup setup, Outbox& outbox, Figures& figures);

  void receive(const Peer& from, std::span<const std::uint8_t> bytes, Time now);
  // Often (every few tens of milliseconds): the spectators' streams, and
  // once a second the rooms and seats that went unheard.
  void tick(Time now);

  Population population() const;
  const Figures& figures() const { return figures_; }
  Figures& figures() { return figures_; }
  const Limits& limits() const { return setup_.limits; }

 private:
  struct Address {
    Address(const Limits& l, Time now)
        : messages(l.address_messages_per_second,
                   2 * l.address_messages_per_second, now),
          bytes(l.address_bytes_per_second, 2 * l.address_bytes_per_second,
                now),
          guesses(l.guesses_per_minute / 60, l.guess_burst, now) {}
    TokenBucket messages;
    TokenBucket bytes;
    TokenBucket guesses;
    std::uint32_t rooms = 0;
    Time heard;
    Time limit_logged;
  };
  enum class SeatRole { host, guest, spectator };
  struct Found {
    Room* room = nullptr;
    SeatRole role = SeatRole::host;
  };
  struct Ended {
    online::RoomError reason;
    Time until;
  };

  void dispatch(const Peer& from, Address& address, online::Message& message,
                std::size_t bytes, Time now);
  void open_room(const Peer& from, Address& address,
                 const online::OpenRoom& open, Time now);
  void enter_room(const Peer& from, Address& address,
                  const online::EnterRoom& enter, Time now);
  std::optional<Found> find_seat(const Peer& from, Address& address,
                                 const online::Ticket& ticket,
                                 bool may_take_guest, bool may_take_spectator,
                                 std::size_t bytes, Time now);
  void relay(const Found& seat, const online::Relay& relay);
  void presence(const Found& seat, const online::Presence& presence, Time now);
  void stream(const Peer& from, const Found& seat, const online::Stream& stream,
              Time now);
  void stream_ack(const Found& seat, const online::StreamAck& ack, Time now);
  void feed(Room& room, Spectator& spectator, Time now);
  void end_room(std::string code, online::RoomError reason, Time now);
  void sweep(Time now);

  void refuse(const Peer& to, std::uint32_t nonce, online::RoomError reason,
              std::string detail);
  void send(PeerId to, const online::Message& message);
  void send_bytes(PeerId to, std::span<const std::uint8_t> bytes);
  Address& address_of(const std::string& client, Time now);
  void limit_hit(const Peer& from, Address& address, std::string_view kind,
                 Time now);
  std::uint32_t seat_base() const;
  bool given_before_restart(std::uint32_t seat) const;
  void event(const std::string& line) const;

  HubSetup setup_;
  Outbox& outbox_;
  SeatSecrets secrets_;
  Figures& figures_;
  std::map<std::string, Room> rooms_;
  std::map<std::string, Ended> ended_;
  std::unordered_map<std::string, Address> addresses_;
  Time next_sweep_{};
};

}  // namespace server::rooms
