// Helpers for the input tests: events pushed into SDL's queue as the system
// would deliver them, and a clean input state for every test.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "replay/input_script.h"

namespace input_testing {

inline void push(SDL_Event e) {
  ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

inline void push_key(SDL_Scancode scancode, SDL_Keycode sym, bool down,
                     bool repeat = false) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = sym;
  push(e);
}

inline void push_mouse_button(Uint8 sdl_button, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = sdl_button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  push(e);
}

inline void push_window_event(SDL_WindowEventID id) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = id;
  push(e);
}

// Real devices, nothing held, not suspended, no close pending.
class RealInput : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::key_down(0);  // starts SDL's input, takes in what is pending
    replay::detail::stop_input_script();
  }
};

}  // namespace input_testing
