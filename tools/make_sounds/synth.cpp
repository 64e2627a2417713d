#include "tools/make_sounds/synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

double note_hz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12); }

float Noise::white() {
  // xorshift32: cheap, and the same sequence on every machine.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(state_ / 2147483648.0 - 1.0);
}

float Oscillator::next(double hz, int rate) {
  const double p = phase_;
  phase_ += hz / rate;
  phase_ -= std::floor(phase_);
  switch (wave_) {
    case Wave::sine:
      return static_cast<float>(std::sin(2 * pi * p));
    case Wave::square:
      return p < duty_ ? 1.0f : -1.0f;
    case Wave::saw:
      return static_cast<float>(2 * p - 1);
    case Wave::triangle:
      return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
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

void normalise(Track& track, float peak) {
  float loudest = 0.0f;
  for (const Samples& c : track.channels) {
    for (float v : c) loudest = std::max(loudest, std::fabs(v));
  }
  if (loudest <= 0.0f) return;
  const float gain = peak / loudest;
  for (Samples& c : track.channels) {
    for (float& v : c) v *= gain;
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
