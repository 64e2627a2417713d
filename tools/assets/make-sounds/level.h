// Bringing a sound to its level in the mix.
#pragma once

#include "tools/assets/make-sounds/loudness.h"
#include "tools/assets/make-sounds/mix.h"
#include "tools/assets/make-sounds/synth.h"

namespace sounds {

struct Levelled {
  loudness::Levels levels;  // as measured after levelling
  double limited_db = 0;    // the deepest cut of the peak limiter, <= 0
};

// Scales `track` to the loudness of `level`, limiting the peaks that this
// would take above the mix's ceiling (less `headroom_db`, kept for the
// encoder) and scaling again, until both hold.
Levelled set_level(synth::Track& track, const MixLevel& level,
                   double headroom_db);

loudness::Levels measure(const synth::Track& track, loudness::Measure how);

}  // namespace sounds
