// online.cfg in the folder for saved files: the player's settings of online
// play, a small text file of "key = value" lines that the player writes and
// the game only reads.
//
//   # lines starting with # are comments
//   server = play.vermix.org:4762   # the room server, HOST[:PORT]
//   name = Ada                      # the name for the world's high scores
//   online-scores = yes             # yes or no: send solo games' scores
#pragma once

#include <string>
#include <string_view>
#include <vector>

constexpr const char* online_settings_name = "online.cfg";
constexpr const char* default_room_server = "play.vermix.org:4762";
constexpr std::size_t longest_player_name = 20;

struct OnlineSettings {
  std::string server = default_room_server;  // HOST[:PORT]
  std::string name;                          // "" when none is set
  bool online_scores = false;
};

// The settings that `text` sets over the defaults. Each line that is not a
// setting, a comment or blank, names an unknown key, repeats one, or gives a
// value the key does not take is skipped, with the reason and its line
// number in `faults`.
OnlineSettings parse_online_settings(std::string_view text,
                                     std::vector<std::string>& faults);

// The settings of the file, read on the first call (once the data folders
// are chosen): the defaults when there is none, each fault named once on
// stderr. A "#" after a space begins a comment, as at a line's start.
const OnlineSettings& online_settings();
