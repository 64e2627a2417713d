// The session's link in the browser, which has no UDP: one WebSocket to the
// server, each binary frame one message. The browser delivers frames only
// when the page gives it control (the game's sleeps do), so nothing here
// blocks or waits: sends made before the socket opens are held (a few) and
// go when it does; frames that come are queued (a bounded number) until
// receive() takes them.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "online/protocol/link.h"

namespace online {

struct WebSocketCounts {
  std::uint64_t sent = 0;
  std::uint64_t send_failed = 0;  // refused by the browser (closed socket)
  std::uint64_t received = 0;
  std::uint64_t oversized = 0;    // longer than max_datagram_bytes: dropped
  std::uint64_t text = 0;         // text frames: not ours, dropped
  std::uint64_t overflowed = 0;   // came while the queue was full: dropped
};

class WebSocketLink final : public Link {
 public:
  enum class State { connecting, open, closed };

  // Opens a WebSocket to `url` ("ws://host:port/ws", "wss://..."); nothing,
  // with the reason in `error`, when the browser refuses it at once.
  static std::unique_ptr<WebSocketLink> open(const std::string& url,
                                             std::string& error);
  ~WebSocketLink() override;

  void send(std::span<const std::uint8_t> message) override;
  std::optional<std::vector<std::uint8_t>> receive() override;
  std::string describe() const override;

  State state() const { return state_; }
  // Why the socket closed ("" while it has not).
  const std::string& close_reason() const { return close_reason_; }
  const WebSocketCounts& counts() const { return counts_; }

  // Held while connecting; beyond this the oldest are dropped (the session
  // resends what matters).
  static constexpr std::size_t max_held = 16;
  static constexpr std::size_t max_queued = 512;

 private:
  WebSocketLink(int socket, std::string url);
  void opened();
  void message(const std::uint8_t* data, std::uint32_t size, bool is_text);
  void closed(std::string reason);
  void send_now(std::span<const std::uint8_t> message);

  int socket_;
  std::string url_;
  State state_ = State::connecting;
  std::string close_reason_;
  std::deque<std::vector<std::uint8_t>> held_;
  std::deque<std::vector<std::uint8_t>> queued_;
  WebSocketCounts counts_;
};

}  // namespace online
