#include "tools/assets/make-sounds/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace loudness {
namespace {

struct StateDeleter {
  void operator()(ebur128_state* s) const { ebur128_destroy(&s); }
};

double to_db(double amplitude) {
  return amplitude > 0 ? 20 * std::log10(amplitude)
                       : -std::numeric_limits<double>::infinity();
}

}  // namespace

Levels measure(const std::vector<float>& interleaved, int channels, int rate,
               Measure how) {
  const int mode =
      EBUR128_MODE_TRUE_PEAK |
      (how == Measure::integrated ? EBUR128_MODE_I : EBUR128_MODE_M);
  std::unique_ptr<ebur128_state, StateDeleter> state(ebur128_init(
      static_cast<unsigned>(channels), static_cast<unsigned long>(rate), mode));
  Levels out;
  const std::size_t frames = interleaved.size() / channels;

  std::vector<double> sums(channels, 0.0);
  for (std::size_t i = 0; i < interleaved.size(); ++i) {
    sums[i % channels] += interleaved[i];
  }
  for (double s : sums) {
    out.dc = std::max(out.dc, std::fabs(s) / std::max<std::size_t>(1, frames));
  }

  if (how == Measure::integrated) {
    ebur128_add_frames_float(state.get(), interleaved.data(), frames);
    ebur128_loudness_global(state.get(), &out.lufs);
  } else {
    // Feed 10 ms at a time and keep the loudest window seen, through 400 ms
    // of silence after the sound.
    std::vector<float> padded = interleaved;
    padded.resize(padded.size() +
                  static_cast<std::size_t>(rate) * 4 / 10 * channels);
    const std::size_t hop = static_cast<std::size_t>(rate) / 100;
    const std::size_t all = padded.size() / channels;
    out.lufs = -std::numeric_limits<double>::infinity();
    for (std::size_t at = 0; at < all; at += hop) {
      const std::size_t n = std::min(hop, all - at);
      ebur128_add_frames_float(state.get(), padded.data() + at * channels, n);
      double window;
      if (ebur128_loudness_momentary(state.get(), &window) == EBUR128_SUCCESS) {
        out.lufs = std::max(out.lufs, window);
      }
    }
  }

  double peak = 0;
  for (int c = 0; c < channels; ++c) {
    double p = 0;
    ebur128_true_peak(state.get(), static_cast<unsigned>(c), &p);
    peak = std::max(peak, p);
  }
  out.true_peak_db = to_db(peak);
  return out;
}

}  // namespace loudness
