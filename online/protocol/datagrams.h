// One socket's datagrams to and from several peers: the server, and the
// other player's machine on a direct path. Each peer is named by its
// address as text, as the socket writes it ("127.0.0.1:5000",
// "[::1]:5000"), so the layers above compare names and never see sockets.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace online {

struct Datagram {
  std::string from;
  std::vector<std::uint8_t> bytes;
};

class Datagrams {
 public:
  virtual ~Datagrams() = default;
  // Never blocks; may be lost on the way. An address that is not one the
  // socket can send to is counted and dropped.
  virtual void send_to(std::string_view to,
                       std::span<const std::uint8_t> bytes) = 0;
  // One datagram that has come, or nothing now.
  virtual std::optional<Datagram> receive() = 0;
  // The name a datagram from `address` (a literal "HOST:PORT" or
  // "[V6]:PORT", as the server writes one) would carry, or nothing.
  virtual std::optional<std::string> name_of(
      std::string_view address) const = 0;
};

}  // namespace online
