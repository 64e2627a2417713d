// A seat's secret: SipHash-2-4 of the room's code and the seat's number
// under the server's key. The key outlives a restart (server/state/), so
// the server still knows the tickets it gave before.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "online/protocol/messages.h"

namespace server::rooms {

using SeatKey = std::array<std::uint8_t, 16>;

// SipHash-2-4 (Aumasson and Bernstein) of `data` under `key`.
std::uint64_t siphash24(const SeatKey& key, std::span<const std::uint8_t> data);

class SeatSecrets {
 public:
  explicit SeatSecrets(const SeatKey& key) : key_(key) {}
  std::uint64_t secret(std::string_view code, std::uint32_t seat) const;
  online::Ticket ticket(std::string_view code, std::uint32_t seat) const;
  bool valid(const online::Ticket& ticket) const;

 private:
  SeatKey key_;
};

}  // namespace server::rooms
