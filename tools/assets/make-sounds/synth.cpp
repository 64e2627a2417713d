#include "tools/assets/make-sounds/synth.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace synth {

double note_hz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12); }

float Noise::white() {
  // xorshift32: cheap, and the same sequence on every machine.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(state_ / 2147483648.0 - 1.0);
}

namespace {

double wrap(double p) { return p - std::floor(p); }

// The sums of harmonics 1..count of a saw (every harmonic, falling as 1/k)
// and of a triangle (odd harmonics, falling as 1/k^2) at phase p, scaled to
// the range of the plain waves: -1..1, the saw rising, the triangle lowest
// at phase 0.
double saw_sum(double p, int count) {
  const std::complex<double> step = std::polar(1.0, 2 * pi * p);
  std::complex<double> z = step;
  double sum = 0.0;
  for (int k = 1; k <= count; ++k, z *= step) sum += z.imag() / k;
  return -2 / pi * sum;
}

double triangle_sum(double p, int count) {
  const std::complex<double> step = std::polar(1.0, 2 * pi * p);
  const std::complex<double> step2 = step * step;
  std::complex<double> z = step;
  double sum = 0.0;
  for (int k = 1; k <= count; k += 2, z *= step2) sum += z.real() / (k * k);
  return -8 / (pi * pi) * sum;
}

}  // namespace

float Oscillator::next(double hz, int rate) {
  const double p = phase_;
  phase_ = wrap(phase_ + hz / rate);
  if (wave_ == Wave::sine) return static_cast<float>(std::sin(2 * pi * p));
  // Only the harmonics below 0.45 of the rate, so none folds back; the
  // deepest notes stop at the 96th, far above any filter they go through.
  const int count =
      hz > 0 ? std::min(96, static_cast<int>(0.45 * rate / hz)) : 0;
  switch (wave_) {
    case Wave::square:
      // A pulse is the difference of two saws offset by its duty; this one
      // is centred on zero.
      return static_cast<float>(saw_sum(wrap(p - duty_), count) -
                                saw_sum(p, count));
    case Wave::saw:
      return static_cast<float>(saw_sum(p, count));
    case Wave::triangle:
      return static_cast<float>(triangle_sum(p, count));
    case Wave::sine:
      break;
  }
  return 0.0f;
}

float LowPass::next(float x, double cutoff_hz, int rate) {
  const double a = 1.0 - std::exp(-2 * pi * cutoff_hz / rate);
  y_ += static_cast<float>(a * (x - y_));
  return y_;
}

float HighPass::next(float x, double cutoff_hz, int rate) {
  return x - low_.next(x, cutoff_hz, rate);
}

float BandPass::next(float x, double centre_hz, double q, int rate) {
  const double f = 2 * std::sin(pi * std::min(centre_hz, rate / 6.0) / rate);
  const float high = x - low_ - static_cast<float>(band_ / q);
  band_ += static_cast<float>(f * high);
  low_ += static_cast<float>(f * band_);
  return band_;
}

float adsr(double t, double length, double attack, double decay, double sustain,
           double release) {
  if (t < 0) return 0.0f;
  double level;
  if (t < attack) {
    level = t / attack;
  } else if (t < attack + decay) {
    level = 1 - (1 - sustain) * (t - attack) / decay;
  } else {
    level = sustain;
  }
  if (t > length) {
    const double r = (t - length) / release;
    level *= r >= 1 ? 0 : 1 - r;
  }
  return static_cast<float>(level);
}

float percussive(double t, double attack, double tau) {
  if (t < 0) return 0.0f;
  if (t < attack) return static_cast<float>(t / attack);
  return static_cast<float>(std::exp(-(t - attack) / tau));
}

double lerp(double a, double b, double f) { return a + (b - a) * f; }
double expo(double a, double b, double f) { return a * std::pow(b / a, f); }

void amplify(Track& track, double gain) {
  for (Samples& c : track.channels) {
    for (float& v : c) v = static_cast<float>(v * gain);
  }
}

double limit(Track& track, double ceiling) {
  const std::size_t n = track.frames();
  std::vector<double> gain(n, 1.0);
  for (const Samples& c : track.channels) {
    for (std::size_t i = 0; i < n; ++i) {
      const double a = std::fabs(c[i]);
      if (a > ceiling) gain[i] = std::min(gain[i], ceiling / a);
    }
  }
  // Backwards the gain falls ahead of each peak; forwards it recovers after.
  const double attack = 1 - std::exp(-1.0 / (0.002 * track.rate));
  const double release = 1 - std::exp(-1.0 / (0.040 * track.rate));
  for (std::size_t i = n - 1; i-- > 0;) {
    gain[i] = std::min(gain[i], gain[i + 1] + (1 - gain[i + 1]) * attack);
  }
  for (std::size_t i = 1; i < n; ++i) {
    gain[i] = std::min(gain[i], gain[i - 1] + (1 - gain[i - 1]) * release);
  }
  for (Samples& c : track.channels) {
    for (std::size_t i = 0; i < n; ++i)
      c[i] = static_cast<float>(c[i] * gain[i]);
  }
  return n ? *std::min_element(gain.begin(), gain.end()) : 1.0;
}

void remove_offset(Samples& s) {
  if (s.size() < 2) return;
  double sum = 0, bump_sum = 0;
  std::vector<double> bump(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    bump[i] = 0.5 - 0.5 * std::cos(2 * pi * i / (s.size() - 1));
    sum += s[i];
    bump_sum += bump[i];
  }
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] -= static_cast<float>(sum / bump_sum * bump[i]);
  }
}

void fade_edges(Samples& s, int rate, double seconds) {
  const std::size_t n =
      std::min(s.size() / 2, static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < n; ++i) {
    const float g = static_cast<float>(i) / static_cast<float>(n);
    s[i] *= g;
    s[s.size() - 1 - i] *= g;
  }
}

}  // namespace synth
