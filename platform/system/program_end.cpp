// The end without the display. When the display's connection breaks, or a
// stop signal finds the program stuck for a second (a present that never
// returns, a write that blocks), the orderly end cannot run: it would wait
// on the display forever. The process then ends at once from where it is,
// on whichever thread noticed: it writes what the orderly end writes that
// is files only (the replay machinery's cut, the game's saves), says why on
// stderr, and leaves with _Exit, so that no exit-time clean-up (SDL's, the
// GL driver's, the sound device's) can block it.
//
// A guard thread bounds that end too: should a save block (a file whose
// writer is stuck on a full pipe holds its lock), the process still exits
// half a second later with the same status.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/system.h"

namespace platform {
namespace {

using std::chrono::milliseconds;

// How long a lock held elsewhere is waited for.
constexpr milliseconds lock_wait{250};

enum Phase : int { running, closing, ending_now };
std::atomic<int> phase{running};
std::atomic<int> orderly_status{-1};  // -1: not known yet
std::atomic<bool> lost{false};

// The saves and the cut run at most once, under a lock that the end from
// another thread waits for only so long.
struct Once {
  std::timed_mutex lock;
  std::function<void()> work;
  bool done = false;
};
Once& saves() {
  static Once once;
  return once;
}
Once& cut() {
  static Once once;
  return once;
}

void set(Once& once, std::function<void()> work) {
  std::lock_guard<std::timed_mutex> hold(once.lock);
  once.work = std::move(work);
  once.done = false;
}

// `wait`: give up after lock_wait (the end from another thread).
void run(Once& once, bool wait) {
  std::unique_lock<std::timed_mutex> hold(once.lock, std::defer_lock);
  if (wait) {
    if (!hold.try_lock_for(lock_wait)) return;
  } else {
    hold.lock();
  }
  if (once.done || !once.work) return;
  once.done = true;
  once.work();
}

int status_in_order() {
  const int known = orderly_status.load();
  if (known >= 0) return known;
  return outputs_incomplete() ? incomplete_output_status : 0;
}

[[noreturn]] void leave(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

// `status` -1: the status the orderly end would give, once the saves ran.
[[noreturn]] void end_now(int status, const char* line) {
  // Lost or not, the display is not touched again (window_layout reads
  // what the last frame kept).
  lost = true;
  int was = running;
  if (!phase.compare_exchange_strong(was, ending_now)) {
    if (was == ending_now) detail::wait_for_the_end();
    // The orderly end has written everything and is closing the display.
    if (line) std::fprintf(stderr, "%s\n", line);
    leave(status >= 0 ? status : status_in_order());
  }
#ifndef __EMSCRIPTEN__
  // The guard: should the saves themselves block, the end comes anyway.
  static constexpr milliseconds guard_limit{600};
  try {
    std::thread([status] {
      std::this_thread::sleep_for(guard_limit);
      std::_Exit(status >= 0 ? status : status_in_order());
    }).detach();
  } catch (...) {
    // No thread to be had: the end goes on unguarded.
  }
#endif
  run(cut(), true);
  run(saves(), true);
  if (line) std::fprintf(stderr, "%s\n", line);
  leave(status >= 0 ? status : status_in_order());
}

}  // namespace

void set_file_saves(std::function<void()> work) {
  set(saves(), std::move(work));
}

void save_files() { run(saves(), false); }

namespace detail {

void set_cut_hook(std::function<void()> hook) { set(cut(), std::move(hook)); }

bool begin_closing() {
  int was = running;
  return phase.compare_exchange_strong(was, closing) || was == closing;
}

void closing_status(int status) { orderly_status = status; }

void wait_for_the_end() {
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

bool display_lost() { return lost.load(); }

void end_for_lost_display() {
  end_now(display_lost_status, "vermix: the display was lost");
}

void end_when_stuck() { end_now(-1, nullptr); }

}  // namespace detail
}  // namespace platform
