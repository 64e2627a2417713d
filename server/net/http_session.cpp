#include "server/net/http_session.h"

#include <boost/beast/websocket.hpp>
#include <chrono>

#include "server/net/ws_session.h"

namespace server::net {

namespace beast = boost::beast;
namespace bhttp = beast::http;

namespace {

constexpr auto request_time = std::chrono::seconds(20);

bhttp::response<bhttp::string_body> plain(unsigned version, bool keep_alive,
                                          const http::Response& r) {
  bhttp::response<bhttp::string_body> out{
      bhttp::int_to_status(unsigned(r.status)), version};
  out.set(bhttp::field::server, "vermix-server");
  out.set(bhttp::field::content_type, r.content_type);
  for (const auto& [name, value] : r.headers) out.set(name, value);
  out.body() = r.body;
  out.keep_alive(keep_alive);
  out.prepare_payload();
  return out;
}

}  // namespace

HttpSession::HttpSession(tcp::socket socket, TcpShared& shared)
    : stream_(std::move(socket)), shared_(shared) {
  boost::system::error_code error;
  const auto remote = stream_.socket().remote_endpoint(error);
  client_ = error ? "?" : client_text(remote.address());
}

void HttpSession::read_head() {
  parser_.emplace();
  parser_->header_limit(8 * 1024);
  // The route's limit is set once the target is known (on_head); until then
  // the parser's own limit must not refuse the head of a large body.
  parser_->body_limit(boost::none);
  stream_.expires_after(request_time);
  bhttp::async_read_header(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code error, std::size_t) {
        if (error) {
          if (error != bhttp::error::end_of_stream &&
              error != beast::error::timeout) {
            self->shared_.hub.figures().dropped("http_head");
          }
          return;
        }
        self->on_head();
      });
}

void HttpSession::on_head() {
  const auto& head = parser_->get();
  if (beast::websocket::is_upgrade(head)) {
    if (head.target() == "/ws") return upgrade();
    return answer(
        plain(head.version(), false, http::text_response(404, "not found\n")));
  }
  const std::size_t limit = shared_.router.body_limit(head.target());
  const auto length = parser_->content_length();
  if (length && *length > limit) {
    shared_.hub.figures().limit("http_body");
    return answer(plain(head.version(), false,
                        http::text_response(413, "the body is too large\n")));
  }
  parser_->body_limit(limit);
  read_body();
}

void HttpSession::read_body() {
  bhttp::async_read(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code error, std::size_t) {
        const auto& request = self->parser_->get();
        if (error == bhttp::error::body_limit) {
          self->shared_.hub.figures().limit("http_body");
          return self->answer(
              plain(request.version(), false,
                    http::text_response(413, "the body is too large\n")));
        }
        if (error) {
          self->shared_.hub.figures().dropped("http_body");
          return;
        }
        http::Request exchange;
        exchange.method = std::string(request.method_string());
        exchange.target = std::string(request.target());
        exchange.body = request.body();
        exchange.client = self->client_;
        for (const auto& field : request) {
          exchange.headers.emplace_back(std::string(field.name_string()),
                                        std::string(field.value()));
        }
        self->answer(plain(request.version(), request.keep_alive(),
                           self->shared_.router.answer(exchange)));
      });
}

void HttpSession::answer(bhttp::response<bhttp::string_body> response) {
  auto message = std::make_shared<bhttp::response<bhttp::string_body>>(
      std::move(response));
  bhttp::async_write(stream_, *message,
                     [self = shared_from_this(), message](
                         beast::error_code error, std::size_t) {
                       if (error || !message->keep_alive()) {
                         beast::error_code ignored;
                         self->stream_.socket().shutdown(
                             tcp::socket::shutdown_send, ignored);
                         return;
                       }
                       self->read_head();
                     });
}

void HttpSession::upgrade() {
  std::uint32_t& open = shared_.connections[client_];
  if (open >= shared_.hub.limits().ws_connections_per_address) {
    shared_.hub.figures().limit("ws_connections");
    return answer(plain(parser_->get().version(), false,
                        http::text_response(429, "too many connections\n")));
  }
  ++open;
  stream_.expires_never();
  std::make_shared<WsSession>(stream_.release_socket(), shared_, client_)
      ->start(parser_->release());
}

}  // namespace server::net
