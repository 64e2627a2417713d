#include "online/transport/udp_link.h"

#include <asio.hpp>
#include <stdexcept>

#include "online/protocol/messages.h"
#include "online/transport/address.h"

namespace online {
namespace {

using asio::ip::udp;

// receive() skips at most this many bad datagrams in one call, so a flood
// costs the frame a bounded time.
constexpr int max_skipped = 64;

Peer peer_of(const udp::endpoint& from) {
  const asio::ip::address a = from.address();
  const asio::ip::address_v6 v6 =
      a.is_v4() ? asio::ip::make_address_v6(asio::ip::v4_mapped, a.to_v4())
                : a.to_v6();
  return {v6.to_bytes(), from.port()};
}

// The peer as the socket's family writes it.
udp::endpoint endpoint_of(const Peer& peer, const udp& family) {
  const asio::ip::address_v6 v6(peer.address);
  if (family == udp::v4() && v6.is_v4_mapped()) {
    return {asio::ip::make_address_v4(asio::ip::v4_mapped, v6), peer.port};
  }
  return {v6, peer.port};
}

bool no_ipv6(const asio::error_code& e) {
  return e == std::errc::address_family_not_supported ||
         e == std::errc::address_not_available ||
         e == std::errc::operation_not_supported ||
         e == std::errc::no_protocol_option;
}

}  // namespace

std::string to_string(const Peer& peer) {
  const asio::ip::address_v6 v6(peer.address);
  if (v6.is_v4_mapped()) {
    return asio::ip::make_address_v4(asio::ip::v4_mapped, v6).to_string() +
           ":" + std::to_string(peer.port);
  }
  return "[" + v6.to_string() + "]:" + std::to_string(peer.port);
}

struct UdpLink::State {
  asio::io_context io;
  udp::socket socket{io};
  bool is_host = false;
  std::optional<Peer> peer;
  std::optional<Peer> last;
  UdpCounts counts;
  // One byte more than a message may have: a datagram that fills it is too
  // long, and the system has thrown away the rest.
  std::array<std::uint8_t, max_datagram_bytes + 1> buffer{};
};

UdpLink::UdpLink(std::unique_ptr<State> state) : state_(std::move(state)) {}
UdpLink::~UdpLink() = default;

std::unique_ptr<UdpLink> UdpLink::host(std::uint16_t port, std::string& error) {
  auto state = std::make_unique<State>();
  state->is_host = true;
  udp::socket& s = state->socket;
  asio::error_code e;
  s.open(udp::v6(), e);
  if (!e) s.set_option(asio::ip::v6_only(false), e);
  if (!e) s.bind({udp::v6(), port}, e);
  if (e && no_ipv6(e)) {
    asio::error_code ignored;
    s.close(ignored);
    e.clear();
    s.open(udp::v4(), e);
    if (!e) s.bind({udp::v4(), port}, e);
  }
  if (!e) s.non_blocking(true, e);
  if (e) {
    error = "cannot take UDP port " + std::to_string(port) + ": " + e.message();
    return nullptr;
  }
  return std::unique_ptr<UdpLink>(new UdpLink(std::move(state)));
}

std::unique_ptr<UdpLink> UdpLink::join(std::string_view address,
                                       std::uint16_t default_port,
                                       std::string& error) {
  const std::optional<HostPort> where =
      parse_host_port(address, default_port, error);
  if (!where) return nullptr;
  auto state = std::make_unique<State>();
  udp::resolver resolver(state->io);
  asio::error_code e;
  const auto found = resolver.resolve(where->host, std::to_string(where->port),
                                      udp::resolver::numeric_service, e);
  if (e) {
    error = "cannot find " + where->host + ": " + e.message();
    return nullptr;
  }
  for (const auto& entry : found) {
    const udp::endpoint to = entry.endpoint();
    udp::socket& s = state->socket;
    e.clear();
    s.open(to.protocol(), e);
    if (!e) s.bind({to.protocol(), 0}, e);
    if (!e) s.non_blocking(true, e);
    if (!e) {
      state->peer = peer_of(to);
      return std::unique_ptr<UdpLink>(new UdpLink(std::move(state)));
    }
    asio::error_code ignored;
    s.close(ignored);
  }
  error = "cannot reach " + where->host +
          (e ? ": " + e.message() : std::string(": no address"));
  return nullptr;
}

void UdpLink::send(std::span<const std::uint8_t> message) {
  if (!state_->peer) {
    ++state_->counts.unsent;
    return;
  }
  send_to(*state_->peer, message);
}

void UdpLink::send_to(const Peer& to, std::span<const std::uint8_t> message) {
  if (message.size() > max_datagram_bytes) {
    throw std::length_error("UdpLink: a datagram longer than a message");
  }
  asio::error_code e;
  const udp::endpoint target =
      endpoint_of(to, state_->socket.local_endpoint().protocol());
  state_->socket.send_to(asio::buffer(message.data(), message.size()), target,
                         0, e);
  ++(e ? state_->counts.send_failed : state_->counts.sent);
}

std::optional<std::vector<std::uint8_t>> UdpLink::receive() {
  State& st = *state_;
  for (int i = 0; i < max_skipped; ++i) {
    udp::endpoint from;
    asio::error_code e;
    const std::size_t n =
        st.socket.receive_from(asio::buffer(st.buffer), from, 0, e);
    if (e == asio::error::would_block || e == asio::error::try_again) break;
    // Windows says so instead of cutting the datagram.
    if (e == asio::error::message_size || (!e && n > max_datagram_bytes)) {
      ++st.counts.oversized;
      continue;
    }
    if (e) {
      ++st.counts.failed;
      continue;
    }
    const Peer sender = peer_of(from);
    if (!st.is_host && sender != st.peer) {
      ++st.counts.strangers;
      continue;
    }
    if (!st.peer) st.peer = sender;
    st.last = sender;
    ++st.counts.received;
    return std::vector<std::uint8_t>(st.buffer.begin(), st.buffer.begin() + n);
  }
  return std::nullopt;
}

std::string UdpLink::describe() const {
  if (!state_->is_host) return "udp " + to_string(*state_->peer);
  return "udp port " + std::to_string(local_port()) +
         (state_->peer ? ", peer " + to_string(*state_->peer) : "");
}

std::optional<Peer> UdpLink::last_sender() const { return state_->last; }
std::optional<Peer> UdpLink::peer() const { return state_->peer; }

void UdpLink::set_peer(std::optional<Peer> peer) { state_->peer = peer; }

std::uint16_t UdpLink::local_port() const {
  asio::error_code e;
  return state_->socket.local_endpoint(e).port();
}

const UdpCounts& UdpLink::counts() const { return state_->counts; }

}  // namespace online
