// The cost of one playing frame on a full field: 90 mushrooms, 18 segments,
// a few hundred dots, stereo drawing and the retro lines, presented at once.
#include <benchmark/benchmark.h>

#include "app/game_flow.h"
#include "app/globals.h"
#include "app/shell.h"
#include "render/anaglyph.h"

namespace {

bool bring_up() {
  platform::RunOptions options;
  options.window = true;
  options.fast = true;
  if (!start_up(options)) return false;
  platform::seed_rnd(1);
  versus_mode = 0;
  game_state = state_playing;
  player_tag::reset(1);
  stereo_mode = 1;
  hologram_intensity = 4;
  retro_lines = 1;
  anaglyph_settings(0);
  return true;
}

// Every mushroom on a cell of its own, a full chain and plenty of debris,
// with the ship out of reach of everything.
void fill_field() {
  for (int i = 0; i < 90; ++i) {
    *mushrooms[i] =
        mushroom_tag{185 + 10 * (i % 27), 60 + 40 * (i / 27), 11, 0};
  }
  vermix_tag::destroy_all();
  crawler_length = 18;
  vermix_tag::new_spawn();
  particle_tag::destroy_all();
  particle_tag::explode(320, 300, 0.3f, 1, 300);
  player1->state = 0;
  play_phase = 1;
}

void BM_PlayingFrame(benchmark::State& state) {
  static const bool ready = bring_up();
  if (!ready) {
    state.SkipWithError("no display");
    return;
  }
  fill_field();
  for (auto _ : state) {
    if (particle_list.size() < 200 || crawler_list.size() < 18 ||
        play_phase != 1) {
      state.PauseTiming();
      fill_field();
      state.ResumeTiming();
    }
    platform::cls();
    draw_backdrop();
    update_game();
    draw_hud();
    draw_retro_lines(2);
    platform::flip(0);
  }
  state.counters["particles"] = static_cast<double>(particle_list.size());
}
BENCHMARK(BM_PlayingFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same frame with nothing on the field, to tell the field's share from
// the cost of the backdrop, the border and presenting.
void BM_EmptyFrame(benchmark::State& state) {
  static const bool ready = bring_up();
  if (!ready) {
    state.SkipWithError("no display");
    return;
  }
  for (auto _ : state) {
    platform::cls();
    draw_backdrop();
    draw_hud();
    draw_retro_lines(2);
    platform::flip(0);
  }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
