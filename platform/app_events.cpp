// The window as the game sees it: suspended or not, and asked to close.
#include <cstdlib>

#include "platform/input_state.h"
#include "platform/internal.h"
#include "platform/platform.h"
#include "platform/replay.h"

namespace platform {
namespace {

bool suspended = false;  // no focus reported yet is not suspended
bool close_requested = false;
bool close_standing = false;

}  // namespace

namespace detail {

void set_suspended(bool now) {
  if (now == suspended) return;
  suspended = now;
  clear_key_mouse_state();
}

void request_close(bool standing) {
  close_requested = true;
  close_standing = close_standing || standing;
}

WindowFlags window_flags() {
  return {suspended, close_requested, close_standing};
}

void shut_down() {
  close_display();
  SDL_Quit();
}

void reset_window_state() {
  suspended = false;
  close_requested = false;
  close_standing = false;
}

}  // namespace detail

int app_suspended() {
  detail::pump();
  return suspended ? 1 : 0;
}

int app_terminate() {
  detail::pump();
  if (!close_requested) return 0;
  close_requested = close_standing;
  return 1;
}

void end_program() {
  detail::replay_program_end();
  detail::report_frame_times();
  detail::report_frame_spread();
  detail::shut_down();
  std::exit(outputs_incomplete() ? incomplete_output_status : 0);
}

}  // namespace platform
