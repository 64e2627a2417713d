// The browser's WebSocket through Emscripten's API (-lwebsocket.js). Its
// callbacks run on the page's thread between the game's sleeps, so the
// state needs no lock. A callback may come after its socket's object is
// gone (an event already on its way when the object closed it): callbacks
// carry the socket's number and find the object through a table of the
// living, so a late one finds nothing and does nothing.
#include "online/transport/websocket_datagrams.h"

#include <emscripten/websocket.h>

#include <cstdint>
#include <map>
#include <utility>

#include "online/protocol/messages.h"

namespace online {
namespace {

std::map<int, WebSocketDatagrams*>& living() {
  static std::map<int, WebSocketDatagrams*> sockets;
  return sockets;
}

void* tag(int socket) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(socket));
}

WebSocketDatagrams* self(void* user) {
  const auto it =
      living().find(static_cast<int>(reinterpret_cast<std::intptr_t>(user)));
  return it == living().end() ? nullptr : it->second;
}

EM_BOOL on_open(int, const EmscriptenWebSocketOpenEvent*, void* user) {
  if (WebSocketDatagrams* s = self(user)) s->opened();
  return EM_TRUE;
}

EM_BOOL on_message(int, const EmscriptenWebSocketMessageEvent* e, void* user) {
  if (WebSocketDatagrams* s = self(user))
    s->message(e->data, e->numBytes, e->isText);
  return EM_TRUE;
}

EM_BOOL on_error(int, const EmscriptenWebSocketErrorEvent*, void* user) {
  if (WebSocketDatagrams* s = self(user)) s->closed("the connection failed");
  return EM_TRUE;
}

EM_BOOL on_close(int, const EmscriptenWebSocketCloseEvent* e, void* user) {
  if (WebSocketDatagrams* s = self(user)) {
    s->closed(e->reason[0] != '\0' ? std::string(e->reason)
                                   : "the connection closed (code " +
                                         std::to_string(e->code) + ")");
  }
  return EM_TRUE;
}

}  // namespace

std::unique_ptr<WebSocketDatagrams> WebSocketDatagrams::open(
    const std::string& url, std::string& error) {
  if (!emscripten_websocket_is_supported()) {
    error = "this browser has no WebSocket";
    return nullptr;
  }
  EmscriptenWebSocketCreateAttributes attributes;
  emscripten_websocket_init_create_attributes(&attributes);
  attributes.url = url.c_str();
  attributes.protocols = nullptr;
  attributes.createOnMainThread = EM_TRUE;
  const EMSCRIPTEN_WEBSOCKET_T socket = emscripten_websocket_new(&attributes);
  if (socket <= 0) {
    error = "the browser refused a WebSocket to " + url;
    return nullptr;
  }
  std::unique_ptr<WebSocketDatagrams> out(new WebSocketDatagrams(socket, url));
  living()[socket] = out.get();
  emscripten_websocket_set_onopen_callback(socket, tag(socket), on_open);
  emscripten_websocket_set_onmessage_callback(socket, tag(socket), on_message);
  emscripten_websocket_set_onerror_callback(socket, tag(socket), on_error);
  emscripten_websocket_set_onclose_callback(socket, tag(socket), on_close);
  return out;
}

WebSocketDatagrams::~WebSocketDatagrams() {
  living().erase(socket_);
  if (state_ != State::closed) emscripten_websocket_close(socket_, 1000, "");
  emscripten_websocket_delete(socket_);
}

void WebSocketDatagrams::send_to(std::string_view to,
                                 std::span<const std::uint8_t> bytes) {
  if (to != url_) {
    ++counts_.unsendable;
    return;
  }
  if (bytes.size() > max_datagram_bytes) {
    ++counts_.send_failed;
    return;
  }
  switch (state_) {
    case State::connecting:
      if (held_.size() == max_held) held_.pop_front();
      held_.emplace_back(bytes.begin(), bytes.end());
      break;
    case State::open:
      send_now(bytes);
      break;
    case State::closed:
      ++counts_.send_failed;
      break;
  }
}

void WebSocketDatagrams::send_now(std::span<const std::uint8_t> bytes) {
  // The browser copies the bytes before it returns; the API only lacks the
  // const.
  void* data = const_cast<std::uint8_t*>(bytes.data());
  if (emscripten_websocket_send_binary(
          socket_, data, static_cast<std::uint32_t>(bytes.size())) ==
      EMSCRIPTEN_RESULT_SUCCESS) {
    ++counts_.sent;
  } else {
    ++counts_.send_failed;
  }
}

std::optional<Datagram> WebSocketDatagrams::receive() {
  if (queued_.empty()) return std::nullopt;
  Datagram d{url_, std::move(queued_.front())};
  queued_.pop_front();
  ++counts_.received;
  return d;
}

std::optional<std::string> WebSocketDatagrams::name_of(
    std::string_view address) const {
  if (address != url_) return std::nullopt;
  return url_;
}

void WebSocketDatagrams::opened() {
  state_ = State::open;
  for (; !held_.empty(); held_.pop_front()) send_now(held_.front());
}

void WebSocketDatagrams::message(const std::uint8_t* data, std::uint32_t size,
                                 bool is_text) {
  if (is_text) {
    ++counts_.text;
  } else if (size > max_datagram_bytes) {
    ++counts_.oversized;
  } else if (queued_.size() == max_queued) {
    ++counts_.overflowed;
  } else {
    queued_.emplace_back(data, data + size);
  }
}

void WebSocketDatagrams::closed(std::string reason) {
  if (state_ == State::closed) return;
  state_ = State::closed;
  close_reason_ = std::move(reason);
  held_.clear();
}

}  // namespace online
