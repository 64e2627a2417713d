// Effects and music as the game asks for them.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/game/game_world.h"
#include "tests/support/scratch_folder.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

int plays(const std::string& name) { return sound_play_counts().at(name); }

TEST(Audio, EveryPlayIsCountedByItsEffect) {
  ensure_game_world();
  ASSERT_EQ(sound_play_counts().size(), 12u);
  const int thump = plays("thump");
  const int flea = plays("flea");
  play_sound(snd_thump);
  play_sound(snd_thump);
  play_sound(snd_flea);
  EXPECT_EQ(plays("thump"), thump + 2);
  EXPECT_EQ(plays("flea"), flea + 1);
  // A copy of the handle is still known by the sound it holds.
  const platform::SoundRef copy = snd_mosquito;
  if (copy) {
    const int mosquito = plays("mosquito");
    play_sound(copy);
    EXPECT_EQ(plays("mosquito"), mosquito + 1);
  }
}

TEST(Audio, SoundThatFailedToLoadIsCountedAndPlaysNothing) {
  ensure_game_world();
  const platform::SoundRef kept = snd_stage;
  snd_stage = nullptr;
  const int before = plays("stage");
  play_sound(snd_stage);
  EXPECT_EQ(plays("stage"), before + 1);
  snd_stage = kept;
}

// The music keeps one channel, so that a re-simulated start (which plays
// nothing) leaves the handle to the music that plays.
TEST(Audio, EachMusicStartPlaysTheMusicChannelAgain) {
  ensure_game_world();
  const int starts = music_start_count();
  start_music();
  const platform::ChannelRef first = music_channel;
  ASSERT_TRUE(first);
  EXPECT_EQ(platform::channel_playing(first), 1);
  platform::stop_channel(first);
  EXPECT_EQ(platform::channel_playing(first), 0);
  start_music();
  EXPECT_EQ(music_channel, first);
  EXPECT_EQ(platform::channel_playing(music_channel), 1);
  EXPECT_EQ(music_start_count(), starts + 2);
  platform::stop_channel(music_channel);
}

// The track is decoded once; later starts do not read the file again, so
// they work even from a folder without it.
TEST(Audio, MusicRestartsFromMemory) {
  ensure_game_world();
  const auto home = std::filesystem::current_path();
  const testing_support::ScratchFolder empty;
  std::filesystem::current_path(empty.path());
  start_music();
  const int playing = platform::channel_playing(music_channel);
  platform::stop_channel(music_channel);
  std::filesystem::current_path(home);
  EXPECT_EQ(playing, 1);
}

}  // namespace
