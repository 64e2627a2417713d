// Input scripts: the game driven by a text file instead of the real devices.
//
// One event per line; blank lines and lines whose first non-blank character
// is '#' are ignored. Fields are separated by blanks. Every line starts with
// a tick T (a whole number >= 0). A tick is one presented frame or one pass of
// a waiting loop, counted from 0 when the script is loaded. The events of tick
// T are applied in file order at the first input read after tick T (T = 0:
// before the first frame). Lines need not come in tick order: a line of an
// earlier tick than the line before it still takes effect at its own tick.
//
//   T key CODE down|up          key by Windows virtual-key code, 0..255
//   T mouse X Y                 pointer to display pixel (X, Y)
//   T button B down|up          mouse button 1 left, 2 right, 3 middle
//   T joy P connect|disconnect  joystick port P (0..15) appears or goes away
//   T joy P axis A V            axis A (0 x, 1 y) of port P reads V,
//                               clamped to -1.0 .. 1.0
//   T joy P button B down|up    button B (0..16) of port P
//   T focus lost|gained         window deactivated (suspends) or activated
//   T close                     the player asks to close the window
//   T screenshot PATH           the display as last presented, as PNG
//   T dump PATH                 one JSON line of the game's state, appended
//   T end                       the orderly end, as when the window closes
//
// PATH is a host path relative to the working folder, without blanks. Joystick
// events for a port that is not connected are ignored. A down and an up of
// the same key or button in one tick count one press and leave it released.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace replay::detail {

enum class ScriptAction {
  key,
  mouse,
  mouse_button,
  joy_connect,
  joy_disconnect,
  joy_axis,
  joy_button,
  focus_lost,
  focus_gained,
  close,
  screenshot,
  dump,
  end,
};

struct ScriptEvent {
  long tick = 0;
  ScriptAction action = ScriptAction::end;
  int code = 0;   // key code, mouse button, joystick port, or pointer x
  int index = 0;  // joystick axis or button, or pointer y
  bool down = false;
  float value = 0.0f;  // joystick axis reading
  std::string path;
};

constexpr int script_port_count = 16;

// Parses a whole script. On a bad line returns false with a message naming
// `file_name`, the line number and the fault in `error`.
bool parse_input_script(const std::string& text, const std::string& file_name,
                        std::vector<ScriptEvent>& events, std::string& error);

// The event as one script line (without the line end), the inverse of the
// parser: an axis reading is written so that it reads back exactly.
std::string format_script_event(const ScriptEvent& event);

// A program that watches the game and answers with input (an automatic
// player): while a script runs, the feed is asked once per tick, at the
// tick's first input read and after the script's own events of that tick,
// for script lines of that tick; they apply at once. Lines written down with
// their tick play the same game again from a file.
using ScriptFeed = std::function<std::string(long tick)>;
void set_script_feed(ScriptFeed feed);

// Leaves script mode: the real devices drive input again, from a state with
// nothing held, not suspended and no close requested.
void stop_input_script();

}  // namespace replay::detail
