// The settings from data/ that change play: a recording writes them down as
// loaded, and a replay is played with its own; the recording and the state
// dumps a command line opens.
#pragma once

#include <string>

#include "app/option_table.h"

// After the settings are loaded: takes a replay's values over them, and
// writes the values in use into a recording.
void settle_replay_settings();

// Starts the recording (its seed written first) and the state dumps the
// command line asks for; false with the reason in `error`.
bool open_outputs(const CommandLine& cl, int seed, std::string& error);
