// Input scripts, replays, recording, state dumps and timedemo figures: the
// game played from a file or written down as it is played. This is the face
// the game sees; the machinery plugs into the platform through
// platform/automation.h, which the platform never reaches back across.
//
// A replay is an input script the recorder wrote, with the seed and settings
// it was played with and checks of the game's state (every 60 ticks and at
// the end). Playing one with load_input_script compares the checks and stops
// the program at the first difference: status 3 and "replay diverges at tick
// T" on stderr. A replay cut short stops after its last line with status 4.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace replay {

// Drives input from a script file instead of the real devices (which are then
// ignored). Returns false with a message naming the bad line in `error`.
bool load_input_script(const std::string& path, std::string& error);
bool script_active();

// The game's state as one line of JSON, written by the script's `dump` event.
void set_state_dumper(std::function<std::string()> dumper);

// Starts writing every input event the game consumes to `path`, from the
// real devices or from the script. False with the reason in `error` if the
// file cannot be written.
bool start_recording(const std::string& path, std::string& error);
// A setting that changes play, written into the recording.
void record_setting(const std::string& name, const std::string& value);
// True while a replay (not a plain script) is played, or another machine's
// settings are played with: they are not this player's, so they are never
// saved.
bool playing_replay();
// Plays with these settings, as a replay's (an online guest plays with its
// host's).
void play_with_settings(
    const std::vector<std::pair<std::string, std::string>>& settings);
// A replay that diverges, and a game found to differ, end with this.
constexpr int diverges_status = 3;
// The recording and the dumps end where they are, without their closing
// lines, as a killed game's do.
void close_outputs_cut();
// A setting of the loaded replay; nothing for a plain script.
std::optional<std::string> replay_setting(const std::string& name);
// Named hashes of the game's state for the checks; must not read input.
using StateChecks = std::vector<std::pair<std::string, std::uint32_t>>;
void set_state_checker(std::function<StateChecks()> checker);
// The state hashes the replays check (fields and the random generator),
// taken now, without the events.
StateChecks state_hashes_now();
// Online games: the live checks and dumps of each tick are off; these write
// them for final ticks instead.
void set_online_outputs(bool on);
bool dump_due(long tick);
std::string state_dump_now();
void write_dump(const std::string& json);
// Appends a state dump to `path` whenever the tick is a multiple of
// `every`, and once more at the end. False if `path` cannot be written.
bool dump_state_every(int every, const std::string& path, std::string& error);
// Times every presented frame and prints the figures at the end.
void time_frames();
// A timedemo's run is over and another follows: the run's end is checked as
// a replay's end is and its figures are printed; then the script starts over
// from tick 0 with nothing held, and the drawing state is as a fresh
// display's. A script that can no longer be read stops the program with
// status 2. At the end the spread of all runs is printed too.
void replay_again();

}  // namespace replay
