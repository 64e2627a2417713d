// The wait while the window is inactive, shared by the intro and the loop.
#pragma once

// Returns at once if the window is active, else once it is active again.
// Returns false if the player closed the window meanwhile.
bool hold_while_suspended();
