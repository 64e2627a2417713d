// Keeps two machines' games at the same tick: the one that runs ahead
// stretches its frames by a few milliseconds until the other has caught up.
// A frame is never skipped or doubled, only made a little longer.
#pragma once

#include <array>

namespace online {

class TimeSync {
 public:
  // The local game is at `local`; the other seat's is thought to be at
  // `remote` now (its last reported tick plus half the round trip).
  void observe(long local, double remote);
  // Milliseconds to add to the coming frame: none while the lead, averaged
  // over the last observations, stays within a tick.
  int stretch_ms() const;
  double lead() const;

 private:
  static constexpr int window = 32;
  std::array<double, window> leads_{};
  int count_ = 0;
  int next_ = 0;
};

}  // namespace online
