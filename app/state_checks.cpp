// One hash per group of the game's state, so that a replay that goes its
// own way can name the first group that differs. Floats are hashed by their
// bits: a replay reproduces them exactly or not at all.
#include "app/state_checks.h"

#include <bit>
#include <cstdint>
#include <string>

#include "replay/fnv1a.h"
#include "replay/replay.h"
#include "world/fields.h"
#include "world/world.h"

namespace {

class Hash {
 public:
  Hash& operator<<(std::uint32_t v) {
    hash_.word(v);
    return *this;
  }
  Hash& operator<<(int v) { return *this << static_cast<std::uint32_t>(v); }
  Hash& operator<<(float v) { return *this << std::bit_cast<std::uint32_t>(v); }
  Hash& operator<<(const std::string& s) {
    *this << static_cast<int>(s.size());
    for (unsigned char c : s) *this << static_cast<std::uint32_t>(c);
    return *this;
  }
  std::uint32_t value() const { return hash_.value(); }

 private:
  replay::Fnv1a hash_;
};

// Adds the checked fields of an actor, as fields.h describes them.
auto checked(Hash& h) {
  return [&h](const char*, const auto& value, FieldUse use) {
    if (use != FieldUse::dump_only) h << value;
  };
}

std::uint32_t player_hash(const player_tag* p) {
  Hash h;
  if (p) fields(*p, checked(h));
  return h.value();
}

std::uint32_t mushrooms_hash() {
  Hash h;
  for (const auto& m : mushrooms) {
    if (m) fields(*m, checked(h));
  }
  return h.value();
}

std::uint32_t segments_hash() {
  Hash h;
  crawler_list.for_each([&](const vermix_tag& s) { fields(s, checked(h)); });
  return h.value();
}

std::uint32_t insects_hash() {
  Hash h;
  for (const auto& i : insects) {
    if (i) fields(*i, checked(h));
  }
  return h.value();
}

std::uint32_t particles_hash() {
  Hash h;
  particle_list.for_each([&](const particle_tag& p) { fields(p, checked(h)); });
  return h.value();
}

std::uint32_t popups_hash() {
  Hash h;
  points_list.for_each([&](const points_tag& p) { fields(p, checked(h)); });
  return h.value();
}

int score_of(const player_tag* p) { return p ? p->score : 0; }
int lives_of(const player_tag* p) { return p ? p->lives : 0; }

}  // namespace

replay::StateChecks state_checks() {
  auto one = [](auto... values) { return (Hash() << ... << values).value(); };
  return {
      {"game", one(game_state, play_phase, quit_requested, versus_mode)},
      {"score1", one(score_of(player1.get()))},
      {"score2", one(score_of(player2.get()))},
      {"high_score", one(high_score)},
      {"lives1", one(lives_of(player1.get()))},
      {"lives2", one(lives_of(player2.get()))},
      {"stage", one(stage, crawler_length, crawler_speed, tally_index,
                    tally_tick, game_over_timer)},
      {"settings", one(stereo_mode, hologram_intensity, retro_lines,
                       sound_volume_step, music_volume_step)},
      {"player1", player_hash(player1.get())},
      {"player2", player_hash(player2.get())},
      {"mushrooms", mushrooms_hash()},
      {"segments", segments_hash()},
      {"insects", insects_hash()},
      {"particles", particles_hash()},
      {"popups", popups_hash()},
  };
}
