#include "online/rooms/final_stream.h"

#include <algorithm>

namespace online {
namespace {

// Ticks sent past the acknowledged one before waiting for an answer.
constexpr long window_ticks = 8 * static_cast<long>(max_ticks_per_message);
constexpr std::uint32_t resend_after_ms = 300;
// Even with nothing new, the end (or the last message) goes again this often.
constexpr std::uint32_t repeat_ms = 100;
constexpr std::uint32_t ack_every_ms = 30;

}  // namespace

bool FinalStream::add(const TickEvents& host, const TickEvents& guest) {
  if (size() >= max_ticks) return false;
  ticks_.push_back({host, guest});
  return true;
}

StreamSender::StreamSender(const FinalStream& stream, Ticket ticket,
                           std::uint32_t session, long from)
    : stream_(stream),
      ticket_(std::move(ticket)),
      session_(session),
      acked_(from),
      next_(from) {}

Stream StreamSender::message_from(long first) const {
  Stream s;
  s.ticket = ticket_;
  s.session = session_;
  s.first_tick = static_cast<std::uint32_t>(first);
  const long last = std::min(stream_.size(),
                             first + static_cast<long>(max_ticks_per_message));
  for (long t = first; t < last; ++t) s.ticks.push_back(stream_.at(t));
  s.ended = stream_.ended() && last == stream_.size();
  // Busy ticks may not all fit one datagram: the oldest that do.
  while (s.ticks.size() > 1 && encoded_size(s) > max_message_bytes) {
    s.ticks.resize(s.ticks.size() / 2);
    s.ended = false;
  }
  return s;
}

std::vector<Stream> StreamSender::due(std::uint32_t now_ms) {
  std::vector<Stream> out;
  if (done()) return out;
  if (now_ms - last_progress_ms_ >= resend_after_ms) {
    next_ = acked_;  // nothing acknowledged for a while: from there again
    last_progress_ms_ = now_ms;
  }
  while (next_ < stream_.size() && next_ - acked_ < window_ticks) {
    Stream s = message_from(next_);
    next_ += static_cast<long>(s.ticks.size());
    end_sent_ = s.ended;
    out.push_back(std::move(s));
  }
  const bool nothing_new = out.empty() && next_ >= stream_.size();
  if (nothing_new && stream_.ended() && now_ms - last_sent_ms_ >= repeat_ms) {
    // The end must be heard: the last message again (or an empty one).
    out.push_back(message_from(std::min(acked_, stream_.size())));
  }
  if (!out.empty()) last_sent_ms_ = now_ms;
  return out;
}

void StreamSender::acknowledged(long next_tick, std::uint32_t now_ms) {
  if (next_tick < 0 || next_tick > stream_.size()) return;  // never sent
  if (next_tick != acked_) last_progress_ms_ = now_ms;
  if (next_tick < acked_) next_ = next_tick;  // the receiver lost them
  acked_ = next_tick;
  next_ = std::max(next_, acked_);
}

bool StreamSender::done() const {
  return stream_.ended() && acked_ >= stream_.size() && end_sent_;
}

bool StreamReceiver::take(const Stream& s) {
  if (session_ && *session_ != s.session) return false;
  session_ = s.session;
  ack_due_ = true;
  const long have = stream_.size();
  const long first = s.first_tick;
  const long end = first + static_cast<long>(s.ticks.size());
  if (first > have || stream_.ended()) return true;  // a gap: it comes again
  for (long t = have; t < end; ++t) {
    const auto& seats = s.ticks[static_cast<std::size_t>(t - first)];
    if (!stream_.add(seats[0], seats[1])) return true;
  }
  if (s.ended) stream_.end();
  return true;
}

std::optional<StreamAck> StreamReceiver::ack_due(const Ticket& ticket,
                                                 std::uint32_t now_ms) {
  if (!session_ || !ack_due_ || now_ms - last_ack_ms_ < ack_every_ms)
    return std::nullopt;
  ack_due_ = false;
  last_ack_ms_ = now_ms;
  return StreamAck{ticket, *session_,
                   static_cast<std::uint32_t>(stream_.size())};
}

}  // namespace online
