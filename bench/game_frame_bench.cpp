// The cost of the game's frame, stage by stage: each benchmark draws the
// frame up to one stage and presents it, so a stage costs the difference to
// the one before. Stages: present (clear and present only), static (backdrop
// and border), field (a full field with its effects), hud, retro (the retro
// lines: the whole frame). Flat and stereo; VERMIX_BENCH_SCALE=2 in the
// environment gives a window at scale 2. Beside them, what a rollback pays:
// one save and one load of the game snapshot on that field, one whole
// frame of the main loop drawn and muted (re-simulated), and a frame that
// rolls back 8 ticks.
//
// The time columns are real time and the CPU time of the whole process (the
// software GL draws on threads of its own); the counters give the median,
// 99th percentile and maximum of single frames, real and CPU, in ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/frame.h"
#include "app/game_flow.h"
#include "app/game_snapshot.h"
#include "app/shell.h"
#include "platform/automation.h"
#include "render/anaglyph.h"
#include "world/world.h"

namespace {

enum Stage { present_only, static_layer, field, hud, retro };

bool bring_up() {
  platform::RunOptions options;
  options.window = true;
  options.fast = true;
  if (const char* scale = std::getenv("VERMIX_BENCH_SCALE")) {
    options.scale = std::atoi(scale);
  }
  if (!start_up(options)) return false;
  platform::seed_rnd(1);
  versus_mode = 0;
  game_state = state_playing;
  player_tag::reset(1);
  hologram_intensity = 4;
  retro_lines = 1;
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

bool field_thinned() {
  return particle_list.size() < 200 || crawler_list.size() < 18 ||
         play_phase != 1;
}

void draw_frame(Stage stage) {
  if (stage == present_only) {
    platform::cls();
  } else {
    draw_backdrop();
  }
  if (stage >= field) update_game();
  if (stage >= hud) draw_hud();
  if (stage >= retro) draw_retro_lines(2);
  platform::flip(0);
}

double process_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 +
         static_cast<double>(t.tv_nsec) * 1e-6;
}

double real_ms() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch())
      .count();
}

void report(benchmark::State& state, const char* kind,
            std::vector<double>& frames) {
  if (frames.empty()) return;
  std::sort(frames.begin(), frames.end());
  const auto at = [&](double q) {
    return frames[static_cast<std::size_t>(q * (frames.size() - 1))];
  };
  const std::string k = kind;
  state.counters[k + "_p50"] = at(0.5);
  state.counters[k + "_p99"] = at(0.99);
  state.counters[k + "_max"] = frames.back();
}

void BM_Frame(benchmark::State& state) {
  static const bool ready = bring_up();
  if (!ready) {
    state.SkipWithError("no display");
    return;
  }
  const auto stage = static_cast<Stage>(state.range(0));
  stereo_mode = static_cast<int>(state.range(1));
  anaglyph_settings(0);
  fill_field();
  draw_frame(stage);  // textures and glyphs made before timing
  std::vector<double> real, cpu;
  for (auto _ : state) {
    if (stage >= field && field_thinned()) {
      state.PauseTiming();
      fill_field();
      state.ResumeTiming();
    }
    const double r0 = real_ms();
    const double c0 = process_cpu_ms();
    draw_frame(stage);
    cpu.push_back(process_cpu_ms() - c0);
    real.push_back(real_ms() - r0);
  }
  report(state, "real", real);
  report(state, "cpu", cpu);
}
BENCHMARK(BM_Frame)
    ->ArgNames({"stage", "stereo"})
    ->ArgsProduct({{present_only, static_layer, field, hud, retro}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2.0);

// The game up (once), in stereo on a full field; false if no display opened.
bool full_stereo_field(benchmark::State& state) {
  static const bool ready = bring_up();
  if (!ready) {
    state.SkipWithError("no display");
    return false;
  }
  stereo_mode = 1;
  anaglyph_settings(0);
  fill_field();
  return true;
}

// The snapshot of a full field in stereo: saved (arg 0) or loaded (arg 1).
void BM_Snapshot(benchmark::State& state) {
  if (!full_stereo_field(state)) return;
  GameSnapshot snapshot;
  save_game(snapshot);
  const bool load = state.range(0) == 1;
  for (auto _ : state) {
    if (load) {
      load_game(snapshot);
    } else {
      save_game(snapshot);
    }
    benchmark::ClobberMemory();
  }
  state.counters["particles"] = static_cast<double>(particle_list.size());
}
BENCHMARK(BM_Snapshot)
    ->ArgName("load")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// One pass of the main loop on a full field in stereo with retro lines,
// drawn (arg 0) or muted as a re-simulated frame is (arg 1).
void BM_MainLoopFrame(benchmark::State& state) {
  if (!full_stereo_field(state)) return;
  run_frame();
  platform::detail::set_resimulating(state.range(0) == 1);
  for (auto _ : state) {
    if (field_thinned()) {
      state.PauseTiming();
      fill_field();
      state.ResumeTiming();
    }
    run_frame();
  }
  platform::detail::set_resimulating(false);
}
BENCHMARK(BM_MainLoopFrame)
    ->ArgName("muted")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The frame of a rollback of 8 ticks on that field, as an online game pays
// it: the snapshot loaded, 8 frames played again muted with a snapshot kept
// after each, and the present frame drawn.
void BM_RollbackFrame(benchmark::State& state) {
  if (!full_stereo_field(state)) return;
  run_frame();
  GameSnapshot from, kept;
  for (auto _ : state) {
    state.PauseTiming();
    if (field_thinned()) fill_field();
    save_game(from);
    state.ResumeTiming();
    load_game(from);
    platform::detail::set_resimulating(true);
    for (int i = 0; i < 8; ++i) {
      run_frame();
      save_game(kept);
    }
    platform::detail::set_resimulating(false);
    run_frame();
  }
}
BENCHMARK(BM_RollbackFrame)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
