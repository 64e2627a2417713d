// Makes the game's sound files: make_sounds <output folder>.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/make_sounds/effects.h"
#include "tools/make_sounds/ogg_writer.h"

namespace {

constexpr float quality = 0.4f;

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <output folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::uint32_t serial = 0x564D5800;  // fixed, so builds are reproducible
  for (const sounds::Recipe& recipe : sounds::effects()) {
    const std::string path = folder + "/" + recipe.name + ".ogg";
    if (!sounds::write_ogg(path, recipe.make(), quality, ++serial)) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
  }

  const synth::Track music = sounds::make_music();
  if (!joins_smoothly(music)) {
    std::fprintf(stderr, "make_sounds: the music loop jumps at its seam\n");
    return 1;
  }
  const std::string path = folder + "/zorbem.ogg";
  if (!sounds::write_ogg(path, music, quality, ++serial)) {
    std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
