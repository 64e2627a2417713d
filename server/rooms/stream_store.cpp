#include "server/rooms/stream_store.h"

#include <algorithm>

namespace server::rooms {

namespace {

std::size_t empty_stream_bytes() {
  static const std::size_t bytes = online::encoded_size(online::Stream{});
  return bytes;
}

// A tick's bytes inside a Stream: counts are fixed-width, so each tick adds
// the same wherever it stands.
std::uint16_t tick_cost(const std::array<online::TickEvents, 2>& tick) {
  online::Stream one;
  one.ticks.push_back(tick);
  return std::uint16_t(online::encoded_size(one) - empty_stream_bytes());
}

}  // namespace

StreamStore::Taken StreamStore::take(const online::Stream& stream) {
  Taken taken;
  if (!started_ || stream.session != session_) {
    taken.new_session = started_;
    *this = StreamStore(byte_limit_);
    started_ = true;
    session_ = stream.session;
  }
  const std::uint64_t end =
      std::uint64_t(stream.first_tick) + stream.ticks.size();
  if (full_) {
    const std::uint64_t before = acknowledged_;
    acknowledged_ = std::uint32_t(std::max<std::uint64_t>(acknowledged_, end));
    taken.refused = std::size_t(acknowledged_ - before);
  } else if (stream.first_tick <= ticks_.size()) {
    for (std::size_t i = ticks_.size() - stream.first_tick;
         i < stream.ticks.size(); ++i) {
      const std::uint16_t cost = tick_cost(stream.ticks[i]);
      if (bytes_ + cost > byte_limit_) {
        full_ = true;
        taken.refused = stream.ticks.size() - i;
        break;
      }
      ticks_.push_back(stream.ticks[i]);
      costs_.push_back(cost);
      bytes_ += cost;
    }
    acknowledged_ = full_ ? std::uint32_t(end) : size();
  }
  if (stream.ended && end <= acknowledged_) ended_ = true;
  taken.next_tick = acknowledged_;
  return taken;
}

online::Stream StreamStore::message(std::uint32_t first) const {
  online::Stream out;
  out.session = session_;
  out.first_tick = std::min(first, size());
  std::size_t bytes = empty_stream_bytes();
  for (std::size_t i = out.first_tick; i < ticks_.size(); ++i) {
    if (out.ticks.size() == online::max_ticks_per_message ||
        bytes + costs_[i] > online::max_message_bytes) {
      break;
    }
    bytes += costs_[i];
    out.ticks.push_back(ticks_[i]);
  }
  out.ended = ended_ && out.first_tick + out.ticks.size() == ticks_.size();
  return out;
}

}  // namespace server::rooms
