// Watching an online game by its room's code: the room's stream of final
// ticks played from tick 0 with the host's settings, unpaced and muted
// until a few ticks behind the newest, then live. Nothing goes into the
// game from this machine.
#pragma once

#include "app/option_table.h"

// Watches the room cl.join on cl.server to the game's end; returns the
// exit status.
int watch_online_game(const CommandLine& cl, const platform::RunOptions& run);
