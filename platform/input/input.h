// What the input modules share: the devices (system events, joysticks), the
// window's suspension and close request, and the one read that brings the
// input state up to date. The state itself and its sources are declared in
// platform/automation.h. Only platform/ includes this header.
#pragma once

#include <SDL.h>

#include "platform/automation.h"

namespace platform::detail {

// --- the input state (input.cpp) --------------------------------------------
// Brings the input state up to date: a caught stop signal becomes a standing
// close request, then pending SDL events are handled, or the input source is
// read. Every input operation calls it first.
void pump();
// Whether input is read once a tick (a recorder is watching).
bool input_once_a_tick();
// Null: the devices.
InputSource* input_source();
// The tick input was last read at while it is read once a tick, and that
// tick and the clears counter as a rollback puts them back.
long input_read_tick();
void restore_input_read_tick(long tick);
void restore_key_mouse_clears(unsigned count);
// The window flags as a rollback puts them back, keys left alone.
void restore_window_flags(const WindowFlags& flags);

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
// Null if absent. The axes are read afresh, except while input is read once
// a tick: then they are read with the other sources, by read_device_axes.
JoyPort* device_joy_port(int port);
void read_device_axes();

}  // namespace platform::detail
