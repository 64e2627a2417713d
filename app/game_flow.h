// A playing frame, the game-over screen and the score line.
#pragma once

#include <string>

int update_game();
int update_game_over();
int draw_hud();

// A score as the score line shows it: the prefix, then at least two digits.
std::string score_text(const std::string& prefix, int score);
