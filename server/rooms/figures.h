// The counts the figures page shows: traffic in and out, messages dropped by
// reason, limits hit by kind; rates are taken over the last whole second.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace server::rooms {

struct Traffic {
  std::uint64_t messages_in = 0;
  std::uint64_t bytes_in = 0;
  std::uint64_t messages_out = 0;
  std::uint64_t bytes_out = 0;
};

// What is in the rooms now.
struct Population {
  std::size_t rooms = 0;
  std::size_t players = 0;
  std::size_t spectators = 0;
};

class Figures {
 public:
  void received(std::size_t bytes) {
    ++total_.messages_in;
    total_.bytes_in += bytes;
  }
  void sent(std::size_t bytes) {
    ++total_.messages_out;
    total_.bytes_out += bytes;
  }
  void dropped(std::string_view reason) { ++dropped_[std::string(reason)]; }
  void limit(std::string_view kind) { ++limits_[std::string(kind)]; }
  void refused_stream_ticks(std::size_t n) { stream_ticks_refused_ += n; }

  // Called once a second: the last second's traffic becomes the rate.
  void next_second();

  const Traffic& total() const { return total_; }
  const Traffic& last_second() const { return rate_; }
  std::uint64_t dropped_count(std::string_view reason) const;
  std::uint64_t limit_count(std::string_view kind) const;

  // The plain-text page, one "name value" line each.
  std::string text(const Population& now) const;

 private:
  Traffic total_;
  Traffic at_second_;
  Traffic rate_;
  std::map<std::string, std::uint64_t> dropped_;
  std::map<std::string, std::uint64_t> limits_;
  std::uint64_t stream_ticks_refused_ = 0;
};

}  // namespace server::rooms
