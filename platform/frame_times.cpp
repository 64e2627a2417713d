// Frame times for the timedemo: the wall time from one presented frame to
// the next, and the renderer's draw calls and quads per frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <vector>

#include "platform/platform.h"
#include "platform/renderer.h"
#include "platform/replay.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

struct FrameTimes {
  bool on = false;
  bool started = false;
  Clock::time_point last;
  std::vector<double> ms;
  long draw_calls_at_start = 0;
  long quads_at_start = 0;
};

FrameTimes times;

}  // namespace

void time_frames() {
  times = {};
  times.on = true;
}

namespace detail {

void frame_presented() {
  if (!times.on) return;
  const Clock::time_point now = Clock::now();
  // Timing starts with the first frame: start-up is not a frame.
  if (!times.started) {
    times.started = true;
    times.last = now;
    times.draw_calls_at_start = renderer::draw_calls();
    times.quads_at_start = renderer::quads_drawn();
    return;
  }
  times.ms.push_back(
      std::chrono::duration<double, std::milli>(now - times.last).count());
  times.last = now;
}

FrameFigures frame_figures() {
  FrameFigures f;
  std::vector<double> ms = times.ms;
  f.frames = static_cast<long>(ms.size());
  if (ms.empty()) return f;
  std::sort(ms.begin(), ms.end());
  const double total = std::accumulate(ms.begin(), ms.end(), 0.0);
  f.seconds = total / 1000.0;
  f.fps = total > 0 ? 1000.0 * static_cast<double>(ms.size()) / total : 0.0;
  f.mean_ms = total / static_cast<double>(ms.size());
  f.median_ms = ms[ms.size() / 2];
  f.p99_ms = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  f.max_ms = ms.back();
  f.draw_calls_per_frame =
      static_cast<double>(renderer::draw_calls() - times.draw_calls_at_start) /
      static_cast<double>(ms.size());
  f.quads_per_frame =
      static_cast<double>(renderer::quads_drawn() - times.quads_at_start) /
      static_cast<double>(ms.size());
  return f;
}

void report_frame_times() {
  if (!times.on) return;
  const FrameFigures f = frame_figures();
  std::printf(
      "timedemo: %ld frames, %.2f s, %.1f fps; frame time mean %.2f ms, "
      "median %.2f ms, 99th percentile %.2f ms, max %.2f ms; %.1f draw calls "
      "and %.0f quads per frame\n",
      f.frames, f.seconds, f.fps, f.mean_ms, f.median_ms, f.p99_ms, f.max_ms,
      f.draw_calls_per_frame, f.quads_per_frame);
  std::fflush(stdout);
}

}  // namespace detail
}  // namespace platform
