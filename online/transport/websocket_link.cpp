// The browser's WebSocket through Emscripten's API (-lwebsocket.js). Its
// callbacks run on the page's thread between the game's sleeps, so the
// link's state needs no lock. A callback may come after its link is gone
// (the close event of a socket closed by the destructor): callbacks carry
// the socket's number and find the link through a table of the living.
#include "online/transport/websocket_link.h"

#include <emscripten/websocket.h>

#include <cstdint>
#include <map>
#include <stdexcept>
#include <utility>

#include "online/protocol/messages.h"

namespace online {
namespace {

std::map<int, WebSocketLink*>& living() {
  static std::map<int, WebSocketLink*> links;
  return links;
}

void* tag(int socket) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(socket));
}

WebSocketLink* self(void* user) {
  const auto it = living().find(
      static_cast<int>(reinterpret_cast<std::intptr_t>(user)));
  return it == living().end() ? nullptr : it->second;
}

}  // namespace

std::unique_ptr<WebSocketLink> WebSocketLink::open(const std::string& url,
                                                   std::string& error) {
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
  std::unique_ptr<WebSocketLink> link(new WebSocketLink(socket, url));
  living()[socket] = link.get();
  emscripten_websocket_set_onopen_callback(
      socket, tag(socket),
      [](int, const EmscriptenWebSocketOpenEvent*, void* user) {
        if (WebSocketLink* l = self(user)) l->opened();
        return EM_TRUE;
      });
  emscripten_websocket_set_onmessage_callback(
      socket, tag(socket),
      [](int, const EmscriptenWebSocketMessageEvent* e, void* user) {
        if (WebSocketLink* l = self(user)) {
          l->message(e->data, e->numBytes, e->isText);
        }
        return EM_TRUE;
      });
  emscripten_websocket_set_onerror_callback(
      socket, tag(socket),
      [](int, const EmscriptenWebSocketErrorEvent*, void* user) {
        if (WebSocketLink* l = self(user)) l->closed("the connection failed");
        return EM_TRUE;
      });
  emscripten_websocket_set_onclose_callback(
      socket, tag(socket),
      [](int, const EmscriptenWebSocketCloseEvent* e, void* user) {
        if (WebSocketLink* l = self(user)) {
          l->closed(e->reason[0] != '\0'
                        ? std::string(e->reason)
                        : "closed (code " + std::to_string(e->code) + ")");
        }
        return EM_TRUE;
      });
  return link;
}

WebSocketLink::WebSocketLink(int socket, std::string url)
    : socket_(socket), url_(std::move(url)) {}

WebSocketLink::~WebSocketLink() {
  living().erase(socket_);
  if (state_ != State::closed) emscripten_websocket_close(socket_, 1000, "");
  emscripten_websocket_delete(socket_);
}

void WebSocketLink::send(std::span<const std::uint8_t> message) {
  if (message.size() > max_datagram_bytes) {
    throw std::length_error("WebSocketLink: a frame longer than a message");
  }
  switch (state_) {
    case State::connecting:
      if (held_.size() == max_held) held_.pop_front();
      held_.emplace_back(message.begin(), message.end());
      break;
    case State::open:
      send_now(message);
      break;
    case State::closed:
      ++counts_.send_failed;
      break;
  }
}

void WebSocketLink::send_now(std::span<const std::uint8_t> message) {
  // The browser copies the bytes before it returns.
  std::vector<std::uint8_t> copy(message.begin(), message.end());
  if (emscripten_websocket_send_binary(socket_, copy.data(),
                                       static_cast<std::uint32_t>(
                                           copy.size())) ==
      EMSCRIPTEN_RESULT_SUCCESS) {
    ++counts_.sent;
  } else {
    ++counts_.send_failed;
  }
}

std::optional<std::vector<std::uint8_t>> WebSocketLink::receive() {
  if (queued_.empty()) return std::nullopt;
  std::vector<std::uint8_t> message = std::move(queued_.front());
  queued_.pop_front();
  ++counts_.received;
  return message;
}

std::string WebSocketLink::describe() const { return "websocket " + url_; }

void WebSocketLink::opened() {
  state_ = State::open;
  while (!held_.empty()) {
    send_now(held_.front());
    held_.pop_front();
  }
}

void WebSocketLink::message(const std::uint8_t* data, std::uint32_t size,
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

void WebSocketLink::closed(std::string reason) {
  if (state_ == State::closed) return;
  state_ = State::closed;
  close_reason_ = std::move(reason);
  held_.clear();
}

}  // namespace online
