// Twelve short effects, each built from a few oscillators, noise and
// envelopes at 22.05 kHz mono.
#include "tools/assets/make-sounds/effects.h"

#include <algorithm>
#include <cmath>

namespace sounds {
namespace {

using namespace synth;

constexpr int rate = 22050;

// Runs `voice(t, f)` for every sample of a mono sound of `seconds`, where t
// is the time in seconds and f the fraction of the sound played so far.
template <typename Voice>
Track render(double seconds, Voice voice) {
  Track track;
  track.rate = rate;
  const auto n = static_cast<std::size_t>(seconds * rate);
  Samples s(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    s[i] = voice(t, t / seconds);
  }
  fade_edges(s, rate, 0.003);
  remove_offset(s);
  track.channels.push_back(std::move(s));
  return track;
}

// A tumbling fall: a bell-like FM chirp sliding down while its wobble
// speeds up, as the flea drops faster.
Track flea() {
  Oscillator carrier(Wave::sine), modulator(Wave::sine);
  double tumble_phase = 0;
  return render(0.6, [&](double t, double f) {
    const double hz = expo(1700, 240, f);
    const double index = 1.4 * (1 - f) + 0.3;
    const double fm = 1 + index * modulator.next(hz * 1.5, rate);
    tumble_phase += expo(7, 22, f) / rate;
    const double tumble = 0.55 + 0.45 * std::cos(2 * pi * tumble_phase);
    return static_cast<float>(carrier.next(hz * fm, rate) * tumble) *
           adsr(t, 0.5, 0.01, 0.05, 0.8, 0.1);
  });
}

// A bright square zap falling fast.
Track p1shot() {
  Oscillator tone(Wave::square);
  return render(0.15, [&](double t, double f) {
    return 0.6f * tone.next(expo(1900, 260, f), rate) *
           percussive(t, 0.002, 0.05);
  });
}

// A thinner pulse zap that rises before it falls, with some grit.
Track p2shot() {
  Oscillator tone(Wave::square, 0.3);
  Noise noise(77);
  return render(0.15, [&](double t, double f) {
    const double hz =
        f < 0.25 ? lerp(700, 1400, f * 4) : expo(1400, 350, (f - 0.25) / 0.75);
    return (0.55f * tone.next(hz, rate) + 0.08f * noise.white()) *
           percussive(t, 0.002, 0.05);
  });
}

// Two bell strikes a fifth apart with inharmonic partials.
Track bonus() {
  Oscillator a1(Wave::sine), a2(Wave::sine), a3(Wave::sine);
  Oscillator b1(Wave::sine), b2(Wave::sine), b3(Wave::sine);
  const double low = note_hz(88), high = note_hz(95);
  return render(0.5, [&](double t, double) {
    const float first = (a1.next(low, rate) + 0.5f * a2.next(low * 2.76, rate) +
                         0.25f * a3.next(low * 5.4, rate)) *
                        percussive(t, 0.002, 0.12);
    const float second =
        (b1.next(high, rate) + 0.5f * b2.next(high * 2.76, rate) +
         0.25f * b3.next(high * 5.4, rate)) *
        percussive(t - 0.08, 0.002, 0.16);
    return first + second;
  });
}

// A short woody pop: a knock on two inharmonic partials, with a click.
Track shroom() {
  Oscillator tone(Wave::sine), overtone(Wave::sine);
  Noise noise(31);
  LowPass click;
  return render(0.15, [&](double t, double f) {
    const double hz = expo(900, 520, std::min(1.0, f * 3));
    const float body =
        (tone.next(hz, rate) + 0.4f * overtone.next(hz * 2.7, rate)) *
        percussive(t, 0.001, 0.06);
    const float tick =
        click.next(noise.white(), 4000, rate) * percussive(t, 0.0005, 0.004);
    return body + 0.3f * tick;
  });
}

// A dull hit: a falling body, driven into soft saturation so it stays
// dense, over a short knock of filtered noise.
Track thump() {
  Oscillator tone(Wave::sine);
  Noise noise(5);
  BandPass knock;
  return render(0.15, [&](double t, double f) {
    const float body = static_cast<float>(std::tanh(
        2.5 * tone.next(expo(240, 80, f), rate) * percussive(t, 0.002, 0.07)));
    const float thud =
        knock.next(noise.white(), 900, 1.5, rate) * percussive(t, 0.001, 0.015);
    return body + 0.8f * thud;
  });
}

// A noise burst whose brightness falls away over a sinking rumble, both
// saturated like an overdriven blast.
Track explode() {
  Oscillator rumble(Wave::sine);
  Noise noise(1234);
  LowPass smoke, smoke2;
  return render(1.0, [&](double t, double f) {
    const double cutoff = expo(6000, 120, f);
    const float burst =
        smoke2.next(smoke.next(noise.white(), cutoff, rate), cutoff, rate) *
        percussive(t, 0.015, 0.3);
    const float low =
        rumble.next(expo(90, 28, f), rate) * percussive(t, 0.01, 0.4);
    return static_cast<float>(std::tanh(1.6 * burst + 0.7 * low));
  });
}

// Scuttling legs: irregular clicks that alternate between two pitches over
// a low growl whose nasal filter wavers.
Track spider() {
  Oscillator growl_a(Wave::saw), growl_b(Wave::saw), waver(Wave::sine);
  BandPass nasal, leg_left, leg_right;
  Noise noise(77), timing(78);
  double next_step = 0, step_start = -1;
  bool left = true;
  return render(0.7, [&](double t, double) {
    if (t >= next_step) {
      step_start = t;
      left = !left;
      next_step = t + 0.03 + 0.025 * (timing.white() + 1) / 2;
    }
    const float tap = percussive(t - step_start, 0.001, 0.008);
    const float n = noise.white();
    const float legs = left ? leg_left.next(n * tap, 2600, 3, rate)
                            : leg_right.next(n * tap, 3900, 3, rate);
    const double centre = 650 + 250 * waver.next(3.5, rate);
    const float growl =
        nasal.next(0.5f * (growl_a.next(98, rate) + growl_b.next(103.8, rate)),
                   centre, 3, rate);
    return (0.7f * legs + growl) * adsr(t, 0.6, 0.01, 0.1, 0.85, 0.1);
  });
}

// A rising five-note jingle, the last note held.
Track x1life() {
  Oscillator square(Wave::square), tri(Wave::triangle);
  const double notes[] = {72, 76, 79, 84, 88};
  return render(0.8, [&](double t, double) {
    const int i = std::min(4, static_cast<int>(t / 0.1));
    const double start = i * 0.1;
    const double held = i == 4 ? 0.3 : 0.08;
    const double hz = note_hz(notes[i]);
    return (0.35f * square.next(hz, rate) + 0.6f * tri.next(hz, rate)) *
           adsr(t - start, held, 0.005, 0.04, 0.7, 0.05);
  });
}

// Two detuned low saws through a filter, throbbing.
Track scorpion() {
  Oscillator a(Wave::saw), b(Wave::saw), throb(Wave::sine);
  LowPass body, body2;
  return render(0.7, [&](double t, double) {
    const float mix = a.next(68, rate) + b.next(71.5, rate);
    const float filtered = body2.next(body.next(mix, 700, rate), 900, rate);
    return filtered * (0.7f + 0.3f * throb.next(7, rate)) *
           adsr(t, 0.55, 0.04, 0.1, 0.9, 0.15);
  });
}

// A brassy triplet up to a held major chord.
Track stage() {
  struct Note {
    double at, held, midi;
  };
  const Note notes[] = {{0.0, 0.1, 67},  {0.13, 0.1, 72}, {0.26, 0.1, 76},
                        {0.39, 0.6, 79}, {0.39, 0.6, 84}, {0.39, 0.6, 76}};
  std::vector<Oscillator> voices(std::size(notes), Oscillator(Wave::saw));
  std::vector<LowPass> brass(std::size(notes));
  return render(1.2, [&](double t, double) {
    float sum = 0.0f;
    for (std::size_t i = 0; i < std::size(notes); ++i) {
      const double local = t - notes[i].at;
      const float env = adsr(local, notes[i].held, 0.02, 0.1, 0.75, 0.2);
      const double cutoff = 800 + 3000 * env;
      sum += brass[i].next(voices[i].next(note_hz(notes[i].midi), rate), cutoff,
                           rate) *
             env;
    }
    return sum;
  });
}

// A thin high whine with a nervous vibrato that swells and fades.
Track mosquito() {
  Oscillator tone(Wave::saw), vibrato(Wave::sine), drift(Wave::sine);
  BandPass nasal;
  return render(0.8, [&](double t, double) {
    const double hz =
        880 + 45 * vibrato.next(11, rate) + 30 * drift.next(1.7, rate);
    const float whine = nasal.next(tone.next(hz, rate), hz * 2, 4, rate);
    return whine * adsr(t, 0.6, 0.15, 0.1, 0.85, 0.2);
  });
}

}  // namespace

const std::vector<Recipe>& effects() {
  static const std::vector<Recipe> all = {
      {"flea", flea},         {"p1shot", p1shot}, {"p2shot", p2shot},
      {"bonus", bonus},       {"shroom", shroom}, {"thump", thump},
      {"explode", explode},   {"spider", spider}, {"x1life", x1life},
      {"scorpion", scorpion}, {"stage", stage},   {"mosquito", mosquito}};
  return all;
}

const Recipe* find_effect(std::string_view name) {
  for (const Recipe& recipe : effects()) {
    if (recipe.name == name) return &recipe;
  }
  return nullptr;
}

}  // namespace sounds
