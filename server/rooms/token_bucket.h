// A rate limit: `rate` tokens a second, at most `burst` saved up.
#pragma once

#include <algorithm>
#include <chrono>

#include "server/rooms/clock.h"

namespace server::rooms {

class TokenBucket {
 public:
  TokenBucket(double rate, double burst, Time now)
      : rate_(rate), burst_(burst), tokens_(burst), last_(now) {}

  // Takes `cost` tokens when there are that many.
  bool take(double cost, Time now) {
    refill(now);
    if (tokens_ < cost) return false;
    tokens_ -= cost;
    return true;
  }
  // Whether `cost` tokens are there, without taking them.
  bool has(double cost, Time now) {
    refill(now);
    return tokens_ >= cost;
  }

 private:
  void refill(Time now) {
    const double seconds = std::chrono::duration<double>(now - last_).count();
    if (seconds > 0) {
      tokens_ = std::min(burst_, tokens_ + seconds * rate_);
      last_ = now;
    }
  }

  double rate_;
  double burst_;
  double tokens_;
  Time last_;
};

}  // namespace server::rooms
