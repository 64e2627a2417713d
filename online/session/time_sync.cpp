#include "online/session/time_sync.h"

#include <algorithm>
#include <cmath>

namespace online {

void TimeSync::observe(long local, double remote) {
  leads_[next_] = static_cast<double>(local) - remote;
  next_ = (next_ + 1) % window;
  count_ = std::min(count_ + 1, window);
}

double TimeSync::lead() const {
  if (count_ == 0) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < count_; ++i) sum += leads_[i];
  return sum / count_;
}

// Each tick of lead beyond the first costs 2 ms a frame, at most 6: a lead
// of a few ticks melts within a second without a visible jerk.
int TimeSync::stretch_ms() const {
  const double over = lead() - 1.0;
  if (over <= 0.0) return 0;
  return std::clamp(static_cast<int>(std::ceil(over * 2.0)), 1, 6);
}

}  // namespace online
