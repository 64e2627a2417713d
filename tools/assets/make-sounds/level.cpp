#include "tools/assets/make-sounds/level.h"

#include <cmath>
#include <vector>

namespace sounds {

loudness::Levels measure(const synth::Track& track, loudness::Measure how) {
  const std::size_t channels = track.channels.size();
  std::vector<float> interleaved(track.frames() * channels);
  for (std::size_t c = 0; c < channels; ++c) {
    for (std::size_t i = 0; i < track.frames(); ++i) {
      interleaved[i * channels + c] = track.channels[c][i];
    }
  }
  return loudness::measure(interleaved, static_cast<int>(channels), track.rate,
                           how);
}

Levelled set_level(synth::Track& track, const MixLevel& level,
                   double headroom_db) {
  const double ceiling_db = peak_ceiling_db - headroom_db;
  Levelled out;
  double cut = 1.0;
  // Each pass limits what the last one left above the ceiling, a little
  // deeper every time since the limiter sees samples and not the peaks
  // between them; the loudness that costs is smaller than the cut, so the
  // passes settle.
  for (int pass = 0; pass < 24; ++pass) {
    out.levels = measure(track, level.measure);
    synth::amplify(track, std::pow(10.0, (level.lufs - out.levels.lufs) / 20));
    out.levels = measure(track, level.measure);
    if (out.levels.true_peak_db <= ceiling_db) break;
    cut *= synth::limit(track,
                        std::pow(10.0, (ceiling_db - 0.3 - 0.1 * pass) / 20));
  }
  out.limited_db = 20 * std::log10(cut);
  return out;
}

}  // namespace sounds
