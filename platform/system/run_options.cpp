// Run options and the tick count, with the hook that sees each tick begin.
#include <chrono>
#include <thread>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/system.h"

namespace platform {
namespace {

RunOptions options;
long ticks = 0;
std::function<void(long)> tick_hook;

}  // namespace

void set_run_options(const RunOptions& o) { options = o; }
const RunOptions& run_options() { return options; }

long current_tick() { return ticks; }

void wait_pass() {
  detail::advance_tick();
  if (!options.fast) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

namespace detail {

void advance_tick() {
  ++ticks;
  if (tick_hook) tick_hook(ticks);
}
void restart_ticks() { ticks = 0; }
void set_tick_hook(std::function<void(long)> hook) {
  tick_hook = std::move(hook);
}

}  // namespace detail
}  // namespace platform
