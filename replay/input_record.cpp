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

// The downs and ups that take `before` to `after`, its new presses included.
void record_press(detail::ScriptEvent e, const detail::Press& before,
                  const detail::Press& after) {
  bool down = before.down;
  const int presses =
      after.hits >= before.hits ? after.hits - before.hits : after.hits;
  auto change = [&](bool now_down) {
    e.down = now_down;
    record_event(e);
    down = now_down;
  };
  for (int i = 0; i < presses; ++i) {
    if (down) change(false);
    change(true);
  }
  if (down != after.down) change(after.down);
}

void record_focus(bool lost) {
  detail::ScriptEvent e;
  e.action = lost ? detail::ScriptAction::focus_lost
                  : detail::ScriptAction::focus_gained;
  record_event(e);
}

// A suspension or resumption clears keys and buttons: a focus event stands
// for each, and the key changes count from the cleared state.
void record_window(const detail::InputSnapshot& before,
                   const detail::InputSnapshot& after,
                   detail::KeysAndMouse& base) {
  const bool suspended = after.window.suspended;
  if (suspended != before.window.suspended) {
    record_focus(suspended);
  } else if (after.clears != before.clears) {
    record_focus(!suspended);
    record_focus(suspended);
  }
  if (after.clears != before.clears) {
    base.keys = {};
    base.mouse = {};
  }
}

void record_keys_and_mouse(const detail::KeysAndMouse& before,
                           const detail::KeysAndMouse& after) {
  using detail::ScriptAction;
  if (before.x != after.x || before.y != after.y) {
    detail::ScriptEvent e;
    e.action = ScriptAction::mouse;
    e.code = after.x;
    e.index = after.y;
    record_event(e);
  }
  detail::ScriptEvent e;
  e.action = ScriptAction::key;
  for (e.code = 0; e.code < detail::key_count; ++e.code)
    record_press(e, before.keys[e.code], after.keys[e.code]);
  e.action = ScriptAction::mouse_button;
  for (e.code = 1; e.code <= detail::mouse_button_count; ++e.code)
    record_press(e, before.mouse[e.code], after.mouse[e.code]);
}

void record_port(int p, const std::optional<detail::JoyPort>& before,
                 const std::optional<detail::JoyPort>& after) {
  using detail::ScriptAction;
  detail::ScriptEvent e;
  e.code = p;
  if (before.has_value() != after.has_value()) {
    e.action = after ? ScriptAction::joy_connect : ScriptAction::joy_disconnect;
    record_event(e);
  }
  if (!after) return;
  // A port that has just appeared starts at rest, as a script's does.
  const detail::JoyPort from = before.value_or(detail::JoyPort{});
  e.action = ScriptAction::joy_axis;
  for (e.index = 0; e.index < 2; ++e.index) {
    e.value = e.index == 0 ? after->x : after->y;
    if (e.value != (e.index == 0 ? from.x : from.y)) record_event(e);
  }
  e.action = ScriptAction::joy_button;
  for (e.index = 0; e.index < detail::joy_button_count; ++e.index)
    record_press(e, from.buttons[e.index], after->buttons[e.index]);
}

void record_close(const detail::WindowFlags& before,
                  const detail::WindowFlags& after) {
  detail::ScriptEvent e;
  if (after.close_standing && !before.close_standing) {
    e.action = detail::ScriptAction::end;
  } else if (after.close_requested && !before.close_requested) {
    e.action = detail::ScriptAction::close;
  } else {
    return;
  }
  record_event(e);
}

// One tick's input read: what changed from `before` to `after`.
void record_tick(const detail::InputSnapshot& before,
                 const detail::InputSnapshot& after) {
  detail::KeysAndMouse base = before.keys_and_mouse;
  record_window(before, after, base);
  record_keys_and_mouse(base, after.keys_and_mouse);
  for (int p = 0; p < platform::detail::joy_port_count; ++p)
    record_port(p, before.ports[p], after.ports[p]);
  record_close(before.window, after.window);
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
  platform::detail::set_input_hook(record_tick);
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

void close_recording() {
  if (!recording.on) return;
  write_pending();
  recording.file.close();
  recording.on = false;
  platform::detail::set_input_hook(nullptr);
}

}  // namespace detail
}  // namespace replay
