// Keyboard, mouse and window events from the system, and the key code table.
#include "platform/input/key_codes.h"
#include "tests/platform/input_fixture.h"

namespace {

using namespace input_testing;
using platform::detail::virtual_key;

using KeysAndMouse = RealInput;

TEST_F(KeysAndMouse, KeyHitCountsPressesThenResets) {
  for (int i = 0; i < 2; ++i) {
    push_key(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true);
    push_key(SDL_SCANCODE_LCTRL, SDLK_LCTRL, false);
  }
  EXPECT_EQ(platform::key_hit(162), 2);
  EXPECT_EQ(platform::key_hit(162), 0);
}

TEST_F(KeysAndMouse, AutoRepeatDoesNotCountAndHeldKeyIsDown) {
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, true, true);
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, true, true);
  EXPECT_EQ(platform::key_down(32), 1);
  EXPECT_EQ(platform::key_hit(32), 1);
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
  EXPECT_EQ(platform::key_down(32), 0);
  EXPECT_EQ(platform::key_hit(32), 0);
}

TEST_F(KeysAndMouse, FlushForgetsHeldAndCountedKeysAndButtons) {
  push_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true);
  push_key(SDL_SCANCODE_A, SDLK_a, true);
  push_key(SDL_SCANCODE_A, SDLK_a, false);
  push_mouse_button(SDL_BUTTON_LEFT, true);
  platform::flush_keys();
  platform::flush_mouse();
  EXPECT_EQ(platform::key_down(27), 0);
  EXPECT_EQ(platform::key_hit(27), 0);
  EXPECT_EQ(platform::key_hit(65), 0);
  EXPECT_EQ(platform::mouse_down(1), 0);
  EXPECT_EQ(platform::mouse_hit(1), 0);
  // Let go and pressed again: held and counted once more.
  push_mouse_button(SDL_BUTTON_LEFT, false);
  push_mouse_button(SDL_BUTTON_LEFT, true);
  EXPECT_EQ(platform::mouse_down(1), 1);
  EXPECT_EQ(platform::mouse_hit(1), 1);
  EXPECT_EQ(platform::key_hit(-1), 0);
  EXPECT_EQ(platform::key_hit(256), 0);
}

TEST_F(KeysAndMouse, MouseButtonsAreNumberedLeftRightMiddle) {
  push_mouse_button(SDL_BUTTON_LEFT, true);
  push_mouse_button(SDL_BUTTON_RIGHT, true);
  push_mouse_button(SDL_BUTTON_RIGHT, false);
  push_mouse_button(SDL_BUTTON_MIDDLE, true);
  push_mouse_button(SDL_BUTTON_MIDDLE, false);
  push_mouse_button(SDL_BUTTON_MIDDLE, true);
  EXPECT_EQ(platform::mouse_down(1), 1);
  EXPECT_EQ(platform::mouse_down(2), 0);
  EXPECT_EQ(platform::mouse_hit(2), 1);
  EXPECT_EQ(platform::mouse_hit(3), 2);
  EXPECT_EQ(platform::mouse_down(3), 1);
  for (int b : {0, -1, 4}) {
    EXPECT_EQ(platform::mouse_hit(b), 0) << b;
    EXPECT_EQ(platform::mouse_down(b), 0) << b;
  }
  EXPECT_EQ(platform::mouse_hit(1), 1);
  platform::flush_mouse();
  EXPECT_EQ(platform::mouse_down(1), 0);
  EXPECT_EQ(platform::mouse_hit(3), 0);
}

TEST_F(KeysAndMouse, MoveMouseSetsTheReportedPosition) {
  platform::move_mouse(123, 456);
  EXPECT_EQ(platform::mouse_x(), 123);
  EXPECT_EQ(platform::mouse_y(), 456);
}

TEST_F(KeysAndMouse, SuspendAndResumeClearKeysAndMouse) {
  EXPECT_EQ(platform::app_suspended(), 0);
  push_key(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true);
  push_mouse_button(SDL_BUTTON_LEFT, true);
  push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_EQ(platform::app_suspended(), 1);
  EXPECT_EQ(platform::key_hit(162), 0);
  EXPECT_EQ(platform::key_down(162), 0);
  EXPECT_EQ(platform::mouse_hit(1), 0);

  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);  // pressed while away
  push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(platform::app_suspended(), 0);
  EXPECT_EQ(platform::key_hit(32), 0);

  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
  EXPECT_EQ(platform::key_hit(32), 1);
}

TEST_F(KeysAndMouse, MinimisingSuspendsUntilRestored) {
  push_window_event(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_EQ(platform::app_suspended(), 1);
  // Focus coming back does not undo the minimising on its own.
  push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(platform::app_suspended(), 1);
  push_window_event(SDL_WINDOWEVENT_RESTORED);
  EXPECT_EQ(platform::app_suspended(), 0);
}

TEST_F(KeysAndMouse, CloseRequestIsReportedOnce) {
  EXPECT_EQ(platform::app_terminate(), 0);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  push(quit);
  EXPECT_EQ(platform::app_terminate(), 1);
  EXPECT_EQ(platform::app_terminate(), 0);
  push_window_event(SDL_WINDOWEVENT_CLOSE);
  EXPECT_EQ(platform::app_terminate(), 1);
  EXPECT_EQ(platform::app_terminate(), 0);
}

TEST(KeyCodes, TheGameKeysAndEveryFamily) {
  EXPECT_EQ(virtual_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), 27);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_SPACE, SDLK_SPACE), 32);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LCTRL, SDLK_LCTRL), 162);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RCTRL, SDLK_RCTRL), 163);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), 160);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RALT, SDLK_RALT), 165);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RETURN, SDLK_RETURN), 13);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_Z, SDLK_z), 90);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_0, SDLK_0), 48);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_9, SDLK_9), 57);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F1, SDLK_F1), 112);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F12, SDLK_F12), 123);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LEFT, SDLK_LEFT), 37);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_DOWN, SDLK_DOWN), 40);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_0, SDLK_KP_0), 96);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_9, SDLK_KP_9), 105);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON), 186);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE), 192);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE), 222);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN), 34);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN), 0);
  EXPECT_EQ(virtual_key(-3, 0), 0);
  EXPECT_EQ(virtual_key(SDL_NUM_SCANCODES, 0), 0);
}

TEST(KeyCodes, LettersFollowTheLayout) {
  // The key in the Q place that types 'a' on another layout is A.
  EXPECT_EQ(virtual_key(SDL_SCANCODE_Q, SDLK_a), 65);
  // Without a letter of its own it is named by its place.
  EXPECT_EQ(virtual_key(SDL_SCANCODE_Q, 0x40000000 | 0x444), 81);
  // The numpad never takes the digit row's codes.
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_1, SDLK_KP_1), 97);
}

}  // namespace
