// The whole program: start-up, the logo, one frame per pass of the main loop
// until the player quits, and the orderly end.
#include <iostream>

#include "app/frame.h"
#include "app/high_score.h"
#include "app/replay_settings.h"
#include "app/shell.h"
#include "app/window_file.h"
#include "render/anaglyph.h"
#include "replay/replay.h"
#include "world/world.h"

namespace {

void run_main_loop(const MainLoop& main_loop) {
  if (main_loop) {
    main_loop();
    return;
  }
  do {
    run_frame();
  } while (quit_requested == 0);
}

// What the end writes. A replay plays with the recorded high score and
// settings: the player's own files are left as they were. Files only, from
// plain values: the platform runs this itself where the game ends without
// its display.
void save_player_files() {
  if (replay::playing_replay()) return;
  anaglyph_settings(2);
  save_high_score();
  save_window_layout();
}

// The music stops and half a second of silence follows before the files are
// written.
[[noreturn]] void shut_down() {
  if (platform::channel_playing(music_channel) != 0) {
    platform::stop_channel(music_channel);
    platform::delay(500);
  }
  platform::save_files();
  platform::end_program();
}

// The settings and high score as the files (or the replay) give them, the
// opening logo, then the title and play until the player quits. Until they
// are loaded there is nothing to save.
void play_from_the_start(const MainLoop& main_loop) {
  anaglyph_settings(1);
  load_high_score();
  settle_replay_settings();
  platform::set_file_saves(save_player_files);
  play_intro(-25);
  game_state = state_title;
  platform::move_mouse(320, 260);
  run_main_loop(main_loop);
}

// A repeated timedemo's next run: the replay from its first tick, on a
// fresh game seeded as the first.
void start_again(int seed) {
  platform::stop_channel(music_channel);
  replay::replay_again();
  reset_play();
  joystick_count = platform::joy_count();
  platform::seed_rnd(seed);
}

}  // namespace

int run_game(const platform::RunOptions& options, std::optional<int> seed,
             int runs, const MainLoop& main_loop,
             const std::function<void()>& opened) {
  const int seed_used = seed ? *seed : platform::millisecs();
  if (!start_up(options, seed_used)) {
    std::cerr << "vermix: the display could not be opened\n";
    return 1;
  }
  if (opened) opened();
  for (int run = 1; run < runs; ++run) {
    play_from_the_start(main_loop);
    start_again(seed_used);
  }
  play_from_the_start(main_loop);
  shut_down();
}
