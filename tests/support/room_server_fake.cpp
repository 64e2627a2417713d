#include "tests/support/room_server_fake.h"

#include <array>
#include <asio.hpp>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "online/protocol/messages.h"

namespace testing_support {
namespace {

using asio::ip::udp;
using Clock = std::chrono::steady_clock;
using namespace online;

// A seat's secret: the same after forget(), as a keyed MAC would be.
std::uint64_t secret_of(const std::string& code, std::uint32_t seat) {
  std::uint64_t h = 0x51ed2701u + seat;
  for (const char c : code)
    h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return h;
}

struct Watcher {
  Ticket ticket;
  udp::endpoint at;
  long acked = 0;
};

struct Room {
  std::vector<std::pair<std::string, std::string>> settings;
  udp::endpoint host;
  Clock::time_point host_heard = Clock::now();
  std::optional<std::pair<std::uint32_t, udp::endpoint>> guest;
  std::uint32_t next_seat = 1;
  std::uint32_t session = 0;
  std::vector<std::array<TickEvents, 2>> stream;
  bool ended = false;
  std::vector<Watcher> watchers;
};

}  // namespace

struct RoomServerFake::Impl {
  std::string code;
  Clock::time_point deadline;
  asio::io_context io;
  udp::socket socket{io};
  std::atomic<bool> stop{false};
  std::atomic<bool> forget{false};
  mutable std::mutex mutex;  // guards counts
  Counts counts;
  std::optional<Room> room;
  std::optional<RoomError> ended;  // how the last room ended
  std::chrono::milliseconds idle{0};
  std::thread thread;

  void send(const Message& m, const udp::endpoint& to) {
    const auto bytes = encode(m);
    asio::error_code e;
    socket.send_to(asio::buffer(bytes), to, 0, e);
  }
  bool valid(const Ticket& t) const {
    return t.code == code && t.secret == secret_of(t.code, t.seat);
  }
  void refuse(const udp::endpoint& to, RoomError reason) {
    send(RoomRefused{0, reason, ""}, to);
  }

  void take(const Message& m, const udp::endpoint& from) {
    if (room && from == room->host) room->host_heard = Clock::now();
    if (const auto* open = std::get_if<OpenRoom>(&m)) {
      if (!open->resume.code.empty() && !valid(open->resume))
        return refuse(from, RoomError::seat);
      if (!room) room.emplace();
      room->settings = open->settings;
      room->host = from;
      ended.reset();  // a host back after a restart
      {
        std::lock_guard lock(mutex);
        ++counts.rooms_opened;
      }
      send(RoomOpened{open->nonce, {code, 0, secret_of(code, 0)}, 30}, from);
    } else if (const auto* enter = std::get_if<EnterRoom>(&m)) {
      if (enter->code != code || !room || ended) {
        return send(
            RoomRefused{enter->nonce, ended.value_or(RoomError::no_room), ""},
            from);
      }
      if (enter->role == Role::guest && room->guest) {
        return send(RoomRefused{enter->nonce, RoomError::full, ""}, from);
      }
      const std::uint32_t seat = room->next_seat++;
      const Ticket ticket{code, seat, secret_of(code, seat)};
      if (enter->role == Role::guest) {
        room->guest = {seat, from};
        std::lock_guard lock(mutex);
        ++counts.guests_entered;
      } else {
        room->watchers.push_back({ticket, from, 0});
      }
      const udp::endpoint& h = room->host;
      send(RoomEntered{enter->nonce, ticket,
                       h.address().to_string() + ":" + std::to_string(h.port()),
                       room->settings},
           from);
    } else if (const auto* relay = std::get_if<Relay>(&m)) {
      if (!valid(relay->ticket)) return refuse(from, RoomError::seat);
      if (!room) return refuse(from, RoomError::no_room);
      const std::uint32_t seat = relay->ticket.seat;
      if (seat == 0) {
        room->host = from;
        if (!room->guest) return;
        asio::error_code e;
        socket.send_to(asio::buffer(relay->payload), room->guest->second, 0, e);
      } else {
        // A guest the server forgot is taken again by its ticket.
        if (!room->guest || room->guest->first == seat)
          room->guest = {seat, from};
        if (room->guest->first != seat) return;
        asio::error_code e;
        socket.send_to(asio::buffer(relay->payload), room->host, 0, e);
      }
      std::lock_guard lock(mutex);
      ++counts.relayed;
    } else if (const auto* p = std::get_if<Presence>(&m)) {
      if (!valid(p->ticket)) return refuse(from, RoomError::seat);
      if (!room) return refuse(from, RoomError::no_room);
      if (p->ticket.seat == 0 && p->leaving) {
        // Its spectators still get the rest of the stream.
        ended = RoomError::host_left;
      } else if (p->leaving && room->guest &&
                 room->guest->first == p->ticket.seat) {
        room->guest.reset();
      }
    } else if (const auto* s = std::get_if<Stream>(&m)) {
      if (!valid(s->ticket) || s->ticket.seat != 0)
        return refuse(from, RoomError::seat);
      if (!room) return refuse(from, RoomError::no_room);
      room->session = s->session;
      const long have = static_cast<long>(room->stream.size());
      const long end = s->first_tick + static_cast<long>(s->ticks.size());
      if (static_cast<long>(s->first_tick) <= have) {
        for (long t = have; t < end; ++t)
          room->stream.push_back(s->ticks[t - s->first_tick]);
        if (s->ended && end >= have) room->ended = true;
      }
      send(StreamAck{s->ticket, s->session,
                     static_cast<std::uint32_t>(room->stream.size())},
           from);
      std::lock_guard lock(mutex);
      counts.stream_ticks = room->stream.size();
      counts.stream_ended = room->ended;
    } else if (const auto* ack = std::get_if<StreamAck>(&m)) {
      if (!room) return refuse(from, RoomError::no_room);
      for (Watcher& w : room->watchers)
        if (w.ticket == ack->ticket) w.acked = ack->next_tick;
    }
  }

  // Each spectator gets the stream from where it acknowledged.
  void feed() {
    if (!room) return;
    for (const Watcher& w : room->watchers) {
      long first = w.acked;
      for (int n = 0; n < 4; ++n) {
        Stream s;
        s.session = room->session;
        s.first_tick = static_cast<std::uint32_t>(first);
        const long size = static_cast<long>(room->stream.size());
        for (long t = first; t < size && s.ticks.size() < 20; ++t)
          s.ticks.push_back(room->stream[t]);
        s.ended =
            room->ended && first + static_cast<long>(s.ticks.size()) == size;
        if (s.ticks.empty() && !s.ended) break;
        send(s, w.at);
        first += static_cast<long>(s.ticks.size());
        if (s.ended) break;
      }
    }
  }

  void run() {
    std::array<std::uint8_t, max_datagram_bytes + 1> buffer{};
    auto last_feed = Clock::now();
    while (!stop && Clock::now() < deadline) {
      if (forget.exchange(false)) room.reset();
      if (room && !ended && Clock::now() - room->host_heard > idle) {
        room.reset();
        ended = RoomError::expired;
      }
      if (Clock::now() - last_feed > std::chrono::milliseconds(30)) {
        feed();
        last_feed = Clock::now();
      }
      udp::endpoint from;
      asio::error_code e;
      const std::size_t n =
          socket.receive_from(asio::buffer(buffer), from, 0, e);
      if (!e) {
        std::string error;
        if (auto m = decode(std::span(buffer.data(), n), error)) take(*m, from);
        continue;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
};

RoomServerFake::RoomServerFake(std::string code, std::chrono::milliseconds idle,
                               std::chrono::milliseconds time_limit)
    : impl_(std::make_unique<Impl>()) {
  impl_->code = std::move(code);
  impl_->idle = idle;
  impl_->deadline = Clock::now() + time_limit;
  impl_->socket.open(udp::v4());
  impl_->socket.bind({asio::ip::make_address("127.0.0.1"), 0});
  impl_->socket.non_blocking(true);
  impl_->thread = std::thread([this] { impl_->run(); });
}

RoomServerFake::~RoomServerFake() {
  impl_->stop = true;
  impl_->thread.join();
}

std::uint16_t RoomServerFake::port() const {
  return impl_->socket.local_endpoint().port();
}

RoomServerFake::Counts RoomServerFake::counts() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->counts;
}

void RoomServerFake::forget() { impl_->forget = true; }

}  // namespace testing_support
