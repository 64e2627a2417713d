// What sets the insect kinds apart: their timing, how each enters the field
// and how each flies across it.
#pragma once

#include "world/insect.h"

// Whole frames to wait before the next appearance of this kind.
int insect_waiting_time(int typ);
// The kind's stage gate: below this stage its step does not run at all.
int insect_first_stage(int typ);

// Sets the start values of an insect that enters the field now.
void insect_enter(insect_tag& insect);
// One frame of an insect on the field: move, draw, leave when done.
void insect_fly(insect_tag& insect);
