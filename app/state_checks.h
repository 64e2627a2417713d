// The game's state as named hashes, for the checks of replays.
#pragma once

#include "replay/replay.h"

replay::StateChecks state_checks();
