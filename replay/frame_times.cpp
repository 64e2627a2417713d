// Frame times for the timedemo: the wall time from one presented frame to
// the next, and the renderer's draw calls and quads per frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <vector>

#include "replay/internal.h"

namespace replay {
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
std::vector<detail::FrameFigures> runs;  // the figures of every run reported

double median_of(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

void time_frames() {
  times = {};
  times.on = true;
  runs.clear();
  detail::install_hooks();
  platform::detail::set_frame_hook(detail::frame_presented);
}

namespace detail {

void frame_presented() {
  if (!times.on) return;
  const Clock::time_point now = Clock::now();
  // Timing starts with the first frame: start-up is not a frame.
  if (!times.started) {
    times.started = true;
    times.last = now;
    times.draw_calls_at_start = platform::detail::draw_calls();
    times.quads_at_start = platform::detail::quads_drawn();
    return;
  }
  times.ms.push_back(
      std::chrono::duration<double, std::milli>(now - times.last).count());
  times.last = now;
}

void time_next_run() {
  if (!times.on) return;
  times = {};
  times.on = true;
}

FrameFigures figures_of(const std::vector<double>& ms) {
  FrameFigures f;
  f.frames = static_cast<long>(ms.size());
  if (ms.empty()) return f;
  const auto slowest = std::max_element(ms.begin(), ms.end());
  f.slowest_frame = static_cast<long>(slowest - ms.begin()) + 1;
  f.frames_over_60hz = static_cast<long>(std::count_if(
      ms.begin(), ms.end(), [](double t) { return t > 1000.0 / 60.0; }));
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const double total = std::accumulate(sorted.begin(), sorted.end(), 0.0);
  f.seconds = total / 1000.0;
  f.fps = total > 0 ? 1000.0 * static_cast<double>(ms.size()) / total : 0.0;
  f.mean_ms = total / static_cast<double>(ms.size());
  f.median_ms = sorted[sorted.size() / 2];
  f.p99_ms = sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)];
  f.max_ms = sorted.back();
  return f;
}

FrameFigures frame_figures() {
  FrameFigures f = figures_of(times.ms);
  if (f.frames == 0) return f;
  f.draw_calls_per_frame = static_cast<double>(platform::detail::draw_calls() -
                                               times.draw_calls_at_start) /
                           static_cast<double>(f.frames);
  f.quads_per_frame = static_cast<double>(platform::detail::quads_drawn() -
                                          times.quads_at_start) /
                      static_cast<double>(f.frames);
  return f;
}

void report_frame_times() {
  if (!times.on) return;
  const FrameFigures f = frame_figures();
  runs.push_back(f);
  std::printf(
      "timedemo: %ld frames, %.2f s, %.1f fps; frame time mean %.2f ms, "
      "median %.2f ms, 99th percentile %.2f ms, max %.2f ms (frame %ld), "
      "%ld longer than 1/60 s; %.1f draw calls and %.0f quads per frame\n",
      f.frames, f.seconds, f.fps, f.mean_ms, f.median_ms, f.p99_ms, f.max_ms,
      f.slowest_frame, f.frames_over_60hz, f.draw_calls_per_frame,
      f.quads_per_frame);
  std::fflush(stdout);
}

// The runs of one replay differ only by the machine's noise: the spread says
// how far one run's figures can be trusted.
void report_frame_spread() {
  if (runs.size() < 2) return;
  std::vector<double> fps, median_ms;
  for (const FrameFigures& f : runs) {
    fps.push_back(f.fps);
    median_ms.push_back(f.median_ms);
  }
  const auto [fps_low, fps_high] = std::minmax_element(fps.begin(), fps.end());
  const auto [ms_low, ms_high] =
      std::minmax_element(median_ms.begin(), median_ms.end());
  const double fps_median = median_of(fps);
  std::printf(
      "timedemo: %zu runs; fps lowest %.1f, median %.1f, highest %.1f "
      "(spread %.1f %%); median frame time %.2f to %.2f ms\n",
      runs.size(), *fps_low, fps_median, *fps_high,
      fps_median > 0 ? 100.0 * (*fps_high - *fps_low) / fps_median : 0.0,
      *ms_low, *ms_high);
  std::fflush(stdout);
}

}  // namespace detail
}  // namespace replay
