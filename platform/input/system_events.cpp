// The system's events -> input state: keys, mouse, window focus and close.
#include "platform/input/input.h"
#include "platform/input/key_codes.h"
#include "platform/system/system.h"
#include "platform/video/video.h"

namespace platform::detail {
namespace {

// Window focus and minimising each suspend the game on their own.
bool focus_lost = false;
bool minimised = false;

void update_suspension() { set_suspended(focus_lost || minimised); }

void handle_window_event(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focus_lost = true;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focus_lost = false;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      minimised = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      minimised = false;
      break;
    case SDL_WINDOWEVENT_CLOSE:
      request_close(false);
      return;
    default:
      return;
  }
  update_suspension();
}

// SDL numbers the middle button 2 and the right 3; the game the other way.
int game_mouse_button(Uint8 sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 3;
    default:
      return 0;
  }
}

// Alt+Enter and F11 switch between full screen and a window. They are the
// desktop's keys, not the game's: the game never sees them, so a replay
// recorded while switching plays the same.
bool window_key(const SDL_KeyboardEvent& key) {
  const SDL_Keycode sym = key.keysym.sym;
  const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
  return sym == SDLK_F11 || (enter && (key.keysym.mod & KMOD_ALT) != 0);
}

void handle_event(const SDL_Event& e) {
  KeysAndMouse& s = keys_and_mouse();
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      if (window_key(e.key)) {
        if (e.type == SDL_KEYDOWN && !e.key.repeat) toggle_full_screen();
        return;
      }
      if (e.key.repeat) return;
      const int vk = virtual_key(e.key.keysym.scancode, e.key.keysym.sym);
      if (vk > 0) s.keys[vk].set(e.type == SDL_KEYDOWN);
      return;
    }
    case SDL_MOUSEMOTION:
      window_to_display(static_cast<float>(e.motion.x),
                        static_cast<float>(e.motion.y), s.x, s.y);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int b = game_mouse_button(e.button.button);
      if (b > 0) s.mouse[b].set(e.type == SDL_MOUSEBUTTONDOWN);
      return;
    }
    case SDL_WINDOWEVENT:
      handle_window_event(e.window);
      return;
    case SDL_QUIT:
      if (display_connection_broken()) end_for_lost_display();
      request_close(false);
      return;
    default:
      handle_joystick_event(e);
      return;
  }
}

}  // namespace

void ensure_sdl_input() {
  static bool started = false;
  if (started) return;
  started = true;
  catch_stop_signals();  // before SDL can put its own handlers in place
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_JOYSTICK |
                        SDL_INIT_GAMECONTROLLER) != 0) {
    // Keyboard and mouse still arrive through the display's own services.
    SDL_InitSubSystem(SDL_INIT_EVENTS);
  }
  sync_joysticks();
}

void pump_system_events() {
  ensure_sdl_input();
  SDL_Event e;
  while (SDL_PollEvent(&e)) handle_event(e);
  sync_joysticks();  // also catches changes whose events were discarded
}

void drain_system_events() {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
  // The devices are not the game's input now; the window keys still work.
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (e.type == SDL_KEYDOWN && !e.key.repeat && window_key(e.key))
      toggle_full_screen();
  }
}

}  // namespace platform::detail
