// The generator's building blocks: oscillators that are band-limited (no
// energy between the harmonics of the note, where a naive square or saw
// folds its overtones back from above the Nyquist frequency) and centred,
// and the peak limiter.
#include "tools/assets/make-sounds/synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numeric>
#include <vector>

namespace {

constexpr int rate = 22050;
constexpr std::size_t length = 1 << 14;

// In-place radix-2 FFT; `x.size()` is a power of two.
void fft(std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * synth::pi / len);
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
        const auto a = x[i + k], b = x[i + k + len / 2] * wk;
        x[i + k] = a + b;
        x[i + k + len / 2] = a - b;
      }
    }
  }
}

// The energy outside the note's harmonics against the energy on them, in
// dB, of a windowed stretch of the oscillator held at `hz`.
double alias_db(synth::Oscillator osc, double hz) {
  std::vector<std::complex<double>> x(length);
  for (std::size_t i = 0; i < length; ++i) osc.next(hz, rate);  // settle
  for (std::size_t i = 0; i < length; ++i) {
    // Blackman-Harris: the harmonics' own leakage stays below -90 dB.
    const double a = 2 * synth::pi * i / length;
    const double window = 0.35875 - 0.48829 * std::cos(a) +
                          0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
    x[i] = window * osc.next(hz, rate);
  }
  fft(x);
  const double bin_hz = static_cast<double>(rate) / length;
  double on = 0, off = 0;
  for (std::size_t b = 8; b < length / 2; ++b) {
    const double f = b * bin_hz;
    const double nearest = std::round(f / hz) * hz;
    const double power = std::norm(x[b]);
    (std::fabs(f - nearest) <= 6 * bin_hz ? on : off) += power;
  }
  return 10 * std::log10(off / on);
}

TEST(Oscillator, HighNotesDoNotAlias) {
  using synth::Oscillator;
  using synth::Wave;
  // A naive square or saw at these pitches folds back -20 to -30 dB of its
  // energy between the harmonics, a naive triangle about -45 dB.
  for (const double hz : {1318.5, 1900.0, 3135.96}) {
    SCOPED_TRACE(hz);
    EXPECT_LT(alias_db(Oscillator(Wave::square), hz), -60);
    EXPECT_LT(alias_db(Oscillator(Wave::square, 0.2), hz), -60);
    EXPECT_LT(alias_db(Oscillator(Wave::saw), hz), -60);
    EXPECT_LT(alias_db(Oscillator(Wave::triangle), hz), -60);
  }
}

TEST(Oscillator, EveryWaveAndDutyHasNoDcOffset) {
  using synth::Wave;
  for (const Wave wave :
       {Wave::sine, Wave::square, Wave::saw, Wave::triangle}) {
    for (const double duty : {0.5, 0.2, 0.35, 0.6}) {
      SCOPED_TRACE(static_cast<int>(wave) * 10 + duty);
      synth::Oscillator osc(wave, duty);
      double sum = 0;
      for (int i = 0; i < rate; ++i) sum += osc.next(441, rate);
      EXPECT_LT(std::fabs(sum / rate), 0.002);
    }
  }
}

TEST(Limiter, HoldsPeaksUnderTheCeilingAndLetsTheRestThrough) {
  synth::Track track;
  track.rate = rate;
  synth::Samples tone(rate);
  synth::Oscillator osc(synth::Wave::sine);
  for (auto& v : tone) v = 0.3f * osc.next(440, rate);
  tone[rate / 2] = 0.95f;  // one click
  track.channels = {tone, tone};
  track.channels[1][rate / 4] = -0.9f;  // and one on the other side only

  const double cut = synth::limit(track, 0.5);
  EXPECT_NEAR(cut, 0.5 / 0.95, 1e-6);
  for (const auto& channel : track.channels) {
    for (const float v : channel) ASSERT_LE(std::fabs(v), 0.5f + 1e-6f);
  }
  // Both channels take the same gain, which falls ahead of the click and
  // has come back 0.1 s after it; far from the clicks nothing changes.
  EXPECT_EQ(track.channels[0][rate / 4 + 5] / tone[rate / 4 + 5],
            track.channels[1][rate / 4 + 5] / tone[rate / 4 + 5]);
  EXPECT_LT(std::fabs(track.channels[0][rate / 2 - 5]),
            std::fabs(tone[rate / 2 - 5]) * 0.9f);
  for (const std::size_t far : {std::size_t{100}, std::size_t{rate * 3 / 4}}) {
    EXPECT_NEAR(track.channels[0][far], tone[far], 0.01 * std::fabs(tone[far]));
  }
}

}  // namespace
