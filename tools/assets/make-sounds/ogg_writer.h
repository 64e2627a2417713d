// Encodes a track as Ogg Vorbis.
#pragma once

#include <cstdint>
#include <string>

#include "tools/assets/make-sounds/synth.h"

namespace sounds {

// Writes `track` to `path` at the given VBR quality (-0.1 .. 1). A fixed
// stream serial keeps the output identical from build to build.
bool write_ogg(const std::string& path, const synth::Track& track,
               float quality, std::uint32_t serial);

}  // namespace sounds
