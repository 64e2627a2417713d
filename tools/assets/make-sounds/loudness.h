// Loudness, peak and DC offset of a sound, measured by EBU R128.
#pragma once

#include <vector>

namespace loudness {

enum class Measure {
  // The loudest 400 ms window of the sound followed by 400 ms of silence:
  // effects are too short for the integrated measure.
  loudest_momentary,
  // The integrated loudness of the whole sound, for the music.
  integrated,
};

struct Levels {
  double lufs = 0;          // by the chosen measure
  double true_peak_db = 0;  // dBTP, over every channel
  double dc = 0;            // the largest |mean| of a channel
};

// `interleaved` holds `channels` (1 or 2) channels of samples in -1..1.
Levels measure(const std::vector<float>& interleaved, int channels, int rate,
               Measure how);

}  // namespace loudness
