// The window, its GL context and the frame: opening the display, clearing,
// presenting at the held rate, and reading back what was presented.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/system/web_host.h"
#include "platform/video/draw_state.h"
#include "platform/video/frame_pacing.h"
#include "platform/video/gl/display_fit.h"
#include "platform/video/gl/renderer.h"
#include "platform/video/video.h"

namespace platform {

namespace {

std::function<void()> frame_hook;

struct Display {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool open = false;
  bool full_screen = false;
  int windowed_width = 0;  // the window's size when it is not full screen
  int windowed_height = 0;
  // Whether a window manager carries out full screen; without one the
  // window is laid over the desktop, borderless.
  bool managed = true;
  int width = 0;
  int height = 0;
  int swap_interval = -2;  // as last set; -2 not yet
  std::string title;
  detail::FramePacer pacer;
};

Display& display() {
  static Display d;
  return d;
}

bool fail(const std::string& reason) {
  std::fprintf(stderr, "vermix: cannot open the display: %s\n", reason.c_str());
  return false;
}

void set_swap_interval(int interval) {
  Display& d = display();
  if (d.swap_interval == interval) return;
  SDL_GL_SetSwapInterval(interval);
  d.swap_interval = interval;
}

void present(bool vsync) {
  Display& d = display();
  set_swap_interval(vsync ? 1 : 0);
  int dw = 0;
  int dh = 0;
  SDL_GL_GetDrawableSize(d.window, &dw, &dh);
  detail::renderer::present(dw, dh, detail::status_band());
  SDL_GL_SwapWindow(d.window);
#ifdef __EMSCRIPTEN__
  detail::web_frame_shown();
#endif
}

int desktop_window_zoom(int width, int height) {
#ifdef __EMSCRIPTEN__
  return 1;  // the page zooms the canvas
#endif
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  return detail::window_zoom(run_options().scale, usable.w, usable.h, width,
                             height);
}

// The window's size out of full screen: the size kept from the last run,
// else the display at the requested or the largest zoom that fits.
void choose_windowed_size(int width, int height) {
  Display& d = display();
  const RunOptions& o = run_options();
  if (o.scale == 0 && o.window_width > 0 && o.window_height > 0) {
    d.windowed_width = o.window_width;
    d.windowed_height = o.window_height;
    return;
  }
  const int zoom = desktop_window_zoom(width, height);
  d.windowed_width = width * zoom;
  d.windowed_height = height * zoom;
}

bool create_window(int flags) {
  Display& d = display();
#ifdef __EMSCRIPTEN__
  // WebGL 2.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
#else
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
#endif
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (flags & 2) ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, (flags & 4) ? 8 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, (flags & 8) ? 24 : 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, (flags & 16) ? 8 : 0);
  d.window = SDL_CreateWindow(
      d.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
      d.windowed_width, d.windowed_height,
      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!d.window) return fail(SDL_GetError());
  d.context = SDL_GL_CreateContext(d.window);
  if (!d.context) {
    const std::string reason = SDL_GetError();
    SDL_DestroyWindow(d.window);
    d.window = nullptr;
    return fail("no OpenGL 3.3 context: " + reason);
  }
  SDL_GL_MakeCurrent(d.window, d.context);
  SDL_SetWindowMinimumSize(d.window, 64, 48);
  d.managed = detail::window_manager_present(d.window);
  detail::watch_display_connection(d.window);
  // The display goes before any static object is destroyed, and before the
  // GL driver's own exit-time clean-up, which ran after this registration's
  // counterpart in the driver was made: images that die later find no
  // context and make no GL call.
  static const bool exit_hook = std::atexit(&detail::shut_down) == 0;
  (void)exit_hook;
  return true;
}

// True when presenting on vertical sync already holds `hertz`: three presents
// in a row each took the frame time. Gives up after a second.
bool vsync_holds_rate(int hertz) {
  detail::VsyncProbe probe(1000 / hertz);
  const int start = millisecs();
  // The count bounds the loop should the clock not move.
  for (int presents = 0; presents < 3 * hertz; ++presents) {
    const int before = millisecs();
    if (before - start >= 1000) break;
    present(true);
    if (probe.add_present(millisecs() - before)) return true;
  }
  return false;
}

}  // namespace

void set_app_title(const std::string& title) {
  display().title = title;
  if (display().window) SDL_SetWindowTitle(display().window, title.c_str());
}

bool open_graphics(int width, int height, int depth, int hertz, int flags) {
  Display& d = display();
  if (width <= 0 || height <= 0) return fail("no such display size");
  detail::catch_stop_signals();  // before SDL can put its own handlers in place
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    return fail(SDL_GetError());
  }
  choose_windowed_size(width, height);
  // Made at its final size: a drawable that only grows later may keep its
  // first size on some drivers.
  if (d.window) {
    d.full_screen = depth == 0;  // so that the switch below is carried out
    detail::set_full_screen(depth != 0);
  } else {
    if (!create_window(flags)) return false;
    d.full_screen = false;
    detail::set_full_screen(depth != 0);
  }
  SDL_ShowWindow(d.window);

  std::string error;
  if (!detail::renderer::start(width, height, error)) {
    SDL_GL_DeleteContext(d.context);
    SDL_DestroyWindow(d.window);
    d.context = nullptr;
    d.window = nullptr;
    return fail(error);
  }
  d.width = width;
  d.height = height;
  d.open = true;
  detail::reset_draw_state();

  const bool measure = d.full_screen && hertz > 0 && !run_options().fast;
  const bool vsync_enough = measure && vsync_holds_rate(hertz);
  d.pacer.start(hertz, millisecs());
  if (vsync_enough) d.pacer.set_enabled(false);
  if (d.full_screen) move_mouse(width / 2, height / 2);
  return true;
}

int graphics_width() { return display().width; }
int graphics_height() { return display().height; }

void cls() {
  if (!detail::resimulating()) detail::renderer::clear();
}

void begin_static_layer() {
  if (!detail::resimulating()) detail::renderer::begin_layer();
}
void end_static_layer() {
  if (!detail::resimulating()) detail::renderer::end_layer();
}

// A muted tick only counts.
void flip(int sync) {
  Display& d = display();
  if (d.open && !detail::resimulating()) {
    bool vsync = sync != 0;
    if (run_options().fast) {
      vsync = false;
    } else if (sync == -1) {
      // The pacer is off only where vertical sync was found to hold the rate.
      vsync = !d.pacer.enabled();
      if (d.pacer.enabled()) delay(d.pacer.wait_before_present(millisecs()));
    }
    present(vsync);
    // Kept each frame for window_layout once the display is lost.
    if (!d.full_screen)
      SDL_GetWindowSize(d.window, &d.windowed_width, &d.windowed_height);
    if (frame_hook) frame_hook();
  }
  detail::advance_tick();
}

void hide_mouse() { SDL_ShowCursor(SDL_DISABLE); }

// Once the display is lost, the size the last frame was presented in.
WindowLayout window_layout() {
  Display& d = display();
  if (d.window && !d.full_screen && !detail::display_lost())
    SDL_GetWindowSize(d.window, &d.windowed_width, &d.windowed_height);
  return {d.full_screen, d.windowed_width, d.windowed_height};
}

namespace detail {

void set_frame_hook(std::function<void()> hook) {
  frame_hook = std::move(hook);
}

SDL_Window* window() { return display().window; }

// Nothing of a lost display is closed: the process ends without it.
void shut_down() {
  if (display_lost()) return;
  close_display();
  SDL_Quit();
}

long draw_calls() { return renderer::draw_calls(); }
long quads_drawn() { return renderer::quads_drawn(); }

void close_display() {
  Display& d = display();
  if (!d.window) return;
  renderer::stop();
  SDL_GL_MakeCurrent(d.window, nullptr);
  SDL_GL_DeleteContext(d.context);
  SDL_DestroyWindow(d.window);
  d.context = nullptr;
  d.window = nullptr;
  d.open = false;
  d.swap_interval = -2;
}

namespace {

// Where the display lies inside the window, in window coordinates.
FrameRect placement() {
  const Display& d = display();
  int ww = d.width;
  int wh = d.height;
  if (d.window) SDL_GetWindowSize(d.window, &ww, &wh);
  return fit_frame(ww, wh, d.width, d.height);
}

}  // namespace

void window_to_display(float wx, float wy, int& x, int& y) {
  const Display& d = display();
  const FrameRect r = placement();
  if (r.width <= 0 || r.height <= 0) return;
  x = static_cast<int>(
      std::floor(static_cast<double>(wx - r.x) * d.width / r.width));
  y = static_cast<int>(
      std::floor(static_cast<double>(wy - r.y) * d.height / r.height));
  if (d.open) {
    x = std::clamp(x, 0, d.width - 1);
    y = std::clamp(y, 0, d.height - 1);
  }
}

void display_to_window(int x, int y, int& wx, int& wy) {
  const Display& d = display();
  const FrameRect r = placement();
  if (d.width <= 0 || d.height <= 0) return;
  // The middle of the display pixel, so that the way back lands on it.
  wx = r.x + (2 * x + 1) * r.width / (2 * d.width);
  wy = r.y + (2 * y + 1) * r.height / (2 * d.height);
}

void set_full_screen(bool on) {
  Display& d = display();
#ifdef __EMSCRIPTEN__
  on = false;  // the page's own button shows the canvas full screen
#endif
  if (!d.window || on == d.full_screen) return;
  SDL_Rect desktop{};
  const bool known =
      SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(d.window)),
                           &desktop) == 0;
  if (on) {
    SDL_GetWindowSize(d.window, &d.windowed_width, &d.windowed_height);
    if (d.managed || !known) {
      SDL_SetWindowFullscreen(d.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
      SDL_SetWindowBordered(d.window, SDL_FALSE);
      SDL_SetWindowPosition(d.window, desktop.x, desktop.y);
      SDL_SetWindowSize(d.window, desktop.w, desktop.h);
    }
  } else {
    SDL_SetWindowFullscreen(d.window, 0);
    SDL_SetWindowBordered(d.window, SDL_TRUE);
    SDL_SetWindowSize(d.window, d.windowed_width, d.windowed_height);
    SDL_SetWindowPosition(d.window, SDL_WINDOWPOS_CENTERED,
                          SDL_WINDOWPOS_CENTERED);
  }
  d.full_screen = on;
}

void toggle_full_screen() { set_full_screen(!display().full_screen); }

bool read_presented_frame(std::vector<std::uint8_t>& rgba) {
  if (!display().open) return false;
  renderer::read_presented(rgba);
  return true;
}

bool write_screenshot(const std::string& path) {
  if (resimulating()) return true;  // taken when the tick first played
  std::vector<std::uint8_t> rgba;
  if (!read_presented_frame(rgba)) {
    report_output_failure(path, "no frame has been shown yet");
    return false;
  }
  errno = 0;
  if (write_png(host_path(path), display().width, display().height, rgba))
    return true;
  report_output_failure(path, errno != 0 ? std::strerror(errno)
                                         : "the picture could not be made");
  return false;
}

}  // namespace detail
}  // namespace platform
