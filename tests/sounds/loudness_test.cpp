// The meter the mix is measured with, on tones whose R128 readings are
// known: a full-scale 1 kHz sine in one channel reads -3.01 LUFS.
#include "tools/assets/make-sounds/loudness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int rate = 44100;

std::vector<float> tone(double seconds, double amplitude, int channels) {
  std::vector<float> out(static_cast<std::size_t>(seconds * rate) * channels);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i / channels) / rate;
    out[i] = static_cast<float>(amplitude *
                                std::sin(2 * 3.14159265358979 * 1000 * t));
  }
  return out;
}

TEST(Loudness, ReadsReferenceTonesAsR128Defines) {
  using loudness::Measure;
  const double half = 20 * std::log10(0.5) - 3.01;  // -9.03 LUFS

  const auto held =
      loudness::measure(tone(3, 0.5, 1), 1, rate, Measure::loudest_momentary);
  EXPECT_NEAR(held.lufs, half, 0.2);
  EXPECT_NEAR(held.true_peak_db, -6.02, 0.1);
  EXPECT_LT(held.dc, 1e-3);
  EXPECT_NEAR(
      loudness::measure(tone(3, 0.5, 1), 1, rate, Measure::integrated).lufs,
      half, 0.2);

  // A 200 ms burst fills half of the 400 ms window: 3 LU quieter.
  EXPECT_NEAR(
      loudness::measure(tone(0.2, 0.5, 1), 1, rate, Measure::loudest_momentary)
          .lufs,
      half - 3.01, 0.3);

  // Two channels add their power; an offset on one of them is found.
  std::vector<float> stereo = tone(3, 0.5, 2);
  for (std::size_t i = 1; i < stereo.size(); i += 2) stereo[i] += 0.1f;
  const auto both =
      loudness::measure(stereo, 2, rate, Measure::loudest_momentary);
  EXPECT_NEAR(both.lufs, half + 3.01, 0.2);
  EXPECT_NEAR(both.dc, 0.1, 1e-3);
}

}  // namespace
