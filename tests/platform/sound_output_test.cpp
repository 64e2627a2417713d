// What reaches the speakers: OpenAL's wave backend writes the mix to a file,
// and with no device at all the channels still keep honest time. Each needs
// a process whose first sound call comes after its environment is set, as
// under ctest where every test is a process of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/audio/audio_device.h"
#include "platform/platform.h"
#include "tests/platform/sound_files.h"

namespace {

using namespace platform;
using sound_test::ScratchFolder;
using sound_test::wait_until;

#define NEED_FRESH_AUDIO()                                                  \
  if (detail::AudioOutput::ever_opened())                                   \
  GTEST_SKIP() << "the audio library was started earlier in this process; " \
                  "run this test on its own"

int loudest(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (std::int16_t s : samples) peak = std::max(peak, std::abs(int{s}));
  return peak;
}

// Plays `sound` at `volume` to its end and returns what the device wrote.
std::vector<std::int16_t> mix_of(const SoundRef& sound, float volume,
                                 const std::string& wav) {
  ChannelRef ch = cue_sound(sound);
  set_channel_volume(ch, volume);
  resume_channel(ch);
  EXPECT_EQ(channel_playing(ch), 1);
  EXPECT_TRUE(wait_until([&] { return channel_playing(ch) == 0; }, 5.0));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  detail::AudioOutput::close();  // completes the file
  return sound_test::read_wav_samples(wav);
}

TEST(SoundOutput, PlayedSoundReachesTheMixAndVolumeZeroIsSilent) {
  NEED_FRESH_AUDIO();
  ScratchFolder folder;
  const std::string wav = folder.file("mix.wav");
  {
    std::ofstream conf(folder.file("alsoft.conf"));
    conf << "[general]\nchannels = stereo\nsample-type = int16\n"
            "frequency = 44100\ndither = false\n[wave]\nfile = "
         << wav << "\n";
  }
  setenv("ALSOFT_DRIVERS", "wave", 1);
  setenv("ALSOFT_CONF", folder.file("alsoft.conf").c_str(), 1);
  sound_test::write_tone(folder.file("tone.wav"), 0.3, 16000);

  SoundRef tone = load_sound(folder.file("tone.wav"), 0);
  ASSERT_NE(tone, nullptr);
  ASSERT_TRUE(detail::AudioOutput::get().heard()) << "no wave device";
  const std::vector<std::int16_t> loud = mix_of(tone, 1.0f, wav);
  ASSERT_FALSE(loud.empty()) << "the wave backend wrote nothing readable";
  EXPECT_GT(loudest(loud), 2000);

  // The device opens again on the next sound operation, with a new file.
  tone = load_sound(folder.file("tone.wav"), 0);
  const std::vector<std::int16_t> silent = mix_of(tone, 0.0f, wav);
  ASSERT_FALSE(silent.empty());
  EXPECT_EQ(loudest(silent), 0);

  // Out-of-range volumes are clamped: below 0 is silence, not an error that
  // leaves the sound at full volume.
  tone = load_sound(folder.file("tone.wav"), 0);
  const std::vector<std::int16_t> negative = mix_of(tone, -0.5f, wav);
  ASSERT_FALSE(negative.empty());
  EXPECT_EQ(loudest(negative), 0);

  tone = load_sound(folder.file("tone.wav"), 0);
  const std::vector<std::int16_t> over = mix_of(tone, 7.0f, wav);
  EXPECT_NEAR(loudest(over), loudest(loud), loudest(loud) / 20);
}

TEST(SoundOutput, WithNoDeviceChannelsStillKeepTime) {
  NEED_FRESH_AUDIO();
  setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
  ScratchFolder folder;
  sound_test::write_tone(folder.file("tone.wav"), 0.4);
  SoundRef once = load_sound(folder.file("tone.wav"), 0);
  SoundRef looped = load_sound(folder.file("tone.wav"), 1);
  ASSERT_NE(once, nullptr) << "a sound loads without a device";
  EXPECT_FALSE(detail::AudioOutput::get().heard());

  ChannelRef a = cue_sound(once);
  ChannelRef b = cue_sound(looped);
  EXPECT_EQ(channel_playing(a), 0);
  const auto start = std::chrono::steady_clock::now();
  resume_channel(a);
  resume_channel(b);
  EXPECT_EQ(channel_playing(a), 1);

  // Paused for a while: that time does not count.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  pause_channel(a);
  EXPECT_EQ(channel_playing(a), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  resume_channel(a);
  EXPECT_EQ(channel_playing(a), 1) << "the pause was counted as playing";

  ASSERT_TRUE(wait_until([&] { return channel_playing(a) == 0; }, 3.0));
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  EXPECT_GT(took, 0.55);  // 0.4 s of sound plus 0.4 s paused, roughly
  EXPECT_EQ(channel_playing(b), 1) << "the loop ended";
  stop_channel(b);
  EXPECT_EQ(channel_playing(b), 0);
}

}  // namespace
