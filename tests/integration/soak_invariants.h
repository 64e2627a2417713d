// The rules every state dump of a long run must keep. Each check returns one
// message per broken rule, naming the dump's tick; none when all hold.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace soak {

using Faults = std::vector<std::string>;

// Any dump: lives 0..12 and scores never negative; every mushroom slot empty
// or standing on a free cell of the mushroom grid, worn by its hits; the
// crawler's speed and length those of the stage, and every segment's last
// decision point on the crawler grid.
Faults check_dump(const nlohmann::json& d);

// The dump taken the frame after a game was started from the title: the
// reset left no particles, pop-ups or old segments, only a fresh chain.
Faults check_fresh_game(const nlohmann::json& d);

// Two dumps in order: time runs forward and the high score never falls.
Faults check_step(const nlohmann::json& before, const nlohmann::json& after);

}  // namespace soak
