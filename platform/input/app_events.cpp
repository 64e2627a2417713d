// The window as the game sees it: suspended or not, and asked to close.
#include <cstdio>
#include <cstdlib>

#include "platform/input/input.h"
#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/video/video.h"

namespace platform {
namespace {

bool suspended = false;  // no focus reported yet is not suspended
bool close_requested = false;
bool close_standing = false;
std::function<void()> end_hook;

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

void set_end_hook(std::function<void()> hook) { end_hook = std::move(hook); }

// Once the display is lost nothing closes it: the process just ends.
void exit_program(int status) {
  if (!begin_closing()) wait_for_the_end();
  closing_status(status);
  if (display_lost()) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
  }
  shut_down();
  std::exit(status);
}

void restore_window_flags(const WindowFlags& flags) {
  suspended = flags.suspended;
  close_requested = flags.close_requested;
  close_standing = flags.close_standing;
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
  if (!detail::begin_closing()) detail::wait_for_the_end();
  if (end_hook) end_hook();
  detail::exit_program(outputs_incomplete() ? incomplete_output_status : 0);
}

}  // namespace platform
