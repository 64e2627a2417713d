// The proof that a game snapshot holds all of play: the main loop, rolled
// back after every frame and played again muted.
#pragma once

// Runs the main loop until the player (or the script) quits. After each
// frame the snapshot of `frames` frames back (fewer at the start) is loaded
// and those frames are re-simulated muted; each re-simulated frame boundary
// must give the state checks of the first run, or the program stops with
// status 3 naming the tick and the first check that differs.
void run_synctest(int frames);
