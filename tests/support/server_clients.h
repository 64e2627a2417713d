// Small clients of the server for tests: a UDP one and a WebSocket one
// speaking the messages, each receive bounded in time, and plain HTTP.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "online/protocol/messages.h"

namespace testing_support {

using namespace std::chrono_literals;

class ServerClient {
 public:
  virtual ~ServerClient() = default;
  virtual void send_bytes(std::span<const std::uint8_t> bytes) = 0;
  // The next datagram or frame, or nothing after `limit`.
  virtual std::optional<std::vector<std::uint8_t>> receive_bytes(
      std::chrono::milliseconds limit) = 0;

  void send(const online::Message& message) {
    send_bytes(online::encode(message));
  }
  // The next message that decodes, or nothing after `limit`.
  std::optional<online::Message> receive(std::chrono::milliseconds limit = 2s);
  // The next message of kind T, skipping others, within `limit`.
  template <class T>
  std::optional<T> expect(std::chrono::milliseconds limit = 2s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      std::optional<online::Message> m = receive(left);
      if (!m) break;
      if (T* t = std::get_if<T>(&*m)) return std::move(*t);
    }
    return std::nullopt;
  }
};

// From `local` (any loopback address: 127.0.0.x are all this machine).
std::unique_ptr<ServerClient> udp_client(
    std::uint16_t server_port, const std::string& local = "127.0.0.1");
// Throws std::runtime_error when the upgrade is refused.
std::unique_ptr<ServerClient> ws_client(std::uint16_t tcp_port);

struct HttpAnswer {
  int status = 0;
  std::string body;
  std::map<std::string, std::string> headers;  // names in lower case
};
HttpAnswer http_get(
    std::uint16_t tcp_port, const std::string& target,
    const std::vector<std::pair<std::string, std::string>>& headers = {});
// Writes `request` as it is and reads the answer until the server closes
// (bounded by 5 s); for requests no client library would write.
std::string raw_tcp(std::uint16_t tcp_port, const std::string& request);

}  // namespace testing_support
