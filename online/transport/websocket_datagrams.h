// The browser's way to the room server, which has no UDP: one WebSocket to
// the server's /ws, each binary message one datagram. The browser delivers
// messages only when the page gives it control (the game's sleeps and
// frames do), so nothing here blocks or waits: what is sent before the
// socket opens is held (a few) and goes when it does; what comes is queued
// (a bounded number) until receive() takes it. The server is the only peer:
// there is no direct path to the other machine from a page.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "online/protocol/datagrams.h"

namespace online {

struct WebSocketCounts {
  std::uint64_t sent = 0;
  std::uint64_t send_failed = 0;  // refused by the browser, or closed
  std::uint64_t received = 0;
  std::uint64_t oversized = 0;   // longer than max_datagram_bytes: dropped
  std::uint64_t text = 0;        // text messages: not ours, dropped
  std::uint64_t overflowed = 0;  // came while the queue was full: dropped
  std::uint64_t unsendable = 0;  // to anyone but the server: dropped
};

class WebSocketDatagrams final : public Datagrams {
 public:
  enum class State { connecting, open, closed };

  // Opens a WebSocket to `url` ("ws://host:port/ws", "wss://..."); nothing,
  // with the reason in `error`, when the browser refuses it at once.
  // Datagrams from the server carry `url` as their sender's name.
  static std::unique_ptr<WebSocketDatagrams> open(const std::string& url,
                                                  std::string& error);
  ~WebSocketDatagrams() override;
  WebSocketDatagrams(const WebSocketDatagrams&) = delete;
  WebSocketDatagrams& operator=(const WebSocketDatagrams&) = delete;

  void send_to(std::string_view to,
               std::span<const std::uint8_t> bytes) override;
  std::optional<Datagram> receive() override;
  // The server's own name for its URL; nothing for any other address.
  std::optional<std::string> name_of(std::string_view address) const override;

  State state() const { return state_; }
  // Why the socket closed ("" while it has not).
  const std::string& close_reason() const { return close_reason_; }
  const WebSocketCounts& counts() const { return counts_; }
  const std::string& url() const { return url_; }

  // Held while connecting; beyond this the oldest are dropped (the layers
  // above resend what matters).
  static constexpr std::size_t max_held = 16;
  static constexpr std::size_t max_queued = 512;

  // The socket's events, called by the browser through the table of living
  // sockets.
  void opened();
  void message(const std::uint8_t* data, std::uint32_t size, bool is_text);
  void closed(std::string reason);

 private:
  WebSocketDatagrams(int socket, std::string url)
      : socket_(socket), url_(std::move(url)) {}
  void send_now(std::span<const std::uint8_t> bytes);

  int socket_;
  std::string url_;
  State state_ = State::connecting;
  std::string close_reason_;
  std::deque<std::vector<std::uint8_t>> held_;
  std::deque<std::vector<std::uint8_t>> queued_;
  WebSocketCounts counts_;
};

}  // namespace online
