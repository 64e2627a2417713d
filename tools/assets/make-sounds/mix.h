// The mix: how loud each of the game's sounds is, by its role. The generator
// sets every sound to its level here and the tests measure the shipped files
// against the same table.
#pragma once

#include <string_view>

#include "tools/assets/make-sounds/loudness.h"

namespace sounds {

struct MixLevel {
  const char* name;  // file name without extension
  double lufs;       // target loudness
  loudness::Measure measure;
};

// Losing the ship is the loudest event; rewards come next, then hits and
// the insects' entrances; shots, which repeat several times a second, are
// the quietest effects; the music sits under everything.
inline constexpr MixLevel mix_levels[] = {
    {"explode", -10, loudness::Measure::loudest_momentary},
    {"stage", -12, loudness::Measure::loudest_momentary},
    {"x1life", -12, loudness::Measure::loudest_momentary},
    {"bonus", -12, loudness::Measure::loudest_momentary},
    {"thump", -14, loudness::Measure::loudest_momentary},
    {"spider", -15, loudness::Measure::loudest_momentary},
    {"scorpion", -15, loudness::Measure::loudest_momentary},
    {"flea", -16, loudness::Measure::loudest_momentary},
    {"mosquito", -16, loudness::Measure::loudest_momentary},
    {"shroom", -16, loudness::Measure::loudest_momentary},
    {"p1shot", -17, loudness::Measure::loudest_momentary},
    {"p2shot", -17, loudness::Measure::loudest_momentary},
    {"zorbem", -20, loudness::Measure::integrated},
};

// How far a shipped file may stray from its target, in LU.
inline constexpr double mix_tolerance = 1.5;
// The highest true peak any file may reach, in dBTP.
inline constexpr double peak_ceiling_db = -1.0;
// The largest mean a channel may keep, in full-scale units.
inline constexpr double dc_limit = 0.005;

// The entry for `name`, or nullptr.
inline const MixLevel* mix_level(std::string_view name) {
  for (const MixLevel& level : mix_levels) {
    if (name == level.name) return &level;
  }
  return nullptr;
}

}  // namespace sounds
