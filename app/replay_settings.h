// The settings from data/ that change play: a recording writes them down as
// loaded, and a replay is played with its own.
#pragma once

// After the settings are loaded: takes a replay's values over them, and
// writes the values in use into a recording.
void settle_replay_settings();
