// Makes the game's sound files: make_sounds <output folder>.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/make_sounds/effects.h"
#include "tools/make_sounds/ogg_writer.h"

namespace {

constexpr float quality = 0.4f;

// The largest step between neighbouring samples anywhere in the track, and
// the step from its last sample back to its first.
void loop_steps(const synth::Track& track, float& largest, float& join) {
  largest = 0.0f;
  join = 0.0f;
  for (const synth::Samples& c : track.channels) {
    for (std::size_t i = 1; i < c.size(); ++i) {
      largest = std::max(largest, std::fabs(c[i] - c[i - 1]));
    }
    join = std::max(join, std::fabs(c.front() - c.back()));
  }
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
  float largest = 0.0f, join = 0.0f;
  loop_steps(music, largest, join);
  if (join > largest) {
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
