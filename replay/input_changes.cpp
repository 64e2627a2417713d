// The input events that take one input state to another: what a recorder
// writes down of a tick's read, and what an online game sends of its
// player's devices.
#include "replay/internal.h"

namespace replay::detail {
namespace {

using Events = std::vector<ScriptEvent>;

// The downs and ups that take `before` to `after`, its new presses included.
void press_changes(ScriptEvent e, const Press& before, const Press& after,
                   Events& out) {
  bool down = before.down;
  const int presses =
      after.hits >= before.hits ? after.hits - before.hits : after.hits;
  auto change = [&](bool now_down) {
    e.down = now_down;
    out.push_back(e);
    down = now_down;
  };
  for (int i = 0; i < presses; ++i) {
    if (down) change(false);
    change(true);
  }
  if (down != after.down) change(after.down);
}

void focus_change(bool lost, Events& out) {
  ScriptEvent e;
  e.action = lost ? ScriptAction::focus_lost : ScriptAction::focus_gained;
  out.push_back(e);
}

// A suspension or resumption clears keys and buttons: a focus event stands
// for each, and the key changes count from the cleared state.
void window_changes(const InputSnapshot& before, const InputSnapshot& after,
                    KeysAndMouse& base, Events& out) {
  const bool suspended = after.window.suspended;
  if (suspended != before.window.suspended) {
    focus_change(suspended, out);
  } else if (after.clears != before.clears) {
    focus_change(!suspended, out);
    focus_change(suspended, out);
  }
  if (after.clears != before.clears) {
    base.keys = {};
    base.mouse = {};
  }
}

void key_mouse_changes(const KeysAndMouse& before, const KeysAndMouse& after,
                       Events& out) {
  if (before.x != after.x || before.y != after.y) {
    ScriptEvent e;
    e.action = ScriptAction::mouse;
    e.code = after.x;
    e.index = after.y;
    out.push_back(e);
  }
  ScriptEvent e;
  e.action = ScriptAction::key;
  for (e.code = 0; e.code < key_count; ++e.code)
    press_changes(e, before.keys[e.code], after.keys[e.code], out);
  e.action = ScriptAction::mouse_button;
  for (e.code = 1; e.code <= mouse_button_count; ++e.code)
    press_changes(e, before.mouse[e.code], after.mouse[e.code], out);
}

void port_changes(int p, const std::optional<JoyPort>& before,
                  const std::optional<JoyPort>& after, Events& out) {
  ScriptEvent e;
  e.code = p;
  if (before.has_value() != after.has_value()) {
    e.action = after ? ScriptAction::joy_connect : ScriptAction::joy_disconnect;
    out.push_back(e);
  }
  if (!after) return;
  // A port that has just appeared starts at rest, as a script's does.
  const JoyPort from = before.value_or(JoyPort{});
  e.action = ScriptAction::joy_axis;
  for (e.index = 0; e.index < 2; ++e.index) {
    e.value = e.index == 0 ? after->x : after->y;
    if (e.value != (e.index == 0 ? from.x : from.y)) out.push_back(e);
  }
  e.action = ScriptAction::joy_button;
  for (e.index = 0; e.index < joy_button_count; ++e.index)
    press_changes(e, from.buttons[e.index], after->buttons[e.index], out);
}

void close_change(const WindowFlags& before, const WindowFlags& after,
                  Events& out) {
  ScriptEvent e;
  if (after.close_standing && !before.close_standing) {
    e.action = ScriptAction::end;
  } else if (after.close_requested && !before.close_requested) {
    e.action = ScriptAction::close;
  } else {
    return;
  }
  out.push_back(e);
}

}  // namespace

std::vector<ScriptEvent> input_changes(const InputSnapshot& before,
                                       const InputSnapshot& after) {
  Events out;
  KeysAndMouse base = before.keys_and_mouse;
  window_changes(before, after, base, out);
  key_mouse_changes(base, after.keys_and_mouse, out);
  for (int p = 0; p < platform::detail::joy_port_count; ++p)
    port_changes(p, before.ports[p], after.ports[p], out);
  close_change(before.window, after.window, out);
  return out;
}

}  // namespace replay::detail
