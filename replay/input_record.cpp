// Recording: every change the input sources make to the input state is
// written as script events, tick-stamped, so that the script plays the same
// game. The platform's input hook shows each tick's read, once a tick, at
// the tick's first input read, which is where a script applies its events.
#include <chrono>

#include "platform/platform.h"
#include "replay/fnv1a.h"
#include "replay/internal.h"
#include "replay/output_file.h"

namespace replay {
namespace {

struct Recording {
  bool on = false;
  // Closed by a failed write: the game is recorded on, nothing is written.
  detail::OutputFile file;
  std::string pending;  // whole lines not yet written
  std::uint32_t events = 0;
  std::chrono::steady_clock::time_point last_write;
};

Recording recording;

void record_event(detail::ScriptEvent e) {
  e.tick = platform::current_tick();
  const std::string line = detail::format_script_event(e);
  recording.events = detail::events_hash(recording.events, line);
  recording.pending += line + '\n';
}

void write_pending() {
  if (!recording.on) return;
  if (!recording.pending.empty()) recording.file.write(recording.pending);
  recording.pending.clear();
  recording.last_write = std::chrono::steady_clock::now();
}

}  // namespace

bool start_recording(const std::string& path, std::string& error) {
  if (!recording.file.open(path, false, error)) {
    error = "cannot write the replay " + path + ": " + error;
    return false;
  }
  recording.on = true;
  recording.pending.clear();
  recording.events = Fnv1a::start;
  detail::record_meta_line("#! vermix-replay " +
                           std::to_string(detail::replay_format_version));
  detail::record_meta_line(std::string("#! game ") + VERMIX_VERSION);
  write_pending();
  platform::detail::set_input_hook([](const detail::InputSnapshot& before,
                                      const detail::InputSnapshot& after) {
    for (const detail::ScriptEvent& e : detail::input_changes(before, after))
      record_event(e);
  });
  detail::install_hooks();
  return true;
}

void record_setting(const std::string& name, const std::string& value) {
  if (recording.on)
    detail::record_meta_line("#! setting " + name + " " + value);
}

namespace detail {

bool input_recording() { return recording.on; }

void record_meta_line(const std::string& line) {
  recording.pending += line + '\n';
}

std::uint32_t recorded_events_hash() { return recording.events; }

void flush_recording(bool now) {
  if (!recording.on) return;
  if (now || std::chrono::steady_clock::now() - recording.last_write >=
                 std::chrono::seconds(1)) {
    write_pending();
  }
}

void record_final_events(long tick, const std::optional<StateChecks>& hashes,
                         const std::vector<ScriptEvent>& events) {
  if (!recording.on) return;
  if (hashes) {
    StateCheck check{tick, *hashes};
    check.fields.emplace_back("events", recording.events);
    record_meta_line(format_check_line("check", check));
  }
  for (ScriptEvent e : events) {
    e.tick = tick;
    const std::string line = format_script_event(e);
    recording.events = events_hash(recording.events, line);
    recording.pending += line + '\n';
  }
  flush_recording(false);
}

void close_recording() {
  if (!recording.on) return;
  write_pending();
  recording.file.close();
  recording.on = false;
  platform::detail::set_input_hook(nullptr);
}

}  // namespace detail
}  // namespace replay
