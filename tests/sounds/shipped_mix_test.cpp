// Every sound the build ships, decoded as the game decodes it and measured
// against its level in the mix, so the mix cannot drift.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/audio/sound_decode.h"
#include "tools/assets/make-sounds/mix.h"

namespace {

loudness::Levels measure_file(const sounds::MixLevel& level) {
  std::ifstream in(std::string(VERMIX_DATA_DIR) + "/" + level.name + ".ogg",
                   std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  platform::detail::Pcm pcm;
  if (!platform::detail::decode_sound(bytes.data(), bytes.size(), pcm)) {
    ADD_FAILURE() << "cannot decode " << level.name;
    return {};
  }
  std::vector<float> samples(pcm.samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = pcm.samples[i] / 32768.0f;
  }
  return loudness::measure(samples, pcm.channels, pcm.rate, level.measure);
}

TEST(ShippedMix, EverySoundHasItsLoudnessUnderTheCeilingAndCentred) {
  std::size_t shipped = 0;
  for (const auto& e : std::filesystem::directory_iterator(VERMIX_DATA_DIR)) {
    shipped += e.path().extension() == ".ogg";
  }
  EXPECT_EQ(shipped, std::size(sounds::mix_levels))
      << "every shipped sound has a level in the mix";

  for (const sounds::MixLevel& level : sounds::mix_levels) {
    SCOPED_TRACE(level.name);
    const loudness::Levels got = measure_file(level);
    std::printf("%-9s %6.1f LUFS (target %5.1f)  %5.1f dBTP  DC %.4f\n",
                level.name, got.lufs, level.lufs, got.true_peak_db, got.dc);
    EXPECT_NEAR(got.lufs, level.lufs, sounds::mix_tolerance);
    EXPECT_LE(got.true_peak_db, sounds::peak_ceiling_db);
    EXPECT_LT(got.dc, sounds::dc_limit);
  }
}

}  // namespace
