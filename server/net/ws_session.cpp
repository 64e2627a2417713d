#include "server/net/ws_session.h"

#include "online/protocol/messages.h"

namespace server::net {

namespace beast = boost::beast;
namespace websocket = beast::websocket;

namespace {

constexpr std::size_t max_queued = 512;

}  // namespace

WsSession::WsSession(tcp::socket socket, TcpShared& shared, std::string client)
    : ws_(std::move(socket)), shared_(shared), client_(std::move(client)) {}

WsSession::~WsSession() {
  if (id_ != 0) shared_.peers.remove_connection(id_);
  const auto it = shared_.connections.find(client_);
  if (it != shared_.connections.end() && --it->second == 0) {
    shared_.connections.erase(it);
  }
}

void WsSession::start(beast::http::request<beast::http::string_body> request) {
  ws_.set_option(
      websocket::stream_base::timeout::suggested(beast::role_type::server));
  ws_.read_message_max(online::max_datagram_bytes);
  ws_.binary(true);
  ws_.async_accept(
      request, [self = shared_from_this()](beast::error_code error) {
        if (error) return self->shared_.hub.figures().dropped("ws_handshake");
        self->id_ = self->shared_.peers.add_connection(self->weak_from_this());
        self->read();
      });
}

void WsSession::read() {
  ws_.async_read(buffer_, [self = shared_from_this()](beast::error_code error,
                                                      std::size_t) {
    if (error == websocket::error::message_too_big) {
      self->shared_.hub.figures().dropped("size");
    }
    if (error) return;
    const auto data = self->buffer_.cdata();
    rooms::Peer peer;
    peer.id = self->id_;
    peer.client = self->client_;
    peer.datagram = false;
    self->shared_.hub.receive(
        peer,
        std::span<const std::uint8_t>(
            static_cast<const std::uint8_t*>(data.data()), data.size()),
        rooms::Clock::now());
    self->buffer_.consume(self->buffer_.size());
    self->read();
  });
}

void WsSession::send(std::span<const std::uint8_t> bytes) {
  if (queue_.size() >= max_queued) {
    return shared_.hub.figures().dropped("ws_backlog");
  }
  queue_.emplace_back(bytes.begin(), bytes.end());
  if (!writing_) write_next();
}

void WsSession::write_next() {
  if (queue_.empty()) {
    writing_ = false;
    return;
  }
  writing_ = true;
  ws_.async_write(
      boost::asio::buffer(queue_.front()),
      [self = shared_from_this()](beast::error_code error, std::size_t) {
        if (error) return;
        self->queue_.pop_front();
        self->write_next();
      });
}

}  // namespace server::net
