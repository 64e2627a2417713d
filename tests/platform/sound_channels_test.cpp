// Channels on OpenAL's silent null device: the life of a channel, sounds
// ending by themselves, loops, and many plays at once.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/sound_files.h"

namespace {

using namespace platform;
using sound_test::ScratchFolder;
using sound_test::wait_until;

TEST(SoundChannels, MissingOrBrokenFilesGiveNullAndPlaySilently) {
  ScratchFolder folder;
  sound_test::write_file(folder.file("broken.ogg"),
                         {'O', 'g', 'g', 'S', 0, 2, 0, 0, 1, 2, 3});
  sound_test::write_file(folder.file("short.wav"), {'R', 'I', 'F', 'F'});
  EXPECT_EQ(load_sound(folder.file("absent.ogg"), 0), nullptr);
  EXPECT_EQ(load_sound(folder.file("broken.ogg"), 0), nullptr);
  EXPECT_EQ(load_sound(folder.file("short.wav"), 1), nullptr);

  // The game plays whatever it loaded, null or not.
  ChannelRef ch = cue_sound(nullptr);
  ASSERT_NE(ch, nullptr);
  set_channel_volume(ch, 0.5f);
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 0);
  pause_channel(ch);
  stop_channel(ch);
  EXPECT_EQ(channel_playing(ch), 0);

  // A null channel is ignored everywhere.
  resume_channel(nullptr);
  pause_channel(nullptr);
  stop_channel(nullptr);
  set_channel_volume(nullptr, 1.0f);
  EXPECT_EQ(channel_playing(nullptr), 0);
  EXPECT_EQ(channel_playing(alloc_channel()), 0);
}

TEST(SoundChannels, CueResumePauseStop) {
  ScratchFolder folder;
  sound_test::write_tone(folder.file("tone.wav"), 3.0);
  SoundRef tone = load_sound(folder.file("tone.wav"), 0);
  ASSERT_NE(tone, nullptr);

  ChannelRef ch = cue_sound(tone);
  EXPECT_EQ(channel_playing(ch), 0) << "a cued channel waits";
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 1);
  pause_channel(ch);
  EXPECT_EQ(channel_playing(ch), 0);
  // A paused channel stays paused however long it waits.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(channel_playing(ch), 0);
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 1);
  stop_channel(ch);
  EXPECT_EQ(channel_playing(ch), 0);
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 0) << "a stopped channel stays stopped";

  // Cueing again on the same channel prepares it afresh.
  EXPECT_EQ(cue_sound(tone, ch), ch);
  EXPECT_EQ(channel_playing(ch), 0);
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 1);
  // Cueing a missing sound on a playing channel silences it.
  cue_sound(nullptr, ch);
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 0);
}

TEST(SoundChannels, ShortSoundEndsAndLoopPlaysOn) {
  ScratchFolder folder;
  sound_test::write_tone(folder.file("blip.wav"), 0.2);
  SoundRef once = load_sound(folder.file("blip.wav"), 0);
  SoundRef looped = load_sound(folder.file("blip.wav"), 1);
  ASSERT_NE(once, nullptr);
  ASSERT_NE(looped, nullptr);

  ChannelRef a = cue_sound(once);
  ChannelRef b = cue_sound(looped);
  resume_channel(a);
  resume_channel(b);
  EXPECT_EQ(channel_playing(a), 1);
  EXPECT_TRUE(wait_until([&] { return channel_playing(a) == 0; }, 3.0))
      << "a 0.2 s sound still plays after 3 s";
  EXPECT_EQ(channel_playing(b), 1) << "the loop ended";
  // A finished channel does not start over on resume.
  resume_channel(a);
  EXPECT_EQ(channel_playing(a), 0);
  stop_channel(b);
  EXPECT_EQ(channel_playing(b), 0);
}

TEST(SoundChannels, HundredsOfPlaysAtOnceAllCount) {
  ScratchFolder folder;
  sound_test::write_tone(folder.file("long.wav"), 4.0);
  sound_test::write_tone(folder.file("blip.wav"), 0.05);
  SoundRef tone = load_sound(folder.file("long.wav"), 0);
  SoundRef blip = load_sound(folder.file("blip.wav"), 0);
  ASSERT_NE(tone, nullptr);

  // More channels than OpenAL has sources.
  std::vector<ChannelRef> channels;
  for (int i = 0; i < 400; ++i) {
    channels.push_back(cue_sound(tone));
    set_channel_volume(channels.back(), 0.1f);
    resume_channel(channels.back());
  }
  int playing = 0;
  for (const ChannelRef& ch : channels) playing += channel_playing(ch);
  EXPECT_EQ(playing, 400);

  // Once the voices are busy, a short play still counts and still ends.
  ChannelRef extra = cue_sound(blip);
  resume_channel(extra);
  EXPECT_EQ(channel_playing(extra), 1);
  EXPECT_TRUE(wait_until([&] { return channel_playing(extra) == 0; }, 3.0));

  // Fire-and-forget plays whose channels are dropped keep sounding, and
  // their sources come back for later plays once they are done.
  channels.clear();
  for (int i = 0; i < 600; ++i) {
    ChannelRef ch = cue_sound(blip);
    resume_channel(ch);
    EXPECT_EQ(channel_playing(ch), 1) << "play " << i;
  }
}

TEST(SoundChannels, PausedUnheardChannelKeepsItsPlace) {
  ScratchFolder folder;
  sound_test::write_tone(folder.file("long.wav"), 4.0);
  sound_test::write_tone(folder.file("mid.wav"), 0.6);
  SoundRef tone = load_sound(folder.file("long.wav"), 0);
  SoundRef mid = load_sound(folder.file("mid.wav"), 0);
  std::vector<ChannelRef> busy;
  for (int i = 0; i < 300; ++i) {
    busy.push_back(cue_sound(tone));
    resume_channel(busy.back());
  }
  // Probably unheard now; its clock must still stop while paused.
  ChannelRef ch = cue_sound(mid);
  resume_channel(ch);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  pause_channel(ch);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 1) << "time passed while it was paused";
  EXPECT_TRUE(wait_until([&] { return channel_playing(ch) == 0; }, 3.0));
}

TEST(SoundChannels, ReloadingAFileFollowsItsBytesAndFlags) {
  ScratchFolder folder;
  const std::string path = folder.file("music.wav");
  sound_test::write_tone(path, 0.2);
  SoundRef once = load_sound(path, 0);
  SoundRef looped = load_sound(path, 1);  // same bytes, other flags
  ChannelRef a = cue_sound(once);
  ChannelRef b = cue_sound(looped);
  resume_channel(a);
  resume_channel(b);
  ASSERT_TRUE(wait_until([&] { return channel_playing(a) == 0; }, 3.0));
  EXPECT_EQ(channel_playing(b), 1);
  stop_channel(b);

  // The file changes while the old sound is still held.
  sound_test::write_tone(path, 2.0);
  SoundRef longer = load_sound(path, 0);
  ChannelRef c = cue_sound(longer);
  resume_channel(c);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_EQ(channel_playing(c), 1) << "the old, shorter sound was reused";

  // And a file that has become unreadable no longer loads.
  sound_test::write_file(path, {'R', 'I', 'F', 'F', 1, 0, 0, 0});
  EXPECT_EQ(load_sound(path, 0), nullptr);
}

}  // namespace
