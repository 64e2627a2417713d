// SIGINT and SIGTERM ask for the orderly end, as closing the window does,
// whether the input comes from the devices or from a script. The handler
// only raises a flag; the next input read turns it into a standing close.
#include <SDL.h>
#include <signal.h>

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
void on_stop_signal(int) { stop_requested = 1; }

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
  catch_signal(SIGINT);
  catch_signal(SIGTERM);
#endif
}

bool stop_signal_caught() { return stop_requested != 0; }

}  // namespace platform::detail
