// Sound effects and music.
#pragma once

#include <array>
#include <map>
#include <string>

#include "platform/platform.h"

// Plays one effect now on a fresh channel at the effect volume.
int play_sound(const platform::SoundRef& sound);
// Restarts the looping music from its beginning on music_channel.
int start_music();

// Loads the twelve effects (in their fixed order) and prepares the music
// from the sound folder in use.
void load_sounds();
// How many of the thirteen sound files loaded.
int loaded_sound_count();

// For the state dump: plays of each effect so far, by file name without
// extension, and how many times the music has been started.
const std::map<std::string, int>& sound_play_counts();
int music_start_count();
// Both back to zero, for a fresh start.
void reset_sound_counts();
// Both as a game snapshot keeps them: the twelve effects' plays, then the
// music's starts.
using SoundCounts = std::array<int, 13>;
void save_sound_counts(SoundCounts& counts);
void load_sound_counts(const SoundCounts& counts);
