// The game's keyboard, mouse and joystick operations. Each brings the input
// state up to date first, from the system's events or from another input
// source; a recorder's hook sees each tick's read.
#include "platform/input/input.h"

#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/video/video.h"

namespace platform {
namespace detail {

KeysAndMouse& keys_and_mouse() {
  static KeysAndMouse state;
  return state;
}

namespace {
unsigned clears = 0;
}  // namespace

unsigned key_mouse_clears() { return clears; }
void restore_key_mouse_clears(unsigned count) { clears = count; }

void clear_key_mouse_state() {
  ++clears;
  KeysAndMouse& s = keys_and_mouse();
  s.keys = {};
  s.mouse = {};
}

namespace {

InputSource* source = nullptr;  // null: the devices
InputHook hook;
long last_read_tick = -1;  // the tick input was last read at, under a hook

void read_source() {
  if (stop_signal_caught()) request_close(true);
  if (source) {
    drain_system_events();
    source->read(platform::current_tick());
  } else {
    pump_system_events();
  }
}

JoyPort* source_port(int port) {
  return source ? source->joy_port(port) : device_joy_port(port);
}

InputSnapshot snapshot_of(InputSource* from) {
  InputSnapshot s;
  s.keys_and_mouse = keys_and_mouse();
  for (int p = 0; p < joy_port_count; ++p) {
    const JoyPort* port = from ? from->joy_port(p) : device_joy_port(p);
    if (port) s.ports[p] = *port;
  }
  s.window = window_flags();
  s.clears = key_mouse_clears();
  return s;
}

InputSnapshot snapshot() { return snapshot_of(source); }

// Once a tick: the hook sees the state before and after the tick's read,
// but for a re-simulated tick, which it saw when it first played.
void read_watched() {
  const long tick = platform::current_tick();
  if (tick == last_read_tick) return;
  last_read_tick = tick;
  if (resimulating()) {
    read_source();
    if (!source) read_device_axes();
    return;
  }
  const InputSnapshot before = snapshot();
  read_source();
  if (!source) read_device_axes();
  hook(before, snapshot());
}

}  // namespace

void set_input_source(InputSource* s) { source = s; }
InputSource* input_source() { return source; }

long input_read_tick() { return last_read_tick; }
void restore_input_read_tick(long tick) { last_read_tick = tick; }

void read_local_input(InputSource* local, long tick, InputSnapshot& state) {
  const KeysAndMouse game_keys = keys_and_mouse();
  const WindowFlags game_window = window_flags();
  const unsigned game_clears = clears;
  keys_and_mouse() = state.keys_and_mouse;
  restore_window_flags(state.window);
  clears = state.clears;
  if (stop_signal_caught()) request_close(true);
  if (local) {
    drain_system_events();
    local->read(tick);
  } else {
    pump_system_events();
    read_device_axes();
  }
  state = snapshot_of(local);
  keys_and_mouse() = game_keys;
  restore_window_flags(game_window);
  clears = game_clears;
}

void set_input_hook(InputHook h) {
  hook = std::move(h);
  last_read_tick = -1;
}

bool input_once_a_tick() { return static_cast<bool>(hook); }

void pump() {
  // A script's dump calls the game's dumper, which reads input again.
  static bool pumping = false;
  if (pumping) return;
  pumping = true;
  if (hook) {
    read_watched();
  } else {
    read_source();
  }
  pumping = false;
}

}  // namespace detail

namespace {

detail::Press* key(int code) {
  if (code < 0 || code >= detail::key_count) return nullptr;
  return &detail::keys_and_mouse().keys[code];
}

detail::Press* mouse_button(int button) {
  if (button < 1 || button > detail::mouse_button_count) return nullptr;
  return &detail::keys_and_mouse().mouse[button];
}

detail::JoyPort* joy_port(int port) { return detail::source_port(port); }

detail::Press* joy_button(int button, int port) {
  if (button < 0 || button >= detail::joy_button_count) return nullptr;
  detail::JoyPort* p = joy_port(port);
  return p ? &p->buttons[button] : nullptr;
}

}  // namespace

int key_hit(int code) {
  detail::pump();
  detail::Press* k = key(code);
  return k ? k->take() : 0;
}

int key_down(int code) {
  detail::pump();
  detail::Press* k = key(code);
  return k && k->down ? 1 : 0;
}

// A flush forgets held keys as well as presses: a key still held counts
// again only once it has been let go and pressed anew.
void flush_keys() {
  detail::pump();
  detail::keys_and_mouse().keys = {};
}

int mouse_x() {
  detail::pump();
  return detail::keys_and_mouse().x;
}

int mouse_y() {
  detail::pump();
  return detail::keys_and_mouse().y;
}

int mouse_hit(int button) {
  detail::pump();
  detail::Press* b = mouse_button(button);
  return b ? b->take() : 0;
}

int mouse_down(int button) {
  detail::pump();
  detail::Press* b = mouse_button(button);
  return b && b->down ? 1 : 0;
}

void flush_mouse() {
  detail::pump();
  detail::keys_and_mouse().mouse = {};
}

void move_mouse(int x, int y) {
  detail::pump();
  detail::KeysAndMouse& s = detail::keys_and_mouse();
  s.x = x;
  s.y = y;
  if (detail::source) return;
  if (SDL_Window* w = detail::window()) {
    int wx = 0;
    int wy = 0;
    detail::display_to_window(x, y, wx, wy);
    SDL_WarpMouseInWindow(w, wx, wy);
  }
}

int joy_count() {
  detail::pump();
  return detail::source ? detail::source->joy_count()
                        : detail::device_joy_count();
}

int joy_down(int button, int port) {
  detail::pump();
  detail::Press* b = joy_button(button, port);
  return b && b->down ? 1 : 0;
}

int joy_hit(int button, int port) {
  detail::pump();
  detail::Press* b = joy_button(button, port);
  return b ? b->take() : 0;
}

float joy_x(int port) {
  detail::pump();
  detail::JoyPort* p = joy_port(port);
  return p ? p->x : 0.0f;
}

float joy_y(int port) {
  detail::pump();
  detail::JoyPort* p = joy_port(port);
  return p ? p->y : 0.0f;
}

}  // namespace platform
