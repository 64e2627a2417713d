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
// Where a source stands, for a rollback to take it back there: its joystick
// ports and a few counters of its own (a script: the next event and the
// last tick fed). Fixed in size, so that keeping one a tick costs no heap.
struct SourceState {
  std::array<std::optional<JoyPort>, joy_port_count> ports{};
  std::array<long, 4> position{};
};

// A source other than the devices (an input script): it applies its events
// to the input state, and its joysticks are ports of its own.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // Applies what is due by `tick`; asked at every input read.
  virtual void read(long tick) = 0;
  virtual int joy_count() = 0;
  virtual JoyPort* joy_port(int port) = 0;  // null if absent
  // Where the source stands now, and back there: read(tick) then applies
  // again what it applied after the save.
  virtual void save(SourceState& state) const = 0;
  virtual void restore(const SourceState& state) = 0;
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
// An online game's own machine: its devices (or `local`, a script standing
// in for them, read at `tick`) read into `state` instead of the game's input
// state, which is left as it was.
void read_local_input(InputSource* local, long tick, InputSnapshot& state);

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

// --- Rollback ----------------------------------------------------------------
// Everything of the platform that play depends on at a frame boundary: the
// tick, the random generator, the input state and where the source stands,
// the window flags and the drawing state as the game set it (collisions
// read its turn and scale). The devices' own joysticks are not kept: a
// rolled-back game reads a source. The mask colour, image flags and font,
// set once at start-up, are not kept either.
struct DrawingValues {
  int r = 255, g = 255, b = 255;
  float alpha = 1.0f;
  int blend = 1;
  float rotation = 0.0f;
  float scale_x = 1.0f, scale_y = 1.0f;
};
struct PlatformState {
  long tick = 0;
  int random = 0;
  KeysAndMouse keys_and_mouse;
  WindowFlags window;
  unsigned clears = 0;
  long input_read_tick = -1;  // the tick input was last read at, under a hook
  bool has_source = false;
  SourceState source;
  DrawingValues drawing;
};
void save_platform_state(PlatformState& state);
void restore_platform_state(const PlatformState& state);
void restore_random_state(int state);

// An online session sees every tick begin, a re-simulated one too, before
// the tick hook: where it keeps the state and corrects its guesses.
void set_session_hook(std::function<void(long tick)> hook);
// SIGINT or SIGTERM has come (or the console's equivalent on Windows).
bool stop_requested();

// Re-simulation: ticks played again after a rollback, muted. Drawing,
// presenting, screenshots and sounds are skipped (the drawing state is still
// set), nothing sleeps or paces, and the tick, frame and input hooks are not
// called; ticks still count and input is still read from the source.
void set_resimulating(bool on);
bool resimulating();

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
