// Decoding WAV files of every accepted kind, refusing the rest, and the
// game's own generated sound files.
#include "platform/audio/sound_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/platform.h"
#include "tests/platform/sound_files.h"

namespace {

using platform::detail::decode_sound;
using platform::detail::Pcm;
using sound_test::wav_bytes;

bool decode(const std::vector<std::uint8_t>& bytes, Pcm& pcm) {
  return decode_sound(bytes.data(), bytes.size(), pcm);
}

TEST(SoundDecode, WavSampleFormats) {
  Pcm pcm;
  ASSERT_TRUE(
      decode(wav_bytes(8000, 1, 16, {0, 1000, -1000, 32767, -32768}), pcm));
  EXPECT_EQ(pcm.rate, 8000);
  EXPECT_EQ(pcm.channels, 1);
  EXPECT_EQ(pcm.samples,
            (std::vector<std::int16_t>{0, 1000, -1000, 32767, -32768}));

  // 8-bit samples are unsigned around 128.
  ASSERT_TRUE(decode(wav_bytes(11025, 2, 8, {128, 0, 255, 129}), pcm));
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.frames(), 2u);
  EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{0, -32768, 32512, 256}));
}

TEST(SoundDecode, WavChunkLayout) {
  Pcm pcm;
  // An odd-sized chunk before the format is skipped with its pad byte.
  std::vector<std::uint8_t> plain = wav_bytes(8000, 1, 16, {5, 6, 7});
  std::vector<std::uint8_t> with_list(plain.begin(), plain.begin() + 12);
  const char list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  with_list.insert(with_list.end(), list, list + sizeof list);
  with_list.insert(with_list.end(), plain.begin() + 12, plain.end());
  ASSERT_TRUE(decode(with_list, pcm));
  EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{5, 6, 7}));

  // A data size past the end of the file keeps what is there; half a
  // sample at the end is dropped.
  std::vector<std::uint8_t> cut = plain;
  cut.resize(cut.size() - 3);
  ASSERT_TRUE(decode(cut, pcm));
  EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{5}));

  // The extensible header with a PCM sub-format.
  std::vector<std::uint8_t> ext = plain;
  ext[16] = 40;  // fmt chunk of 40 bytes
  ext[20] = 0xFE;
  ext[21] = 0xFF;
  std::vector<std::uint8_t> extra(24, 0);
  extra[0] = 22;  // cbSize
  extra[8] = 1;   // sub-format GUID starting with PCM's tag
  ext.insert(ext.begin() + 36, extra.begin(), extra.end());
  ASSERT_TRUE(decode(ext, pcm));
  EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{5, 6, 7}));
}

TEST(SoundDecode, RefusesWhatItCannotPlay) {
  Pcm pcm;
  std::vector<std::uint8_t> bytes = wav_bytes(8000, 1, 16, {1, 2});
  std::vector<std::uint8_t> float_tag = bytes;
  float_tag[20] = 3;  // IEEE float
  EXPECT_FALSE(decode(float_tag, pcm));
  std::vector<std::uint8_t> deep = bytes;
  deep[34] = 24;  // 24-bit
  EXPECT_FALSE(decode(deep, pcm));
  std::vector<std::uint8_t> many = bytes;
  many[22] = 6;  // six channels
  EXPECT_FALSE(decode(many, pcm));
  EXPECT_FALSE(decode(wav_bytes(8000, 1, 16, {}), pcm)) << "no samples";
  std::vector<std::uint8_t> no_data(bytes.begin(), bytes.begin() + 36);
  EXPECT_FALSE(decode(no_data, pcm));
  EXPECT_FALSE(decode({}, pcm));
  // A huge chunk size must not run off the end.
  std::vector<std::uint8_t> huge = bytes;
  huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;
  EXPECT_FALSE(decode(huge, pcm));
  EXPECT_TRUE(pcm.samples.empty());

  // An Ogg stream cut short after its first page.
  std::ifstream in(std::string(VERMIX_DATA_DIR) + "/thump.ogg",
                   std::ios::binary);
  std::vector<std::uint8_t> ogg{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  ASSERT_GT(ogg.size(), 200u);
  ogg.resize(100);
  EXPECT_FALSE(decode(ogg, pcm));
}

struct GameSound {
  const char* name;
  double seconds;  // about how long it should be
};

Pcm decode_game_file(const std::string& name) {
  std::ifstream in(std::string(VERMIX_DATA_DIR) + "/" + name + ".ogg",
                   std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  Pcm pcm;
  decode_sound(bytes.data(), bytes.size(), pcm);
  return pcm;
}

double rms(const Pcm& pcm) {
  double sum = 0;
  for (const double s : pcm.samples) sum += s * s;
  return std::sqrt(sum / std::max<std::size_t>(1, pcm.samples.size()));
}

TEST(SoundDecode, EveryGameEffectIsAPlausibleSound) {
  const GameSound effects[] = {
      {"flea", 0.6},    {"p1shot", 0.15},  {"p2shot", 0.15}, {"bonus", 0.5},
      {"shroom", 0.15}, {"thump", 0.15},   {"explode", 1.0}, {"spider", 0.7},
      {"x1life", 0.8},  {"scorpion", 0.7}, {"stage", 1.2},   {"mosquito", 0.8}};
  std::vector<std::vector<std::int16_t>> seen;
  for (const GameSound& e : effects) {
    SCOPED_TRACE(e.name);
    const Pcm pcm = decode_game_file(e.name);
    ASSERT_FALSE(pcm.samples.empty());
    const double seconds = static_cast<double>(pcm.frames()) / pcm.rate;
    EXPECT_NEAR(seconds, e.seconds, e.seconds * 0.2);
    EXPECT_GT(rms(pcm), 1000) << "too quiet to hear";
    for (const auto& other : seen) EXPECT_NE(pcm.samples, other);
    seen.push_back(pcm.samples);
  }
}

TEST(SoundDecode, MusicIsALongSeamlessLoop) {
  const Pcm pcm = decode_game_file("zorbem");
  ASSERT_EQ(pcm.channels, 2);
  const double seconds = static_cast<double>(pcm.frames()) / pcm.rate;
  EXPECT_GE(seconds, 30.0);
  EXPECT_GT(rms(pcm), 1000);

  // The step from the last frame back to the first is an ordinary step
  // between neighbouring frames, not one of the rare big ones.
  for (int c = 0; c < pcm.channels; ++c) {
    SCOPED_TRACE(c);
    std::vector<int> steps;
    for (std::size_t f = 1; f < pcm.frames(); ++f) {
      steps.push_back(
          std::abs(pcm.samples[f * 2 + c] - pcm.samples[(f - 1) * 2 + c]));
    }
    std::sort(steps.begin(), steps.end());
    const int usual = steps[steps.size() * 9 / 10];
    const int join =
        std::abs(pcm.samples[c] - pcm.samples[(pcm.frames() - 1) * 2 + c]);
    EXPECT_LE(join, usual);
  }

  // And the game's loader takes it with the loop flag.
  platform::SoundRef music =
      platform::load_sound(std::string(VERMIX_DATA_DIR) + "/zorbem.ogg", 1);
  ASSERT_NE(music, nullptr);
}

TEST(SoundDecode, GeneratorGivesTheSameBytesEveryRun) {
  sound_test::ScratchFolder folder;
  const std::filesystem::path out = folder.file("");
  const std::string tool = std::string(VERMIX_DATA_DIR) + "/../make_sounds";
  ASSERT_EQ(std::system((tool + " " + out.string()).c_str()), 0);
  for (const char* name : {"explode", "spider", "zorbem"}) {
    auto read = [](const std::string& path) {
      std::ifstream in(path, std::ios::binary);
      return std::vector<char>{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
    };
    const std::string file = std::string(name) + ".ogg";
    EXPECT_EQ(read((out / file).string()),
              read(std::string(VERMIX_DATA_DIR) + "/" + file))
        << name;
  }
}

}  // namespace
