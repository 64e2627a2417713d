// Replays: input scripts written by the recorder, with lines of their own
// that start "#!" (older script readers skip them as comments).
//
//   #! vermix-replay 1          format version; the first "#!" line
//   #! game 1.0.0               the game version that recorded it
//   #! setting NAME VALUE       a setting the replay is played with
//   #! check T NAME=HASH ...    the game's state as the tick T began
//   #! end T NAME=HASH ...      the closing line: the game ended at tick T
//                               in this state
//
// A HASH is 8 hex digits. A replay without its closing line was cut short
// (the game was killed or crashed): it plays up to its last line.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace replay::detail {

constexpr int replay_format_version = 1;

struct StateCheck {
  long tick = 0;
  std::vector<std::pair<std::string, std::uint32_t>> fields;
};

struct ReplayMeta {
  int format = 0;  // 0: a plain script, not a replay
  std::string game;
  std::map<std::string, std::string> settings;
  std::vector<StateCheck> checks;  // in tick order
  std::optional<StateCheck> closing;
  long last_tick = -1;  // of any event, check or closing line
};

// Reads the "#!" lines and the last tick of `text`. False with a message
// naming the file and line in `error` for a bad line or another format.
bool parse_replay_meta(const std::string& text, const std::string& file_name,
                       ReplayMeta& meta, std::string& error);

// "#! check T a=0000abcd ..." or, with `kind` "end", the closing line.
std::string format_check_line(const char* kind, const StateCheck& check);

// The first field of `recorded` that `now` does not match: its name, or
// empty if they agree. A field missing on either side differs.
std::string first_difference(const StateCheck& recorded, const StateCheck& now);

}  // namespace replay::detail
