// The twelve effects, each fired on a fresh channel, and the looping music,
// decoded once and restarted from memory at every field start.
#include "world/sounds.h"

#include <array>

#include "world/data_folders.h"
#include "world/sound_names.h"
#include "world/world.h"

namespace {

// The effects' globals, in the order of effect_names.
const std::array<platform::SoundRef*, effect_names.size()> effect_sounds = {
    &snd_flea,   &snd_p1shot,   &snd_p2shot,  &snd_bonus,
    &snd_shroom, &snd_thump,    &snd_explode, &snd_spider,
    &snd_x1life, &snd_scorpion, &snd_stage,   &snd_mosquito,
};

platform::SoundRef music;
int music_starts = 0;

std::map<std::string, int>& play_counts() {
  static std::map<std::string, int> counts = [] {
    std::map<std::string, int> zero;
    for (std::string_view name : effect_names) zero[std::string(name)] = 0;
    return zero;
  }();
  return counts;
}

// Callers pass the effect's global itself, so even a sound that failed to
// load (a null handle) is known by its address. The index in effect_names.
int find_effect(const platform::SoundRef& sound) {
  for (std::size_t i = 0; i < effect_sounds.size(); ++i) {
    if (effect_sounds[i] == &sound) return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < effect_sounds.size(); ++i) {
    if (sound && *effect_sounds[i] == sound) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

static_assert(std::tuple_size_v<SoundCounts> == effect_names.size() + 1);

int play_sound(const platform::SoundRef& sound) {
  if (const int i = find_effect(sound); i >= 0)
    ++play_counts()[std::string(effect_names[i])];
  const platform::ChannelRef channel = platform::cue_sound(sound);
  platform::set_channel_volume(channel, sound_volume);
  platform::resume_channel(channel);
  return 0;
}

int start_music() {
  ++music_starts;
  // The same channel every time, so that a re-simulated start, which plays
  // nothing, leaves the handle to the music that plays.
  music_channel = platform::cue_sound(music, music_channel);
  platform::set_channel_volume(music_channel, music_volume);
  platform::resume_channel(music_channel);
  return 0;
}

void load_sounds() {
  for (std::size_t i = 0; i < effect_names.size(); ++i) {
    *effect_sounds[i] =
        platform::load_sound(sound_file(std::string(effect_names[i])), 0);
  }
  music = platform::load_sound(sound_file(std::string(music_name)), 1);
}

int loaded_sound_count() {
  int count = music ? 1 : 0;
  for (const platform::SoundRef* sound : effect_sounds) count += *sound ? 1 : 0;
  return count;
}

const std::map<std::string, int>& sound_play_counts() { return play_counts(); }

int music_start_count() { return music_starts; }

void reset_sound_counts() {
  for (auto& [name, count] : play_counts()) count = 0;
  music_starts = 0;
}

void save_sound_counts(SoundCounts& counts) {
  std::size_t i = 0;
  for (const auto& [name, count] : play_counts()) counts[i++] = count;
  counts[i] = music_starts;
}

void load_sound_counts(const SoundCounts& counts) {
  std::size_t i = 0;
  for (auto& [name, count] : play_counts()) count = counts[i++];
  music_starts = counts[i];
}
