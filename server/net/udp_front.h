// The rooms' UDP socket: every datagram goes to the hub as it comes.
#pragma once

#include <array>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>

#include "online/protocol/messages.h"
#include "server/net/peers.h"
#include "server/rooms/hub.h"

namespace server::net {

class UdpFront {
 public:
  UdpFront(boost::asio::io_context& io, const udp::endpoint& at,
           rooms::Hub& hub, Peers& peers);
  std::uint16_t port() const { return socket_.local_endpoint().port(); }

 private:
  void receive();
  void take(std::size_t size);

  udp::socket socket_;
  rooms::Hub& hub_;
  Peers& peers_;
  udp::endpoint from_;
  // One more than a datagram may hold, so an oversized one is seen as such.
  std::array<std::uint8_t, online::max_datagram_bytes + 1> buffer_{};
};

}  // namespace server::net
