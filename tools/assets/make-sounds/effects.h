// The game's short sound effects and its music loop.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/assets/make-sounds/synth.h"

namespace sounds {

struct Recipe {
  std::string name;  // file name without extension
  synth::Track (*make)();
};

// The twelve effects.
const std::vector<Recipe>& effects();
// The recipe of the effect `name`, or nullptr.
const Recipe* find_effect(std::string_view name);

// The music: a whole number of bars that loops without a seam.
synth::Track make_music();

}  // namespace sounds
