// Brings the game up inside the test process (offscreen display, shared
// objects, assets) so that tests can set up a field and call the game's own
// update operations frame by frame.
#pragma once

// Starts the game once per process; later calls do nothing. Fails the
// current test if the display cannot be opened.
void ensure_game_world();

// A new game as "Start Game" makes it, with the generator seeded first.
void start_new_game(int seed, bool versus = false);

// Empties every mushroom slot, removes every crawler segment, particle and
// pop-up, and puts every insect back to waiting with a long timer.
void clear_field();
