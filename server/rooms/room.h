// A room as the server keeps it: its host, its guest, its spectators and
// the stream of the game played in it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "server/rooms/clock.h"
#include "server/rooms/peer.h"
#include "server/rooms/stream_store.h"
#include "server/rooms/token_bucket.h"

namespace server::rooms {

// Where a seat was last heard.
struct Seat {
  std::uint32_t number = 0;
  PeerId peer = 0;
  bool datagram = true;
  Time heard;
  std::uint32_t nonce = 0;  // of its request, to answer a repeat the same
};

// A spectator's place in the stream: everything below `acknowledged` has
// arrived; ticks up to `sent` have gone (over UDP resent from
// `acknowledged` when no acknowledgement comes).
struct Spectator {
  Seat seat;
  std::uint32_t acknowledged = 0;
  std::uint32_t sent = 0;
  Time progress;  // the last send from `acknowledged` or its last advance
  int end_sends = 0;
};

struct Room {
  Room(std::string code, Time now, std::size_t stream_bytes, double messages,
       double bytes)
      : code(std::move(code)),
        stream(stream_bytes),
        messages(messages, messages, now),
        bytes(bytes, bytes, now) {}

  std::string code;
  std::string game_version;
  std::string build;
  std::vector<std::pair<std::string, std::string>> settings;
  std::string host_client;   // the host's address, for rooms per address
  std::string host_address;  // for a guest's direct path; empty over WebSocket
  Seat host;
  std::optional<Seat> guest;
  std::map<std::uint32_t, Spectator> spectators;
  std::uint32_t next_seat = 1;
  // The host left after the game's end: the room stays while its
  // spectators are still being fed the rest of the stream.
  bool host_left = false;
  StreamStore stream;
  TokenBucket messages;
  TokenBucket bytes;
};

}  // namespace server::rooms
