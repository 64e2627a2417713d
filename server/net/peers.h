// The peers the rooms speak to: every UDP address that sent something and
// every WebSocket connection, each under a number of its own (UDP even,
// WebSocket odd). Sending goes to the UDP socket or the connection's queue.
#pragma once

#include <boost/asio/ip/udp.hpp>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>

#include "server/rooms/clock.h"
#include "server/rooms/figures.h"
#include "server/rooms/peer.h"

namespace server::net {

using udp = boost::asio::ip::udp;

// A WebSocket connection as the peers see it.
class Connection {
 public:
  virtual ~Connection() = default;
  virtual void send(std::span<const std::uint8_t> bytes) = 0;
};

class Peers : public rooms::Outbox {
 public:
  explicit Peers(rooms::Figures& figures) : figures_(figures) {}

  void use_socket(udp::socket* socket) { socket_ = socket; }
  // The peer of a UDP address (the same number while it is heard).
  rooms::Peer udp_peer(const udp::endpoint& from, rooms::Time now);
  rooms::PeerId add_connection(std::weak_ptr<Connection> connection);
  void remove_connection(rooms::PeerId id);
  // UDP addresses unheard for two minutes are forgotten.
  void sweep(rooms::Time now);

  void send(rooms::PeerId peer, std::span<const std::uint8_t> bytes) override;

 private:
  struct Remote {
    udp::endpoint endpoint;
    rooms::Time heard;
  };
  rooms::Figures& figures_;
  udp::socket* socket_ = nullptr;
  std::map<udp::endpoint, rooms::PeerId> by_endpoint_;
  std::unordered_map<rooms::PeerId, Remote> remotes_;
  std::unordered_map<rooms::PeerId, std::weak_ptr<Connection>> connections_;
  rooms::PeerId next_udp_ = 2;
  rooms::PeerId next_connection_ = 1;
};

// "1.2.3.4" for an IPv4 address (also one mapped into IPv6), else the
// IPv6 text.
std::string client_text(const boost::asio::ip::address& address);

}  // namespace server::net
