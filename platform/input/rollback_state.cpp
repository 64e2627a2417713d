// The platform's part of a game snapshot: what a rollback takes back.
#include "platform/automation.h"
#include "platform/input/input.h"
#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/video/draw_state.h"

namespace platform::detail {

void save_platform_state(PlatformState& state) {
  state.tick = current_tick();
  state.random = random_state();
  state.keys_and_mouse = keys_and_mouse();
  state.window = window_flags();
  state.clears = key_mouse_clears();
  state.input_read_tick = input_read_tick();
  const InputSource* source = input_source();
  state.has_source = source != nullptr;
  if (source) source->save(state.source);
  const DrawState& d = draw_state();
  state.drawing = {d.r,     d.g,        d.b,       d.alpha,
                   d.blend, d.rotation, d.scale_x, d.scale_y};
}

// Through the setters, which also make the values the hardware takes.
void restore_platform_state(const PlatformState& state) {
  set_tick(state.tick);
  restore_random_state(state.random);
  keys_and_mouse() = state.keys_and_mouse;
  restore_window_flags(state.window);
  restore_key_mouse_clears(state.clears);
  restore_input_read_tick(state.input_read_tick);
  if (InputSource* source = input_source(); source && state.has_source) {
    source->restore(state.source);
  }
  const DrawingValues& v = state.drawing;
  set_color(v.r, v.g, v.b);
  set_alpha(v.alpha);
  set_blend(v.blend);
  set_transform(v.rotation, v.scale_x, v.scale_y);
}

}  // namespace platform::detail
