// Decodes an Ogg Vorbis file back into a track, to measure what was written.
#pragma once

#include <string>

#include "tools/assets/make-sounds/synth.h"

namespace sounds {

// The decoded track, or one without channels if `path` cannot be read.
synth::Track read_ogg(const std::string& path);

}  // namespace sounds
