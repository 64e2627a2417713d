// The final ticks of both seats from tick 0, as the host keeps them for the
// server (which feeds spectators from them) and for a guest coming into a
// game under way, and one receiver's window over them: what it has not
// acknowledged is sent again until it is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "online/protocol/messages.h"

namespace online {

class FinalStream {
 public:
  // An hour of play at 60 ticks a second; a longer game is not kept whole.
  static constexpr long max_ticks = 60L * 60 * 60;

  // False once max_ticks are kept: the tick is not.
  bool add(const TickEvents& host, const TickEvents& guest);
  void end() { ended_ = true; }
  long size() const { return static_cast<long>(ticks_.size()); }
  bool ended() const { return ended_; }
  const std::array<TickEvents, 2>& at(long tick) const {
    return ticks_[static_cast<std::size_t>(tick)];
  }

 private:
  std::vector<std::array<TickEvents, 2>> ticks_;
  bool ended_ = false;
};

class StreamSender {
 public:
  // Ticks from `from` of `stream`, to a receiver named by `ticket`'s
  // messages (the server's seat, or empty towards a guest).
  StreamSender(const FinalStream& stream, Ticket ticket, std::uint32_t session,
               long from = 0);

  // What to send now: the next ticks within the window, or again from the
  // acknowledged tick when no acknowledgement came for a while.
  std::vector<Stream> due(std::uint32_t now_ms);
  // The receiver has every tick below `next_tick`. A receiver that lost
  // what it had (a restarted server) says so with a lower one.
  void acknowledged(long next_tick, std::uint32_t now_ms);
  void set_ticket(const Ticket& ticket) { ticket_ = ticket; }
  // Everything, the end included, is acknowledged.
  bool done() const;
  long acked() const { return acked_; }

 private:
  Stream message_from(long first) const;

  const FinalStream& stream_;
  Ticket ticket_;
  std::uint32_t session_;
  long acked_;
  long next_;
  bool end_sent_ = false;
  std::uint32_t last_progress_ms_ = 0;
  std::uint32_t last_sent_ms_ = 0;
};

// The receiving end, from tick 0: ticks are taken in order (what follows a
// gap comes again), and acknowledged at most every few milliseconds while
// messages come.
class StreamReceiver {
 public:
  // `session`: the game's, when known; else the first one heard is.
  explicit StreamReceiver(std::optional<std::uint32_t> session = {})
      : session_(session) {}

  // False when the message is another game's.
  bool take(const Stream& s);
  // The acknowledgement to send now, with `ticket`, if one is due.
  std::optional<StreamAck> ack_due(const Ticket& ticket, std::uint32_t now_ms);
  const FinalStream& stream() const { return stream_; }

 private:
  FinalStream stream_;
  std::optional<std::uint32_t> session_;
  bool ack_due_ = false;
  std::uint32_t last_ack_ms_ = 0;
};

}  // namespace online
