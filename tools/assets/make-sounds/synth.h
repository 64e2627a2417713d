// Building blocks of the sound generator: oscillators, noise, envelopes,
// filters and a few helpers to place notes into a buffer.
#pragma once

#include <cstdint>
#include <vector>

namespace synth {

constexpr double pi = 3.14159265358979323846;

using Samples = std::vector<float>;

// A sound being built: one or two channels of float samples at `rate`.
struct Track {
  int rate = 22050;
  std::vector<Samples> channels;
  std::size_t frames() const {
    return channels.empty() ? 0 : channels[0].size();
  }
};

// Frequency of a MIDI note number (69 = A 440 Hz).
double note_hz(double note);

// A fixed-seed generator so every build makes the same sounds.
class Noise {
 public:
  explicit Noise(std::uint32_t seed = 0x9E3779B9u) : state_(seed) {}
  float white();  // uniform in [-1, 1)

 private:
  std::uint32_t state_;
};

enum class Wave { sine, square, saw, triangle };

// A phase-accumulating oscillator; the frequency may change every sample.
// Square, pulse, saw and triangle are sums of their harmonics below the
// Nyquist frequency, so high notes do not alias, and the pulse has its mean
// taken off so a narrow duty leaves no DC offset.
class Oscillator {
 public:
  explicit Oscillator(Wave wave, double duty = 0.5)
      : wave_(wave), duty_(duty) {}
  float next(double hz, int rate);

 private:
  Wave wave_;
  double duty_;
  double phase_ = 0.0;  // 0..1
};

// One-pole low-pass and high-pass filters.
class LowPass {
 public:
  float next(float x, double cutoff_hz, int rate);

 private:
  float y_ = 0.0f;
};

class HighPass {
 public:
  float next(float x, double cutoff_hz, int rate);

 private:
  LowPass low_;
};

// Resonant two-pole band-pass (state-variable form).
class BandPass {
 public:
  float next(float x, double centre_hz, double q, int rate);

 private:
  float low_ = 0.0f;
  float band_ = 0.0f;
};

// Attack / decay / sustain / release in seconds; `t` from note start,
// `length` the time the note is held before its release.
float adsr(double t, double length, double attack, double decay, double sustain,
           double release);
// Exponential fall from 1 with the given time constant, after a short attack.
float percussive(double t, double attack, double tau);

// Linear glide from a to b over the fraction `f` (0..1), and exponential.
double lerp(double a, double b, double f);
double expo(double a, double b, double f);

// Scales every channel by `gain`.
void amplify(Track& track, double gain);
// Turns the gain down smoothly around every sample louder than `ceiling`
// (a look-ahead peak limiter with 2 ms attack and 40 ms release, the same
// gain on every channel). Returns the deepest cut as a gain below 1.
double limit(Track& track, double ceiling);
// Takes the mean off `s` through a raised-cosine bump over its whole
// length, so the ends, already faded, stay at zero.
void remove_offset(Samples& s);
// Short fades at both ends so nothing starts or stops with a click.
void fade_edges(Samples& s, int rate, double seconds);

}  // namespace synth
