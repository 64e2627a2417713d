#include "tests/support/udp_impair.h"

#include <algorithm>
#include <array>
#include <asio.hpp>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace testing_support {
namespace {

using asio::ip::udp;
using Clock = std::chrono::steady_clock;

// A uniform draw in [0, 1) from the generator's raw bits, the same on every
// standard library.
double uniform(std::mt19937_64& random) {
  return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

}  // namespace

struct UdpImpair::Impl {
  struct Direction {
    Impairment impairment;
    std::mt19937_64 random;
    ImpairCounts counts;
    std::uint64_t arrivals = 0;      // datagrams taken so far
    std::uint64_t sent_through = 0;  // 1 + the latest arrival sent yet
  };
  struct Held {
    bool to_target;
    std::uint64_t arrival;  // its number in its direction
    std::vector<std::uint8_t> bytes;
  };

  Options options;
  asio::io_context io;
  udp::socket front{io};  // faces the client
  udp::socket back{io};   // faces the target
  udp::endpoint target;
  std::optional<udp::endpoint> client;
  udp::endpoint front_from, back_from;
  std::array<std::uint8_t, 65536> front_buffer{}, back_buffer{};
  asio::steady_timer release{io};
  asio::steady_timer limit{io};
  mutable std::mutex mutex;  // guards what follows
  Direction to_target, to_client;
  std::uint64_t strangers = 0;
  // In the order they go out; the second key keeps arrival order on a tie.
  std::map<std::pair<Clock::time_point, std::uint64_t>, Held> held;
  std::uint64_t taken = 0;
  std::uint16_t port = 0;
  std::thread thread;

  explicit Impl(const Options& o)
      : options(o),
        to_target{o.to_target, std::mt19937_64(o.seed), {}},
        to_client{
            o.to_client, std::mt19937_64(o.seed ^ 0x9e3779b97f4a7c15u), {}} {
    const asio::ip::address loopback = asio::ip::make_address(o.loopback);
    if (!loopback.is_loopback()) {
      throw std::runtime_error("UdpImpair: " + o.loopback + " is not loopback");
    }
    target = {loopback, o.target_port};
    front.open(target.protocol());
    front.bind({loopback, 0});
    back.open(target.protocol());
    back.bind({loopback, 0});
    port = front.local_endpoint().port();
  }

  void start() {
    receive(front, front_from, front_buffer, true);
    receive(back, back_from, back_buffer, false);
    limit.expires_after(options.time_limit);
    limit.async_wait([this](const asio::error_code& e) {
      if (!e) io.stop();
    });
    thread = std::thread([this] { io.run(); });
  }

  void receive(udp::socket& socket, udp::endpoint& from,
               std::array<std::uint8_t, 65536>& buffer, bool from_client) {
    socket.async_receive_from(asio::buffer(buffer), from,
                              [this, &socket, &from, &buffer, from_client](
                                  const asio::error_code& e, std::size_t n) {
                                if (e == asio::error::operation_aborted) return;
                                if (!e) {
                                  if (from_client && !client) client = from;
                                  const bool known =
                                      from_client ? from == *client
                                                  : from == target && client;
                                  if (known) {
                                    take(from_client, buffer.data(), n);
                                  } else {
                                    std::lock_guard lock(mutex);
                                    ++strangers;
                                  }
                                }
                                receive(socket, from, buffer, from_client);
                              });
  }

  // Five draws for every datagram whatever becomes of it, so the n-th
  // datagram of a direction meets the same fate in every run.
  void take(bool towards_target, const std::uint8_t* data, std::size_t n) {
    std::lock_guard lock(mutex);
    Direction& d = towards_target ? to_target : to_client;
    ++d.counts.received;
    const std::uint64_t arrival = d.arrivals++;
    const bool lost = uniform(d.random) < d.impairment.loss;
    const bool twice = uniform(d.random) < d.impairment.duplicate;
    const bool back = uniform(d.random) < d.impairment.reorder;
    const double jitter[2] = {uniform(d.random), uniform(d.random)};
    if (lost) {
      ++d.counts.lost;
      return;
    }
    if (twice) ++d.counts.duplicated;
    if (back) ++d.counts.held_back;
    const Clock::time_point now = Clock::now();
    for (int copy = 0; copy < (twice ? 2 : 1); ++copy) {
      if (held.size() >= options.max_held) {
        ++d.counts.overflowed;
        continue;
      }
      const auto spread = std::chrono::microseconds(
          std::lround((2.0 * jitter[copy] - 1.0) *
                      std::chrono::microseconds(d.impairment.jitter).count()));
      const auto late =
          std::max(std::chrono::microseconds(0),
                   std::chrono::microseconds(d.impairment.delay) + spread) +
          (back ? d.impairment.held_back : std::chrono::milliseconds(0));
      held.emplace(std::pair(now + late, taken++),
                   Held{towards_target, arrival, std::vector(data, data + n)});
    }
    arm();
  }

  // Called with the mutex held.
  void arm() {
    if (held.empty()) return;
    release.expires_at(held.begin()->first.first);
    release.async_wait([this](const asio::error_code& e) {
      if (!e) send_due();
    });
  }

  void send_due() {
    std::lock_guard lock(mutex);
    const Clock::time_point now = Clock::now();
    while (!held.empty() && held.begin()->first.first <= now) {
      const Held& h = held.begin()->second;
      Direction& d = h.to_target ? to_target : to_client;
      asio::error_code ignored;
      if (h.to_target) {
        back.send_to(asio::buffer(h.bytes), target, 0, ignored);
      } else {
        front.send_to(asio::buffer(h.bytes), *client, 0, ignored);
      }
      ++d.counts.sent;
      if (h.arrival + 1 < d.sent_through) ++d.counts.overtaken;
      d.sent_through = std::max(d.sent_through, h.arrival + 1);
      held.erase(held.begin());
    }
    arm();
  }
};

UdpImpair::UdpImpair(const Options& options)
    : impl_(std::make_unique<Impl>(options)) {
  impl_->start();
}

UdpImpair::~UdpImpair() { stop(); }

std::uint16_t UdpImpair::port() const { return impl_->port; }

UdpImpair::Counts UdpImpair::counts() const {
  std::lock_guard lock(impl_->mutex);
  return {impl_->to_target.counts, impl_->to_client.counts, impl_->strangers,
          impl_->held.size()};
}

void UdpImpair::stop() {
  impl_->io.stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

}  // namespace testing_support
