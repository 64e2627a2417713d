// What every connection of the TCP port shares.
#pragma once

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

}  // namespace server::net
