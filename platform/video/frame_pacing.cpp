#include "platform/video/frame_pacing.h"

#include <cstdlib>

namespace platform::detail {

void FramePacer::start(int hertz, int now) {
  enabled_ = hertz > 0;
  hertz_ = hertz > 0 ? hertz : 0;
  frame_time_ = hertz > 0 ? 1000 / hertz : 0;
  remainder_ = hertz > 0 ? 1000 - frame_time_ * hertz : 0;
  accumulator_ = 0;
  next_frame_ = now;
}

int FramePacer::wait_before_present(int now) {
  next_frame_ += frame_time_;
  accumulator_ += remainder_;
  if (accumulator_ >= hertz_) {
    accumulator_ -= hertz_;
    next_frame_ += 1;
  }
  const int wait = next_frame_ - now;
  if (wait < 1) {
    next_frame_ = now;
    return 0;
  }
  return wait;
}

bool VsyncProbe::add_present(int duration_ms) {
  if (std::abs(duration_ms - frame_time_) <= 1) {
    ++in_a_row_;
  } else {
    in_a_row_ = 0;
  }
  return in_a_row_ >= 3;
}

}  // namespace platform::detail
