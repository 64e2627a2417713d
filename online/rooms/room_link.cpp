#include "online/rooms/room_link.h"

#include <variant>

namespace online {
namespace {

// Datagrams read in one pump at most, so that a flood cannot hold a frame.
constexpr int max_reads = 256;
// Messages waiting to be taken; more are dropped and counted.
constexpr std::size_t max_queued = 512;
constexpr std::uint32_t presence_every_ms = 1000;
// The host answers directly while the guest was heard so this recently.
constexpr std::uint32_t direct_fresh_ms = 500;

// What the session speaks; everything else is the room's.
bool for_the_session(const Message& m) {
  return std::holds_alternative<Hello>(m) ||
         std::holds_alternative<Welcome>(m) ||
         std::holds_alternative<Refuse>(m) ||
         std::holds_alternative<Inputs>(m) ||
         std::holds_alternative<Check>(m) || std::holds_alternative<Bye>(m);
}

// What the other seat may send straight to this one: the session's
// messages and a stream to a guest coming into a game (with its acks).
bool peer_to_peer(const Message& m) {
  return for_the_session(m) || std::holds_alternative<Stream>(m) ||
         std::holds_alternative<StreamAck>(m);
}

}  // namespace

RoomLink::RoomLink(Datagrams& socket, Clock& clock, std::string server)
    : socket_(socket), clock_(clock), server_(std::move(server)) {
  last_presence_ms_ = clock_.now_ms() - presence_every_ms;
}

void RoomLink::try_direct(const std::string& host, std::uint32_t window_ms) {
  const std::optional<std::string> name = socket_.name_of(host);
  if (!name) return;  // the server gave none we can reach: the relay only
  guest_of_ = *name;
  direct_ = *name;
  path_ = Path::both;
  window_ms_ = window_ms;
}

void RoomLink::send(std::span<const std::uint8_t> message) {
  pump();
  if (path_ != Path::relay && !direct_.empty())
    socket_.send_to(direct_, message);
  if (path_ != Path::direct && !ticket_.code.empty()) {
    Relay relay{ticket_, {message.begin(), message.end()}};
    socket_.send_to(server_, encode(relay));
  }
}

std::optional<std::vector<std::uint8_t>> RoomLink::receive() {
  pump();
  if (for_session_.empty()) return std::nullopt;
  std::vector<std::uint8_t> out = std::move(for_session_.front());
  for_session_.pop_front();
  return out;
}

std::string RoomLink::describe() const {
  switch (path_) {
    case Path::both:
      return server_ + " by the relay and " + direct_ + " directly";
    case Path::relay:
      return server_ + " by the relay";
    case Path::direct:
      return direct_ + " directly";
  }
  return server_;
}

void RoomLink::send_to_server(const Message& message) {
  socket_.send_to(server_, encode(message));
}

std::optional<Message> RoomLink::next_other() {
  pump();
  if (others_.empty()) return std::nullopt;
  Message out = std::move(others_.front());
  others_.pop_front();
  return out;
}

void RoomLink::pump() {
  const std::uint32_t now = clock_.now_ms();
  for (int i = 0; i < max_reads; ++i) {
    auto datagram = socket_.receive();
    if (!datagram) break;
    take(std::move(*datagram));
  }
  decide(now);
  if (!ticket_.code.empty() && now - last_presence_ms_ >= presence_every_ms) {
    last_presence_ms_ = now;
    send_to_server(Presence{ticket_, false});
  }
}

void RoomLink::leave() {
  if (ticket_.code.empty()) return;
  for (int i = 0; i < 3; ++i) send_to_server(Presence{ticket_, true});
}

void RoomLink::take(Datagram datagram) {
  const bool from_server = datagram.from == server_;
  // The host learns the guest's address from a hello that came straight;
  // a guest hears its host only.
  const bool from_peer = !from_server && datagram.from == direct_;
  std::string error;
  auto message = decode(datagram.bytes, error);
  if (!message) {
    ++counts_.dropped;
    return;
  }
  const bool new_guest =
      !from_server && !guest_of_ && std::holds_alternative<Hello>(*message);
  if (!from_server && !from_peer && !new_guest) {
    ++counts_.strangers;
    return;
  }
  if (!from_server && !peer_to_peer(*message)) {
    ++counts_.dropped;
    return;
  }
  if (new_guest) direct_ = datagram.from;
  if (for_the_session(*message)) {
    const std::uint32_t now = clock_.now_ms();
    if (!guest_of_) {
      if (!from_server) direct_heard_ms_ = now;
    } else if (path_ == Path::both) {
      if (!from_server) {
        path_ = Path::direct;  // the host answered straight: keep that way
      } else if (!choose_until_ms_ &&
                 std::holds_alternative<Inputs>(*message)) {
        choose_until_ms_ = now + window_ms_;  // the host's game has begun
      }
    }
    if (for_session_.size() >= max_queued) {
      ++counts_.overflow;
      return;
    }
    for_session_.push_back(std::move(datagram.bytes));
    return;
  }
  if (others_.size() >= max_queued) {
    ++counts_.overflow;
    return;
  }
  others_.push_back(std::move(*message));
}

void RoomLink::decide(std::uint32_t now) {
  if (!guest_of_) {
    const bool fresh =
        direct_heard_ms_ && now - *direct_heard_ms_ < direct_fresh_ms;
    path_ = fresh ? Path::direct : Path::relay;
  } else if (path_ == Path::both && choose_until_ms_ &&
             static_cast<std::int32_t>(now - *choose_until_ms_) >= 0) {
    path_ = Path::relay;
  }
}

}  // namespace online
