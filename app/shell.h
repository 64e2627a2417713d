// Start-up, the opening logo, the main loop's own steps and shut-down: the
// chief header of app/, the top floor, which brings the world, its actors,
// enemies and drawing, the replay machinery and the platform together.
#pragma once

#include <functional>
#include <optional>

#include "platform/platform.h"

// Runs the whole program with the given options; returns the exit status.
// Without a seed the random generator is seeded from the clock. A timedemo
// may play its replay `runs` times, each from a fresh start. `main_loop`
// plays from the title on in place of the plain loop of frames (a synctest,
// an online game) until the player quits. `opened` runs once the window is
// open, before the logo (an online host waits for its guest there).
using MainLoop = std::function<void()>;
int run_game(const platform::RunOptions& options,
             std::optional<int> seed = std::nullopt, int runs = 1,
             const MainLoop& main_loop = {},
             const std::function<void()>& opened = {});

// The start-up steps up to and including load_assets: embedded files, the
// display, every shared object, the font, images and sounds. Returns false if
// the display cannot be opened. Tests use it to bring the game up in-process.
bool start_up(const platform::RunOptions& options,
              std::optional<int> seed = std::nullopt);

// Every value and object of play as start-up makes it, the music channel a
// new idle one; the display, images and sounds stay as they are.
void reset_play();
int load_assets();
int play_intro(int y_offset);
int draw_backdrop();
int check_hotkeys();
int wait_if_suspended();
