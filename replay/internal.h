// What the replay files share with each other, and the parts of the
// platform's seam (platform/automation.h) they work on. Only replay/ and its
// tests include this header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "replay/input_script.h"
#include "replay/replay.h"
#include "replay/replay_file.h"

namespace replay::detail {

using platform::detail::InputSnapshot;
using platform::detail::InputSource;
using platform::detail::joy_button_count;
using platform::detail::JoyPort;
using platform::detail::key_count;
using platform::detail::KeysAndMouse;
using platform::detail::mouse_button_count;
using platform::detail::Press;
using platform::detail::WindowFlags;

// Puts the replay machinery's hooks into the platform, once.
void install_hooks();

// --- the script (script_player.cpp) ------------------------------------------
using Ports = std::array<std::optional<JoyPort>, script_port_count>;
// Applies one event to the input state, the joystick events to `ports`.
void apply_event(const ScriptEvent& e, Ports& ports);
// The loaded script as an input source, or null.
InputSource* loaded_script_source();
// The game's state as one line of JSON ("{}" when no dumper is set).
std::string dump_state();

// --- input changes (input_changes.cpp) ---------------------------------------
// The events, in the order a script applies them, that take the input state
// `before` to `after` (tick 0: the caller stamps them).
std::vector<ScriptEvent> input_changes(const InputSnapshot& before,
                                       const InputSnapshot& after);

// --- recording (input_record.cpp) ------------------------------------------
bool input_recording();
// Appends one "#!" line to the recording.
void record_meta_line(const std::string& line);
// Hash of every event line recorded so far.
std::uint32_t recorded_events_hash();
// Writes what is buffered if a second has passed since the last write, or
// at once with `now`.
void flush_recording(bool now);
// Writes what is left and closes the file.
void close_recording();
// An online game's final tick: its check line (the hashes, and the events
// recorded before it) when it has one, then its events.
void record_final_events(long tick, const std::optional<StateChecks>& hashes,
                         const std::vector<ScriptEvent>& events);

// --- checks (replay_checks.cpp) ---------------------------------------------
// The loaded script's replay lines and events, checked as the game plays.
void check_replay(ReplayMeta meta, const std::vector<ScriptEvent>& events);
// A tick has begun: checks, recorded checks, state dumps and flushes.
void replay_tick(long tick);
// The program ends in order: the closing line is written or compared.
void replay_program_end();
// The program ends without its display: the recording and the dumps are
// written as they stand, with no closing line.
void replay_program_cut();
// A repeated replay's run ends: a state dump, and its closing line compared.
void replay_run_end();
// Hash of a sequence of event lines, as the checks' "events" field: start
// from Fnv1a::start and add one line after the other.
std::uint32_t events_hash(std::uint32_t hash, const std::string& line);

// --- timedemo (frame_times.cpp) ---------------------------------------------
// A frame was presented.
void frame_presented();
struct FrameFigures {
  long frames = 0;
  double seconds = 0, fps = 0;
  double mean_ms = 0, median_ms = 0, p99_ms = 0, max_ms = 0;
  long slowest_frame = 0;     // counted from 1
  long frames_over_60hz = 0;  // longer than a 60 Hz display's frame
  double draw_calls_per_frame = 0, quads_per_frame = 0;
};
FrameFigures frame_figures();
// The figures of frame times in ms, in the order the frames were shown.
FrameFigures figures_of(const std::vector<double>& ms);
// Prints the figures of the run on stdout if frames are being timed, and
// keeps them for the spread.
void report_frame_times();
// Timing starts over for another run of the same replay.
void time_next_run();
// Prints the spread of the runs' figures if more than one run was timed.
void report_frame_spread();

}  // namespace replay::detail
