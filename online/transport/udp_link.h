// The session's link over UDP. The host binds a port and answers whoever
// speaks; the guest sends to the host it was given. Both poll: nothing
// here blocks but the name lookup of a join, and no thread is started.
// Asio stays inside udp_link.cpp, so the game never sees it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "online/protocol/link.h"

namespace online {

// A datagram's sender: an IPv6 address (an IPv4 one as ::ffff:a.b.c.d) and
// a port.
struct Peer {
  std::array<std::uint8_t, 16> address{};
  std::uint16_t port = 0;
  bool operator==(const Peer&) const = default;
};

// "127.0.0.1:5000", "[::1]:5000".
std::string to_string(const Peer& peer);

struct UdpCounts {
  std::uint64_t sent = 0;         // handed to the system
  std::uint64_t send_failed = 0;  // refused by the system (full, no route)
  std::uint64_t unsent = 0;       // send() with no peer to send to
  std::uint64_t received = 0;     // given out by receive()
  std::uint64_t oversized = 0;    // larger than max_datagram_bytes: dropped
  std::uint64_t strangers = 0;    // the guest's, not from its host: dropped
  std::uint64_t failed = 0;       // receive errors (an ICMP "unreachable")
};

class UdpLink final : public Link {
 public:
  // Binds `port` (0: any free one) on every address: IPv6 and IPv4 on one
  // socket, or IPv4 alone where the system has no IPv6. Nothing, with the
  // reason in `error`, when the port cannot be had.
  static std::unique_ptr<UdpLink> host(std::uint16_t port, std::string& error);
  // Resolves `address` (HOST, HOST:PORT, [IPV6]:PORT; default_port when it
  // names none) and sends to the first of its addresses this machine can
  // reach. Datagrams from anyone else are dropped.
  static std::unique_ptr<UdpLink> join(std::string_view address,
                                       std::uint16_t default_port,
                                       std::string& error);
  ~UdpLink() override;

  // To peer(); a message longer than max_datagram_bytes is std::length_error.
  void send(std::span<const std::uint8_t> message) override;
  // The next datagram of at most max_datagram_bytes (longer ones are dropped
  // unread and counted), or nothing when none is waiting.
  std::optional<std::vector<std::uint8_t>> receive() override;
  std::string describe() const override;

  // Host: a reply to someone other than the peer (a refusal).
  void send_to(const Peer& to, std::span<const std::uint8_t> message);
  // Who sent the datagram receive() gave last.
  std::optional<Peer> last_sender() const;
  // Where send() goes. The host takes the first sender to speak; the
  // session may fix another, or none to take the next one that speaks.
  std::optional<Peer> peer() const;
  void set_peer(std::optional<Peer> peer);

  std::uint16_t local_port() const;
  const UdpCounts& counts() const;

 private:
  struct State;
  explicit UdpLink(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace online
