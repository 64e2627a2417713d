// Whether a window manager will carry out a full screen request. On X a
// window only turns full screen when a manager acts on its request; a bare X
// session (a kiosk, Xvfb) has none, and the window is then laid over the
// desktop by the game itself. And what happens when the X server goes away.
#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
#include <dlfcn.h>
#endif

#include "platform/system/system.h"
#include "platform/video/video.h"

namespace platform::detail {

bool window_manager_present(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
    return true;
  // A manager that follows the desktop conventions names itself on the root
  // window.
  Display* x = info.info.x11.display;
  const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  const bool named =
      XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW,
                         &type, &format, &items, &left, &data) == Success &&
      items == 1;
  if (data) XFree(data);
  return named;
#else
  (void)window;
  return true;
#endif
}

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// Xlib calls this when the connection breaks, from inside whatever X call
// met it (a present, an event read), and exits if it returns. Its own exit
// would run the exit-time clean-up, and SDL's closing of the window then
// waits for an event on the dead connection forever. So it never returns:
// the end without the display writes only files (no X call, no GL) and
// ends with _Exit. Jumping back out of Xlib (longjmp) is not done: it would
// leave Xlib's locks taken and skip the C++ frames in between, and nothing
// after it could use the display anyway.
int on_broken_connection(::Display*) { end_for_lost_display(); }

}  // namespace
#endif

void watch_display_connection(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
    return;
  XSetIOErrorHandler(on_broken_connection);
#else
  (void)window;
#endif
}

// On Wayland SDL reports a broken connection as a quit (once); the
// connection's own error tells it from a closed window. libwayland-client
// is loaded with SDL, so its function is looked up rather than linked.
bool display_connection_broken() {
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
  SDL_Window* w = window();
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!w || !SDL_GetWindowWMInfo(w, &info) ||
      info.subsystem != SDL_SYSWM_WAYLAND || !info.info.wl.display)
    return false;
  using GetError = int (*)(struct wl_display*);
  const auto get_error =
      reinterpret_cast<GetError>(::dlsym(RTLD_DEFAULT, "wl_display_get_error"));
  return get_error && get_error(info.info.wl.display) != 0;
#else
  return false;
#endif
}

}  // namespace platform::detail
