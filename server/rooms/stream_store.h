// A room's stream: both seats' final events of every tick from 0, as the
// host sent them, bounded in bytes; and the messages that hand it on. The
// ticks are kept as their bytes in a message (an empty tick is two), so a
// long game costs little memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "online/protocol/messages.h"

namespace server::rooms {

class StreamStore {
 public:
  explicit StreamStore(std::size_t byte_limit) : byte_limit_(byte_limit) {}

  struct Taken {
    std::uint32_t next_tick = 0;  // what to acknowledge
    std::size_t refused = 0;      // ticks beyond the byte limit
    bool new_session = false;     // the host plays another game now
  };
  // The host's message: keeps the ticks not kept yet. A message that starts
  // beyond what is kept is not taken: its acknowledgement asks for the gap.
  Taken take(const online::Stream& stream);

  std::uint32_t session() const { return session_; }
  std::uint32_t size() const { return std::uint32_t(starts_.size()); }
  bool ended() const { return ended_; }
  std::size_t bytes() const { return ticks_.size(); }

  // An encoded Stream of the ticks from `first` that fit in one message,
  // `ended` when it holds the last (or is the empty message after it).
  struct Message {
    std::vector<std::uint8_t> bytes;
    std::uint32_t ticks = 0;
    bool ended = false;
  };
  Message message(std::uint32_t first) const;

 private:
  std::size_t byte_limit_;
  std::uint32_t session_ = 0;
  bool started_ = false;
  bool ended_ = false;
  // Past the byte limit: later ticks are acknowledged and thrown away, so
  // the host does not resend them for ever.
  bool full_ = false;
  std::uint32_t acknowledged_ = 0;
  std::vector<std::uint8_t> ticks_;    // every tick's bytes, one after another
  std::vector<std::uint32_t> starts_;  // where each tick's bytes start
};

}  // namespace server::rooms
