// The TCP port: HTTP requests answered by the router, and at /ws the
// WebSocket way into the rooms (one binary frame, one message).
#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <cstdint>

#include "server/net/tcp_shared.h"

namespace server::net {

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
