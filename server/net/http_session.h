// One TCP connection while it speaks HTTP: each request's head is read
// first, so a body over its route's limit is refused (413) unread; an
// upgrade at /ws becomes a WebSocket connection.
#pragma once

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <memory>
#include <optional>

#include "server/net/tcp_shared.h"

namespace server::net {

class HttpSession : public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(tcp::socket socket, TcpShared& shared);
  void start() { read_head(); }

 private:
  using Parser =
      boost::beast::http::request_parser<boost::beast::http::string_body>;
  void read_head();
  void on_head();
  void read_body();
  void answer(
      boost::beast::http::response<boost::beast::http::string_body> response);
  void upgrade();

  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  std::optional<Parser> parser_;
  TcpShared& shared_;
  std::string client_;
};

}  // namespace server::net
