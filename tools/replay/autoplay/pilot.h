// A one-player game played with the mouse, well enough to clear stage after
// stage. It watches the field every tick and answers like a quick hand: the
// pointer may jump anywhere on the display in one frame, and a shot starts
// where the pointer was read, so it can be fired close to its target.
#pragma once

#include "tools/replay/autoplay/tick_lines.h"

// Input for one tick while a one-player game is in its action phase. With
// `spare_last_segment` the crawler's last segment is left alive (the stage
// goes on, so insects get time to come out).
void pilot_tick(TickLines& out, bool spare_last_segment = false);

// Input that takes the title, pause and game-over screens on into a new
// one-player game, `since` ticks after the screen was first seen.
void menu_tick(TickLines& out, long since);
