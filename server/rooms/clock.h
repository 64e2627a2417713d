// The one clock the rooms run on: steady, so a changed wall clock moves
// no deadline. Every call takes `now`, which keeps the rooms testable.
#pragma once

#include <chrono>

namespace server::rooms {

using Clock = std::chrono::steady_clock;
using Time = Clock::time_point;

}  // namespace server::rooms
