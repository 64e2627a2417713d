// The music loop: sixteen bars in A minor at 125 beats a minute, bass,
// lead, arpeggio and drums, 44.1 kHz stereo. Every note is written into the
// loop modulo its length, so tails that run past the end sound again at the
// start and the loop has no seam.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "tools/assets/make-sounds/effects.h"

namespace sounds {
namespace {

using namespace synth;

constexpr int rate = 44100;
constexpr int bars = 16;
constexpr int frames_per_beat = rate * 60 / 125;      // 21168: exact at 125 bpm
constexpr int frames_per_step = frames_per_beat / 4;  // a sixteenth
constexpr int loop_frames = bars * 4 * frames_per_beat;

// A sound source for one note: returns the next mono sample, t seconds in.
struct Voice {
  virtual ~Voice() = default;
  virtual float next(double t) = 0;
};

class Loop {
 public:
  Loop() : left_(loop_frames), right_(loop_frames) {}

  // Plays `voice` for `seconds` from sixteenth `step`, panned -1..1.
  void add(int step, double seconds, float pan, Voice& voice) {
    const auto n = static_cast<std::size_t>(seconds * rate);
    const float gl = std::sqrt(0.5f * (1 - pan));
    const float gr = std::sqrt(0.5f * (1 + pan));
    std::size_t at =
        static_cast<std::size_t>(step) * frames_per_step % loop_frames;
    for (std::size_t i = 0; i < n; ++i) {
      const float v = voice.next(static_cast<double>(i) / rate);
      left_[at] += gl * v;
      right_[at] += gr * v;
      if (++at == loop_frames) at = 0;
    }
  }

  // Feedback echo of one side into the other, settled to its steady state
  // around the loop.
  void echo(double beats, float feedback) {
    const auto d = static_cast<std::size_t>(beats * frames_per_beat);
    Samples dry_l = left_, dry_r = right_;
    for (int pass = 0; pass < 4; ++pass) {
      for (std::size_t n = 0; n < loop_frames; ++n) {
        const std::size_t from = (n + loop_frames - d) % loop_frames;
        left_[n] = dry_l[n] + feedback * right_[from];
        right_[n] = dry_r[n] + feedback * 0.6f * left_[from];
      }
    }
  }

  Track track() {
    Track t;
    t.rate = rate;
    t.channels = {std::move(left_), std::move(right_)};
    return t;
  }

 private:
  Samples left_, right_;
};

struct Bass : Voice {
  double hz;
  double held;
  Oscillator saw{Wave::saw}, sub{Wave::square};
  LowPass filter;
  Bass(double hz, double held) : hz(hz), held(held) {}
  float next(double t) override {
    const float env = adsr(t, held, 0.004, 0.08, 0.6, 0.05);
    const float raw = 0.6f * saw.next(hz, rate) + 0.4f * sub.next(hz / 2, rate);
    return 0.5f * filter.next(raw, 250 + 1400 * env * env, rate) * env;
  }
};

struct Lead : Voice {
  double hz;
  double held;
  Oscillator pulse{Wave::square, 0.3}, tri{Wave::triangle}, vib{Wave::sine};
  LowPass filter;
  Lead(double hz, double held) : hz(hz), held(held) {}
  float next(double t) override {
    const double depth = t > 0.15 ? 0.006 : 0.0;
    const double f = hz * (1 + depth * vib.next(5.5, rate));
    const float raw = 0.4f * pulse.next(f, rate) + 0.6f * tri.next(f, rate);
    return 0.3f * filter.next(raw, 3500, rate) *
           adsr(t, held, 0.01, 0.1, 0.7, 0.08);
  }
};

struct Arp : Voice {
  double hz;
  Oscillator tri{Wave::triangle};
  explicit Arp(double hz) : hz(hz) {}
  float next(double t) override {
    return 0.12f * tri.next(hz, rate) * percussive(t, 0.003, 0.07);
  }
};

struct Kick : Voice {
  Oscillator tone{Wave::sine};
  float next(double t) override {
    return 0.9f * tone.next(expo(150, 42, std::min(1.0, t / 0.12)), rate) *
           percussive(t, 0.002, 0.09);
  }
};

struct Snare : Voice {
  Noise noise;
  Oscillator tone{Wave::triangle};
  BandPass band;
  explicit Snare(std::uint32_t seed) : noise(seed) {}
  float next(double t) override {
    const float hiss = band.next(noise.white(), 2500, 0.8, rate);
    return (0.5f * hiss + 0.3f * tone.next(190, rate)) *
           percussive(t, 0.001, 0.06);
  }
};

struct Hat : Voice {
  Noise noise;
  HighPass high;
  double tau;
  Hat(std::uint32_t seed, double tau) : noise(seed), tau(tau) {}
  float next(double t) override {
    return 0.18f * high.next(noise.white(), 7000, rate) *
           percussive(t, 0.0005, tau);
  }
};

// "E5" -> 76, "G#4" -> 68.
int midi_of(const std::string& name) {
  static const int offsets[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int note = offsets[name[0] - 'A'];
  std::size_t i = 1;
  if (name[i] == '#') {
    ++note;
    ++i;
  }
  return note + 12 * (std::stoi(name.substr(i)) + 1);
}

// The lead, one bar per string: note:eighths, "r" a rest.
const char* const melody[bars] = {
    "E5:2 A5:1 G5:1 E5:2 C5:2",      "D5:1 C5:1 A4:2 C5:2 F5:2",
    "E5:3 G5:1 E5:1 D5:1 C5:2",      "D5:2 B4:2 G4:4",
    "A4:1 C5:1 E5:1 A5:1 G5:2 E5:2", "F5:2 E5:1 D5:1 C5:2 A4:2",
    "B4:2 D5:2 G5:1 F5:1 D5:2",      "E5:2 G#5:2 B5:4",
    "A5:2 C6:2 B5:1 A5:1 E5:2",      "F5:1 A5:1 C6:2 A5:2 F5:2",
    "G5:2 E5:1 G5:1 C6:3 B5:1",      "D6:2 B5:2 G5:2 D5:2",
    "E5:1 A5:1 C6:1 E6:1 D6:2 C6:2", "A5:2 F5:2 C6:2 A5:2",
    "B5:1 A5:1 G5:1 F5:1 D5:2 B4:2", "G#4:2 B4:2 E5:4"};

struct Chord {
  int root;      // bass root, MIDI
  int tones[3];  // arpeggio notes, MIDI
};
// Am F C G Am F G E, twice.
const Chord chords[8] = {{45, {69, 72, 76}}, {41, {65, 69, 72}},
                         {48, {67, 72, 76}}, {43, {67, 71, 74}},
                         {45, {69, 72, 76}}, {41, {65, 69, 72}},
                         {43, {67, 71, 74}}, {40, {68, 71, 76}}};

double step_seconds(int steps) {
  return static_cast<double>(steps) * frames_per_step / rate;
}

void add_lead(Loop& loop) {
  for (int bar = 0; bar < bars; ++bar) {
    std::istringstream words(melody[bar]);
    std::string word;
    int step = bar * 16;
    while (words >> word) {
      const auto colon = word.find(':');
      const int steps = 2 * std::stoi(word.substr(colon + 1));
      const std::string name = word.substr(0, colon);
      if (name != "r") {
        const double held = step_seconds(steps) * 0.9;
        Lead voice(note_hz(midi_of(name)), held);
        loop.add(step, held + 0.1, 0.35f, voice);
      }
      step += steps;
    }
  }
}

void add_bass_and_arp(Loop& loop) {
  // Eighths: root, root, octave, root, fifth, root, octave, fifth.
  const int pattern[8] = {0, 0, 12, 0, 7, 0, 12, 7};
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& chord = chords[bar % 8];
    for (int e = 0; e < 8; ++e) {
      const double held = step_seconds(2) * 0.7;
      Bass voice(note_hz(chord.root + pattern[e]), held);
      loop.add(bar * 16 + e * 2, held + 0.06, 0.0f, voice);
    }
    if (bar < 8) continue;  // the arpeggio joins in the second half
    for (int s = 0; s < 16; ++s) {
      const int up_down[4] = {0, 1, 2, 1};
      const int octave = s >= 8 ? 12 : 0;
      Arp voice(note_hz(chord.tones[up_down[s % 4]] + octave));
      loop.add(bar * 16 + s, 0.35, -0.5f, voice);
    }
  }
}

void add_drums(Loop& loop) {
  std::uint32_t seed = 2024;
  for (int bar = 0; bar < bars; ++bar) {
    const int base = bar * 16;
    for (int s : {0, 8}) {
      Kick kick;
      loop.add(base + s, 0.4, 0.0f, kick);
    }
    if (bar % 2 == 1) {
      Kick kick;
      loop.add(base + 10, 0.4, 0.0f, kick);
    }
    for (int s : {4, 12}) {
      Snare snare(++seed);
      loop.add(base + s, 0.3, 0.1f, snare);
    }
    for (int s = 0; s < 16; s += 2) {
      const bool open = s == 14 && bar % 4 == 3;
      Hat hat(++seed, open ? 0.12 : 0.02);
      loop.add(base + s, open ? 0.5 : 0.12, -0.25f, hat);
    }
  }
}

}  // namespace

Track make_music() {
  Loop loop;
  add_lead(loop);
  loop.echo(0.75, 0.3f);
  add_bass_and_arp(loop);
  add_drums(loop);
  return loop.track();
}

}  // namespace sounds
