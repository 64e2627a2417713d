// An online game: the ordinary game on one input stream made on two
// machines, kept equal by the session's rollbacks.
#pragma once

#include "app/option_table.h"

// An online game that could not start or go on: no answer, a refusal, the
// host gone.
constexpr int online_failed_status = 7;

// Hosts (cl.host) or joins (cl.join) and plays the game to its end on both
// machines; returns the exit status.
int run_online_game(const CommandLine& cl, const platform::RunOptions& run);
