#include "server/rooms/stream_store.h"

#include <algorithm>
#include <span>

namespace server::rooms {

namespace {

// A Stream's ticks come last, after their count (one byte), and every count
// within them is of fixed width: a tick's bytes are the same wherever it
// stands, and a message is its head, the count and the ticks' bytes.
std::size_t head_bytes() {
  static const std::size_t head = online::encoded_size(online::Stream{});
  return head;
}

// The ticks' bytes one after another, encoded (and so checked) at once.
std::vector<std::uint8_t> ticks_bytes(
    std::span<const std::array<online::TickEvents, 2>> ticks) {
  online::Stream all;
  all.ticks.assign(ticks.begin(), ticks.end());
  std::vector<std::uint8_t> bytes = online::encode(all);
  bytes.erase(bytes.begin(), bytes.begin() + std::ptrdiff_t(head_bytes()));
  return bytes;
}

std::size_t tick_size(const std::array<online::TickEvents, 2>& tick) {
  online::Stream one;
  one.ticks.push_back(tick);
  return online::encoded_size(one) - head_bytes();
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
  } else if (stream.first_tick <= size()) {
    const std::size_t from = size() - stream.first_tick;
    std::size_t count = 0;
    std::size_t bytes = ticks_.size();
    for (std::size_t i = from; i < stream.ticks.size(); ++i, ++count) {
      const std::size_t tick = tick_size(stream.ticks[i]);
      if (bytes + tick > byte_limit_) {
        full_ = true;
        taken.refused = stream.ticks.size() - i;
        break;
      }
      starts_.push_back(std::uint32_t(bytes));
      bytes += tick;
    }
    if (count > 0) {
      const std::vector<std::uint8_t> kept =
          ticks_bytes(std::span(stream.ticks).subspan(from, count));
      ticks_.insert(ticks_.end(), kept.begin(), kept.end());
    }
    acknowledged_ = full_ ? std::uint32_t(end) : size();
  }
  if (stream.ended && end <= acknowledged_) ended_ = true;
  taken.next_tick = acknowledged_;
  return taken;
}

StreamStore::Message StreamStore::message(std::uint32_t first) const {
  first = std::min(first, size());
  const auto start = [&](std::size_t tick) {
    return tick < starts_.size() ? std::size_t(starts_[tick]) : ticks_.size();
  };
  Message out;
  online::Stream head{{}, session_, first, false, {}};
  const std::size_t head_bytes = online::encoded_size(head);
  std::size_t last = first;
  while (last < size() && last - first < online::max_ticks_per_message &&
         head_bytes + start(last + 1) - start(first) <=
             online::max_message_bytes) {
    ++last;
  }
  out.ticks = std::uint32_t(last - first);
  out.ended = ended_ && last == size();
  head.ended = out.ended;
  out.bytes = online::encode(head);
  out.bytes.back() = std::uint8_t(out.ticks);
  out.bytes.insert(out.bytes.end(),
                   ticks_.begin() + std::ptrdiff_t(start(first)),
                   ticks_.begin() + std::ptrdiff_t(start(last)));
  return out;
}

}  // namespace server::rooms
