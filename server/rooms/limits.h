// What one address and one room may do, and how long rooms live. The
// defaults leave a game (60 messages a second each way, a stream, a
// presence) far below every limit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace server::rooms {

struct Limits {
  std::uint16_t idle_seconds = 30;           // a seat unheard this long is gone
  std::uint32_t ended_memory_seconds = 600;  // ended codes answer "expired"
  double address_messages_per_second = 400;
  double address_bytes_per_second = 256 * 1024;
  double room_messages_per_second = 600;
  double room_bytes_per_second = 384 * 1024;
  std::uint32_t rooms_per_address = 4;
  std::uint32_t max_rooms = 20000;
  std::uint32_t spectators_per_room = 32;
  // Wrong codes and tickets: a few at once, then one every few seconds.
  double guesses_per_minute = 12;
  double guess_burst = 5;
  std::size_t stream_bytes_per_room = 8u << 20;
  std::uint32_t ws_connections_per_address = 16;
};

}  // namespace server::rooms
