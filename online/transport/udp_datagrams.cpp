#include "online/transport/udp_datagrams.h"

#include <asio.hpp>

#include "online/transport/address.h"

namespace online {
namespace {

std::optional<Peer> peer_of(std::string_view text) {
  std::string error;
  const std::optional<HostPort> where = parse_host_port(text, 0, error);
  if (!where || where->port == 0) return std::nullopt;
  asio::error_code e;
  const asio::ip::address a = asio::ip::make_address(where->host, e);
  if (e) return std::nullopt;
  const asio::ip::address_v6 v6 =
      a.is_v4() ? asio::ip::make_address_v6(asio::ip::v4_mapped, a.to_v4())
                : a.to_v6();
  return Peer{v6.to_bytes(), where->port};
}

}  // namespace

std::unique_ptr<UdpDatagrams> UdpDatagrams::open(std::uint16_t port,
                                                 std::string& error) {
  auto link = UdpLink::host(port, error);
  if (!link) return nullptr;
  return std::unique_ptr<UdpDatagrams>(new UdpDatagrams(std::move(link)));
}

void UdpDatagrams::send_to(std::string_view to,
                           std::span<const std::uint8_t> bytes) {
  const std::optional<Peer> peer = peer_of(to);
  if (!peer) {
    ++unsendable_;
    return;
  }
  link_->send_to(*peer, bytes);
}

std::optional<Datagram> UdpDatagrams::receive() {
  auto bytes = link_->receive();
  if (!bytes) return std::nullopt;
  return Datagram{to_string(*link_->last_sender()), std::move(*bytes)};
}

std::optional<std::string> UdpDatagrams::name_of(
    std::string_view address) const {
  const std::optional<Peer> peer = peer_of(address);
  if (!peer) return std::nullopt;
  return to_string(*peer);
}

std::optional<std::string> resolve_address(std::string_view address,
                                           std::uint16_t default_port,
                                           std::string& error) {
  const std::optional<HostPort> where =
      parse_host_port(address, default_port, error);
  if (!where) return std::nullopt;
  asio::io_context io;
  asio::ip::udp::resolver resolver(io);
  asio::error_code e;
  const auto found =
      resolver.resolve(where->host, std::to_string(where->port),
                       asio::ip::udp::resolver::numeric_service, e);
  if (e || found.empty()) {
    error = "cannot find " + where->host +
            (e ? ": " + e.message() : std::string(": no address"));
    return std::nullopt;
  }
  const asio::ip::udp::endpoint to = found.begin()->endpoint();
  const std::string host = to.address().to_string();
  const std::string literal = (to.address().is_v6() ? "[" + host + "]" : host) +
                              ":" + std::to_string(to.port());
  const std::optional<Peer> peer = peer_of(literal);
  if (!peer) {
    error = "cannot use the address of " + where->host + " (" + literal + ")";
    return std::nullopt;
  }
  return to_string(*peer);
}

}  // namespace online
