// window.dat in the folder for saved files: full screen or a window, and the
// window's size, as the player left them.
#pragma once

#include "platform/platform.h"

// The run options with the kept choice taken in: a window when the last run
// ended in one (unless --window already asks for it), at its kept size
// unless --scale gives one. A missing or bad file changes nothing.
platform::RunOptions with_kept_window(platform::RunOptions options);
// Keeps the window's layout for the next start.
void save_window_layout();
