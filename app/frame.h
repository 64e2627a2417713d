// One pass of the main loop, callable on its own: the offline loop runs it
// until the player quits, and a rollback runs it again, muted, to re-simulate.
#pragma once

// Backdrop, the state's update, score line, retro lines, the presented frame,
// the keys that act in every state, and the wait while the window is
// inactive. Ends on a frame boundary, where a snapshot may be taken.
void run_frame();
// True while the frame's own flip begins the next tick: the boundary where
// a rollback may keep the state (the waits and the logo begin ticks too).
bool at_frame_boundary();
