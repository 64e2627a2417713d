// Seeded scripted runs that visit the game's screens and take screenshots
// along the way: the title, play, the pause menu, every stereo mode, the
// intensity and the retro lines, some of them changed in the middle of a run.
#pragma once

#include <string>
#include <vector>

namespace screen_scenarios {

struct Scenario {
  std::vector<std::string> args;  // before the script; always with a seed
  std::string script;
  std::vector<std::string> shots;  // screenshot files, in the order taken
};

// Flat: the title without and with the retro lines.
Scenario flat_title();
// Flat: a game, its pause menu with the retro lines turned on, and the game
// resumed under them.
Scenario flat_game_and_pause();
// Every stereo mode on the title, a higher intensity, then a game whose
// pause menu changes the mode and the intensity before it resumes.
Scenario stereo_modes(const std::vector<std::string>& extra_args = {});

}  // namespace screen_scenarios
