// The platform as the replay machinery (replay/) plugs into it: the input
// state that a source fills, where input comes from (the devices or another
// source), and the hooks that see each tick begin, each tick's input as read,
// each presented frame and the orderly end. Game code includes platform.h
// only; nothing here exposes SDL, OpenGL or OpenAL types.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <optional>
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
constexpr int joy_port_count = 16;     // ports a source may fill, 0..15

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

struct WindowFlags {
  bool suspended = false;
  bool close_requested = false;
  bool close_standing = false;  // the orderly end: never cleared
};
WindowFlags window_flags();
// Suspends or resumes; a change clears the key and mouse states.
void set_suspended(bool suspended);
// A close request; a standing one is never cleared (the orderly end).
void request_close(bool standing);
// Back to the start: not suspended, no close requested.
void reset_window_state();
// Clears key and mouse states and counts how often that happened.
void clear_key_mouse_state();
unsigned key_mouse_clears();

// --- Where input comes from ------------------------------------------------
// A source other than the devices (an input script): it applies its events
// to the input state, and its joysticks are ports of its own.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // Applies what is due by `tick`; asked at every input read.
  virtual void read(long tick) = 0;
  virtual int joy_count() = 0;
  virtual JoyPort* joy_port(int port) = 0;  // null if absent
};
// Null: the devices again. While a source drives input, the system's events
// are discarded unread and the real pointer is never moved.
void set_input_source(InputSource* source);

// --- What a recorder sees ---------------------------------------------------
// The input state as the game would read it.
struct InputSnapshot {
  KeysAndMouse keys_and_mouse;
  std::array<std::optional<JoyPort>, joy_port_count> ports;
  WindowFlags window;
  unsigned clears = 0;
};
// While a hook is set, input is read once a tick, at the tick's first input
// read (where a source's events of the tick apply), the joystick axes with
// the rest; the hook sees the state before and after that read. Empty: read
// at every input read again.
using InputHook = std::function<void(const InputSnapshot& before,
                                     const InputSnapshot& after)>;
void set_input_hook(InputHook hook);

// --- Ticks, frames and the end ---------------------------------------------
// A tick has begun: a frame was presented or a waiting loop went round.
void set_tick_hook(std::function<void(long tick)> hook);
// A frame was presented.
void set_frame_hook(std::function<void()> hook);
// The program ends in order (end_program), before the display closes.
void set_end_hook(std::function<void()> hook);
// The program ends without its display (lost, or a stop signal found it
// stuck): what the hook writes is kept, but no closing line, as for a game
// that was killed. Runs at most once, perhaps on another thread than the
// game's, in place of the end hook.
void set_cut_hook(std::function<void()> hook);
// Counts ticks from 0 again (a script's ticks count from its start).
void restart_ticks();

// --- Services ----------------------------------------------------------------
// The display as last presented, as PNG at a host path.
bool write_screenshot(const std::string& path);
int random_state();
// The drawing state as a freshly opened display's.
void reset_draw_state();
// The display closes and the process exits with `status`.
[[noreturn]] void exit_program(int status);
// Draw calls and quads sent to GL since the renderer started.
long draw_calls();
long quads_drawn();

// --- Host files
// ---------------------------------------------------------------- Outputs and
// scripts by host path, UTF-8 on every system: fopen with its modes, a file cut
// back to `size` bytes, and whether a folder stands there.
std::FILE* open_host_file(const std::string& host, const char* mode);
bool truncate_host_file(const std::string& host, long size);
bool is_host_folder(const std::string& host);

}  // namespace platform::detail
