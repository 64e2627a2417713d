// An online game: the ordinary game on one input stream made on two
// machines, kept equal by the session's rollbacks.
#pragma once

#include "app/online_status.h"
#include "app/option_table.h"

// Hosts (cl.host) or joins (cl.join) and plays the game to its end on both
// machines; returns the exit status.
int run_online_game(const CommandLine& cl, const platform::RunOptions& run);
