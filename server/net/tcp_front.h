// The TCP port: HTTP requests answered by the router, and at /ws the
// WebSocket way into the rooms (one binary frame, one message).
#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <cstdint>
#include <map>
#include <string>

#include "server/http/router.h"
#include "server/net/peers.h"
#include "server/rooms/hub.h"

namespace server::net {

using tcp = boost::asio::ip::tcp;

// What every connection of the port shares; it outlives the io_context, so
// connections ended when it goes still find it.
struct TcpShared {
  rooms::Hub& hub;
  Peers& peers;
  const http::Router& router;
  // Open WebSocket connections by IP address, against the limit.
  std::map<std::string, std::uint32_t> connections;
};

class TcpFront {
 public:
  TcpFront(boost::asio::io_context& io, const tcp::endpoint& at,
           TcpShared& shared);
  std::uint16_t port() const { return acceptor_.local_endpoint().port(); }

 private:
  void accept();

  tcp::acceptor acceptor_;
  TcpShared& shared_;
};

}  // namespace server::net
