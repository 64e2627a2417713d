// What the online session sees of the network: byte messages sent and
// received without blocking, one datagram at a time. Beneath it lies UDP
// (online/transport/udp_link.h), later a WebSocket or a relay.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace online {

class Link {
 public:
  virtual ~Link() = default;
  // Never blocks; the message may be lost on the way.
  virtual void send(std::span<const std::uint8_t> message) = 0;
  // One message that has come, or nothing now.
  virtual std::optional<std::vector<std::uint8_t>> receive() = 0;
  // Where the link goes, for the online: lines ("udp 127.0.0.1:5000").
  virtual std::string describe() const = 0;
};

}  // namespace online
