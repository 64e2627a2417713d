// The game's state as named hashes, for the checks of replays.
#pragma once

#include "platform/platform.h"

platform::StateChecks state_checks();
