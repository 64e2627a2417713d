// State shared by the input modules: keys, mouse, joystick ports, the
// window's suspension and close request, and the two sources that feed them
// (the system's events, or an input script). Game code never includes this.
#pragma once

#include <SDL.h>

#include <array>
#include <functional>
#include <string>

namespace platform::detail {

// One key or button: held or not, and presses not yet asked for. A press
// is an up-to-down change, so a repeated "down" does not count again.
struct Press {
  bool down = false;
  int hits = 0;

  void set(bool now_down) {
    if (now_down && !down) ++hits;
    down = now_down;
  }
  int take() {
    const int h = hits;
    hits = 0;
    return h;
  }
};

constexpr int key_count = 256;
constexpr int mouse_button_count = 3;  // 1 left, 2 right, 3 middle
constexpr int joy_button_count = 17;   // 0..16

struct KeysAndMouse {
  std::array<Press, key_count> keys{};
  std::array<Press, mouse_button_count + 1> mouse{};  // index 0 unused
  int x = 0;                                          // pointer, display pixels
  int y = 0;
};
KeysAndMouse& keys_and_mouse();

// One joystick port as the game reads it; axes in -1..1.
struct JoyPort {
  std::array<Press, joy_button_count> buttons{};
  float x = 0.0f;
  float y = 0.0f;
};

// --- window state (app_events.cpp) ---------------------------------------
// Suspends or resumes; a change clears the key and mouse states.
void set_suspended(bool suspended);
// A close request; a standing one is never cleared (the orderly end).
void request_close(bool standing);
// Back to the start: not suspended, no close requested.
void reset_window_state();
struct WindowFlags {
  bool suspended = false;
  bool close_requested = false;
  bool close_standing = false;  // the orderly end: never cleared
};
WindowFlags window_flags();
// How often the key and mouse states have been cleared (input.cpp).
unsigned key_mouse_clears();

// --- system events (system_events.cpp, joysticks.cpp) ----------------------
// Starts SDL's event, joystick and controller services once.
void ensure_sdl_input();
// Handles every pending SDL event.
void pump_system_events();
// Discards SDL's pending events but for the window keys (Alt+Enter, F11).
void drain_system_events();
// Follows the joystick devices as they come and go.
void sync_joysticks();
// Devices added or removed, and button changes.
void handle_joystick_event(const SDL_Event& event);
int device_joy_count();
// Null if absent. The axes are read afresh, except while recording: then
// they are read with the other sources, by read_device_axes.
JoyPort* device_joy_port(int port);
void read_device_axes();

// --- input script (script_player.cpp) --------------------------------------
// Applies the script events that are due.
void apply_due_script_events();
int script_joy_count();
JoyPort* script_joy_port(int port);

// --- run options (run_options.cpp) ------------------------------------------
// Counts ticks from 0 again (a script's ticks count from its start).
void restart_ticks();
// The game's state as one line of JSON ("{}" when no dumper is set).
std::string dump_state();

}  // namespace platform::detail
