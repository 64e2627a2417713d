// Makes the game's sound files: make_sounds <output folder>. Every sound is
// set to its loudness in the mix, and the figures of each file as written
// are printed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tools/assets/make-sounds/effects.h"
#include "tools/assets/make-sounds/level.h"
#include "tools/assets/make-sounds/ogg_reader.h"
#include "tools/assets/make-sounds/ogg_writer.h"
#include "world/sound_names.h"

namespace {

constexpr float quality = 0.6f;

// Whether the step from the last sample of each channel back to its first
// is an ordinary one: no bigger than nine in ten of the steps between
// neighbouring samples.
bool joins_smoothly(const synth::Track& track) {
  for (const synth::Samples& c : track.channels) {
    std::vector<float> steps;
    steps.reserve(c.size());
    for (std::size_t i = 1; i < c.size(); ++i) {
      steps.push_back(std::fabs(c[i] - c[i - 1]));
    }
    const auto usual = steps.begin() + steps.size() * 9 / 10;
    std::nth_element(steps.begin(), usual, steps.end());
    if (std::fabs(c.front() - c.back()) > *usual) return false;
  }
  return true;
}

// Brings `track` to its level in the mix and writes it, then reads the file
// back and tries again with more headroom or a corrected aim while the
// encoder has pushed its peak over the ceiling or moved its loudness. False,
// with the reason on stderr, if it cannot be written or never fits.
bool level_and_write(const std::string& folder, const std::string& name,
                     const synth::Track& track, std::uint32_t serial) {
  const sounds::MixLevel* level = sounds::mix_level(name);
  if (!level) {
    std::fprintf(stderr, "make_sounds: %s has no level in the mix\n",
                 name.c_str());
    return false;
  }
  const std::string path = folder + "/" + name + ".ogg";
  sounds::MixLevel aim = *level;
  double headroom = 0.3;
  for (int attempt = 0; attempt < 10; ++attempt) {
    synth::Track levelled = track;
    const sounds::Levelled set = sounds::set_level(levelled, aim, headroom);
    if (!sounds::write_ogg(path, levelled, quality, serial)) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return false;
    }
    const loudness::Levels got =
        sounds::measure(sounds::read_ogg(path), level->measure);
    const double over = got.true_peak_db - (sounds::peak_ceiling_db - 0.2);
    const double drift = got.lufs - level->lufs;
    if (over <= 0 && std::fabs(drift) <= 0.3 &&
        got.dc <= sounds::dc_limit / 2) {
      std::printf("%-9s %6.1f LUFS  %5.1f dBTP  DC %.4f  limited %4.1f dB\n",
                  name.c_str(), got.lufs, got.true_peak_db, got.dc,
                  set.limited_db);
      return true;
    }
    if (over > 0) headroom += over + 0.1;
    aim.lufs -= drift;
  }
  std::fprintf(stderr, "make_sounds: %s does not fit its level in the mix\n",
               name.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <output folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::uint32_t serial = 0x564D5800;  // fixed, so builds are reproducible
  bool ok = true;
  for (std::string_view name : effect_names) {
    const sounds::Recipe* recipe = sounds::find_effect(name);
    if (!recipe) {
      std::fprintf(stderr, "make_sounds: no recipe for %s\n",
                   std::string(name).c_str());
      return 1;
    }
    ok = level_and_write(folder, recipe->name, recipe->make(), ++serial) && ok;
  }

  const synth::Track music = sounds::make_music();
  if (!joins_smoothly(music)) {
    std::fprintf(stderr, "make_sounds: the music loop jumps at its seam\n");
    return 1;
  }
  ok = level_and_write(folder, std::string(music_name), music, ++serial) && ok;
  return ok ? 0 : 1;
}
