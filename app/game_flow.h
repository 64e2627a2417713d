// A playing frame, the game-over screen and the score line.
#pragma once

int update_game();
int update_game_over();
int draw_hud();
