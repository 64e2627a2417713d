// Run options and the tick count, with the hook that sees each tick begin,
// and whether ticks are being played again muted.
#include <chrono>
#include <thread>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/system/web_host.h"

namespace platform {
namespace {

RunOptions options;
long ticks = 0;
std::function<void(long)> tick_hook;
std::function<void(long)> session_hook;
bool muted = false;

}  // namespace

void set_run_options(const RunOptions& o) { options = o; }
const RunOptions& run_options() { return options; }

long current_tick() { return ticks; }

void wait_pass() {
  detail::advance_tick();
  if (muted) return;
#ifdef __EMSCRIPTEN__
  if (!options.fast)
    detail::web_sleep(1);
  else
    detail::web_frame_shown();
#else
  if (!options.fast) std::this_thread::sleep_for(std::chrono::milliseconds(1));
#endif
}

namespace detail {

void advance_tick() {
  ++ticks;
  if (session_hook) session_hook(ticks);
  if (tick_hook && !muted) tick_hook(ticks);
}
void restart_ticks() { ticks = 0; }
void set_tick(long tick) { ticks = tick; }
void set_resimulating(bool on) { muted = on; }
bool resimulating() { return muted; }
void set_tick_hook(std::function<void(long)> hook) {
  tick_hook = std::move(hook);
}
void set_session_hook(std::function<void(long)> hook) {
  session_hook = std::move(hook);
}
bool stop_requested() { return stop_signal_caught(); }

}  // namespace detail
}  // namespace platform
