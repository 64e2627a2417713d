// SIGINT and SIGTERM ask for the orderly end, as closing the window does,
// whether the input comes from the devices or from a script. The handler
// only raises a flag; the next input read turns it into a standing close.
//
// On the desktop's POSIX systems a watchdog thread bounds that end: a
// second after the first signal, a program that has not ended (a present
// that never returns on a frozen display, a write stuck on a full pipe) is
// ended without its display from the watchdog (end_when_stuck: the same
// files, the same status). A second signal ends the program at once, by
// that signal's own default action. Windows keeps its console events, the
// browser its page.
#include <SDL.h>
#include <signal.h>
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define VERMIX_STOP_WATCHDOG 1
#include <semaphore.h>

#include <cerrno>
#include <chrono>
#include <thread>
#endif

#include "platform/system/system.h"
#include "platform/system/windows_api.h"

namespace platform::detail {
namespace {

volatile sig_atomic_t stop_requested = 0;

#ifdef _WIN32
// Windows has no SIGTERM: Ctrl+C, Ctrl+Break and closing or logging off the
// console come as console events, handled on a thread of their own.
BOOL WINAPI on_console_event(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      stop_requested = 1;
      return TRUE;
    default:
      return FALSE;
  }
}
#else
#ifdef VERMIX_STOP_WATCHDOG
sem_t watchdog_wake;
bool watchdog_ready = false;

// The orderly end takes about half a second (the music's silence, the
// saves, closing the display); the watchdog waits a little longer.
constexpr std::chrono::milliseconds watchdog_delay{900};

void watch_for_a_stuck_end() {
  while (::sem_wait(&watchdog_wake) != 0) {
  }
  std::this_thread::sleep_for(watchdog_delay);
  end_when_stuck();
}

void start_watchdog() {
  if (::sem_init(&watchdog_wake, 0, 0) != 0) return;
  try {
    std::thread(watch_for_a_stuck_end).detach();
    watchdog_ready = true;
  } catch (...) {
    // No thread to be had: the signals still ask for the orderly end.
  }
}
#endif

void on_stop_signal(int sig) {
  if (stop_requested != 0) {
    // The second: the default action, as soon as this handler returns.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    return;
  }
  stop_requested = 1;
#ifdef VERMIX_STOP_WATCHDOG
  if (watchdog_ready) {
    const int saved = errno;
    ::sem_post(&watchdog_wake);  // async-signal-safe
    errno = saved;
  }
#endif
}

// A signal the program was started ignoring (a background job) stays ignored.
void catch_signal(int sig) {
  struct sigaction old {};
  if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(sig, &action, nullptr);
}
#endif

}  // namespace

void catch_stop_signals() {
  static bool caught = false;
  if (caught) return;
  caught = true;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
#ifdef _WIN32
  ::SetConsoleCtrlHandler(on_console_event, TRUE);
#else
#ifdef VERMIX_STOP_WATCHDOG
  start_watchdog();
  // A write to a socket or pipe whose other end has gone (the X server's
  // connection, a recording's reader) fails with EPIPE and is dealt with
  // where it was made (the display lost, an output failure named), instead
  // of killing the game unsaved.
  ::signal(SIGPIPE, SIG_IGN);
#endif
  catch_signal(SIGINT);
  catch_signal(SIGTERM);
#endif
}

bool stop_signal_caught() { return stop_requested != 0; }

}  // namespace platform::detail
