// Run options, the tick count and the state dumper for input scripts.
#include <chrono>
#include <thread>

#include "platform/input/input_state.h"
#include "platform/internal.h"
#include "platform/platform.h"
#include "replay/replay.h"

namespace platform {
namespace {

RunOptions options;
long ticks = 0;
std::function<std::string()> dumper;

}  // namespace

void set_run_options(const RunOptions& o) { options = o; }
const RunOptions& run_options() { return options; }

long script_tick() { return ticks; }

void set_state_dumper(std::function<std::string()> d) { dumper = std::move(d); }

void wait_pass() {
  detail::advance_tick();
  if (!options.fast) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

namespace detail {

void advance_tick() {
  ++ticks;
  replay_tick();
}
long current_tick() { return ticks; }
void restart_ticks() { ticks = 0; }

std::string dump_state() { return dumper ? dumper() : std::string("{}"); }

}  // namespace detail
}  // namespace platform
