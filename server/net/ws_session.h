// One WebSocket connection into the rooms: every binary frame is one
// message for the hub; what the rooms send it is queued and written in
// order (a connection that cannot keep up loses what is over the queue).
#pragma once

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "server/net/peers.h"
#include "server/net/tcp_shared.h"

namespace server::net {

class WsSession : public Connection,
                  public std::enable_shared_from_this<WsSession> {
 public:
  WsSession(tcp::socket socket, TcpShared& shared, std::string client);
  ~WsSession() override;
  void start(
      boost::beast::http::request<boost::beast::http::string_body> request);
  void send(std::span<const std::uint8_t> bytes) override;

 private:
  void read();
  void write_next();

  boost::beast::websocket::stream<boost::beast::tcp_stream> ws_;
  boost::beast::flat_buffer buffer_;
  TcpShared& shared_;
  std::string client_;
  rooms::PeerId id_ = 0;
  std::deque<std::vector<std::uint8_t>> queue_;
  bool writing_ = false;
};

}  // namespace server::net
