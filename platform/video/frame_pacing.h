// Holding a frame rate by sleeping: the arithmetic, kept free of the clock so
// it can be checked without waiting.
#pragma once

namespace platform::detail {

class FramePacer {
 public:
  // hertz 0 switches pacing off; `now` is the clock in milliseconds.
  void start(int hertz, int now);
  void set_enabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }
  int frame_time() const { return frame_time_; }

  // Schedules the next frame and returns how long to sleep before presenting
  // it (0: present at once). A late frame restarts the schedule from `now`
  // instead of catching up.
  int wait_before_present(int now);

 private:
  bool enabled_ = false;
  int hertz_ = 0;
  int frame_time_ = 0;
  int remainder_ = 0;
  int accumulator_ = 0;
  int next_frame_ = 0;
};

// Decides whether the vertical sync already holds the rate: true once three
// presents in a row each took the frame time within one millisecond.
class VsyncProbe {
 public:
  explicit VsyncProbe(int frame_time) : frame_time_(frame_time) {}
  // Feeds the duration of one present; returns true once settled.
  bool add_present(int duration_ms);

 private:
  int frame_time_;
  int in_a_row_ = 0;
};

}  // namespace platform::detail
