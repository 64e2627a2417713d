// Whoever sends to the server, as the rooms see them: a number the network
// side gave (a UDP address, a WebSocket connection) and what the limits and
// a direct path need to know of it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace server::rooms {

using PeerId = std::uint64_t;

struct Peer {
  PeerId id = 0;
  std::string client;    // the peer's IP address: the limits' key
  std::string address;   // "1.2.3.4:5000" for a direct path; "" on WebSocket
  bool datagram = true;  // UDP: may lose what is sent
};

// Sends one message to a peer, never blocking; a peer that is gone is
// skipped.
class Outbox {
 public:
  virtual ~Outbox() = default;
  virtual void send(PeerId peer, std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace server::rooms
