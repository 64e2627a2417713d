// The twelve effects, each fired on a fresh channel, and the looping music,
// decoded once and restarted from memory at every field start.
#include "world/sounds.h"

#include <array>

#include "world/data_folders.h"
#include "world/world.h"

namespace {

struct Effect {
  const char* name;  // file name without extension, also the count's key
  platform::SoundRef* sound;
};

// Load order of the effects.
const std::array<Effect, 12> effects = {{
    {"flea", &snd_flea},
    {"p1shot", &snd_p1shot},
    {"p2shot", &snd_p2shot},
    {"bonus", &snd_bonus},
    {"shroom", &snd_shroom},
    {"thump", &snd_thump},
    {"explode", &snd_explode},
    {"spider", &snd_spider},
    {"x1life", &snd_x1life},
    {"scorpion", &snd_scorpion},
    {"stage", &snd_stage},
    {"mosquito", &snd_mosquito},
}};

const char* const music_name = "zorbem";
platform::SoundRef music;
int music_starts = 0;

std::map<std::string, int>& play_counts() {
  static std::map<std::string, int> counts = [] {
    std::map<std::string, int> zero;
    for (const Effect& e : effects) zero[e.name] = 0;
    return zero;
  }();
  return counts;
}

// Callers pass the effect's global itself, so even a sound that failed to
// load (a null handle) is known by its address.
const Effect* find_effect(const platform::SoundRef& sound) {
  for (const Effect& e : effects) {
    if (e.sound == &sound) return &e;
  }
  for (const Effect& e : effects) {
    if (sound && *e.sound == sound) return &e;
  }
  return nullptr;
}

}  // namespace

int play_sound(const platform::SoundRef& sound) {
  if (const Effect* e = find_effect(sound)) ++play_counts()[e->name];
  const platform::ChannelRef channel = platform::cue_sound(sound);
  platform::set_channel_volume(channel, sound_volume);
  platform::resume_channel(channel);
  return 0;
}

int start_music() {
  ++music_starts;
  music_channel = platform::cue_sound(music);
  platform::set_channel_volume(music_channel, music_volume);
  platform::resume_channel(music_channel);
  return 0;
}

void load_sounds() {
  for (const Effect& e : effects) {
    *e.sound = platform::load_sound(sound_file(e.name), 0);
  }
  music = platform::load_sound(sound_file(music_name), 1);
}

int loaded_sound_count() {
  int count = music ? 1 : 0;
  for (const Effect& e : effects) count += *e.sound ? 1 : 0;
  return count;
}

bool has_sound_files(const std::string& folder) {
  const std::string prefix = folder + "\\";
  if (platform::file_type(prefix + music_name + ".ogg") == 1) return true;
  for (const Effect& e : effects) {
    if (platform::file_type(prefix + e.name + ".ogg") == 1) return true;
  }
  return false;
}

const std::map<std::string, int>& sound_play_counts() { return play_counts(); }

int music_start_count() { return music_starts; }

void reset_sound_counts() {
  for (auto& [name, count] : play_counts()) count = 0;
  music_starts = 0;
}
