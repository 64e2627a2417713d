#include "app/game_snapshot.h"

#include <memory>
#include <tuple>

namespace {

// Every whole number of play in world.h: all of them but the constants.
constexpr std::array world_values = {
    &game_state,        &play_phase,
    &quit_requested,    &versus_mode,
    &stereo_mode,       &hologram_intensity,
    &retro_lines,       &joystick_count,
    &high_score,        &stage,
    &crawler_length,    &crawler_speed,
    &tally_index,       &tally_tick,
    &game_over_timer,   &cursor_x,
    &cursor_y,          &player_colour_a,
    &player_colour_b,   &mushroom_colour_a,
    &mushroom_colour_b, &crawler_colour_a,
    &crawler_colour_b,  &insect_colour_a,
    &insect_colour_b,   &sound_volume_step,
    &music_volume_step,
};
constexpr std::array world_volumes = {&sound_volume, &music_volume};

static_assert(world_values.size() ==
              std::tuple_size_v<decltype(GameSnapshot::values)>);
static_assert(world_volumes.size() ==
              std::tuple_size_v<decltype(GameSnapshot::volumes)>);

template <typename T>
void keep(const std::unique_ptr<T>& object, T& kept) {
  kept = object ? *object : T{};
}

template <typename T>
void put_back(const T& kept, std::unique_ptr<T>& object) {
  if (object) {
    *object = kept;
  } else {
    object = std::make_unique<T>(kept);
  }
}

template <typename T, std::size_t N>
void keep_all(const std::array<std::unique_ptr<T>, N>& objects,
              std::array<T, N>& kept) {
  for (std::size_t i = 0; i < N; ++i) keep(objects[i], kept[i]);
}

template <typename T, std::size_t N>
void put_back_all(const std::array<T, N>& kept,
                  std::array<std::unique_ptr<T>, N>& objects) {
  for (std::size_t i = 0; i < N; ++i) put_back(kept[i], objects[i]);
}

}  // namespace

void save_game(GameSnapshot& s) {
  for (std::size_t i = 0; i < world_values.size(); ++i)
    s.values[i] = *world_values[i];
  for (std::size_t i = 0; i < world_volumes.size(); ++i)
    s.volumes[i] = *world_volumes[i];
  keep(player1, s.player1);
  keep(player2, s.player2);
  keep_all(mushrooms, s.mushrooms);
  keep_all(insects, s.insects);
  crawler_list.copy_to(s.crawler);
  particle_list.copy_to(s.particles);
  points_list.copy_to(s.points);
  keep(qwdraw, s.drawing);
  save_sound_counts(s.sounds);
  platform::detail::save_platform_state(s.platform);
}

void load_game(const GameSnapshot& s) {
  for (std::size_t i = 0; i < world_values.size(); ++i)
    *world_values[i] = s.values[i];
  for (std::size_t i = 0; i < world_volumes.size(); ++i)
    *world_volumes[i] = s.volumes[i];
  put_back(s.player1, player1);
  put_back(s.player2, player2);
  put_back_all(s.mushrooms, mushrooms);
  put_back_all(s.insects, insects);
  crawler_list.assign(s.crawler);
  particle_list.assign(s.particles);
  points_list.assign(s.points);
  put_back(s.drawing, qwdraw);
  load_sound_counts(s.sounds);
  platform::detail::restore_platform_state(s.platform);
}
