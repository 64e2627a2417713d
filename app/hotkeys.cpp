// The keys that act in every state, and the hold while the window is inactive.
#include "app/shell.h"
#include "app/suspension.h"
#include "world/world.h"

namespace {

constexpr int key_escape = 27;
constexpr int key_space = 32;

void park_pointer() { platform::move_mouse(320, 260); }

void flush_presses() {
  platform::flush_keys();
  platform::flush_mouse();
}

// The frame just presented is kept as the picture behind the pause menu.
void pause_game() {
  game_state = state_paused;
  platform::grab_image(pause_snapshot, 0, 0, 0);
  park_pointer();
  flush_presses();
}

void escape_pressed() {
  switch (game_state) {
    case state_title:
      quit_requested = 1;
      break;
    case state_paused:
      game_state = state_title;
      park_pointer();
      platform::stop_channel(music_channel);
      flush_presses();
      break;
    case state_playing:
      pause_game();
      break;
    default:
      break;
  }
}

void pause_toggled() {
  if (game_state == state_playing) {
    pause_game();
  } else if (game_state == state_paused) {
    game_state = state_playing;
    flush_presses();
  }
}

}  // namespace

int check_hotkeys() {
  if (platform::key_hit(key_escape) != 0) escape_pressed();
  if (platform::key_hit(key_space) != 0 || platform::joy_hit(2, 0) != 0 ||
      platform::joy_hit(2, 1) != 0) {
    pause_toggled();
  }
  if (platform::app_terminate() != 0) quit_requested = 1;
  return 0;
}

// The music pauses with the game and goes on where it stood; a close while
// inactive ends the program in order.
int wait_if_suspended() {
  if (platform::app_suspended() == 0) return 0;
  const bool music_was_playing = platform::channel_playing(music_channel) != 0;
  if (music_was_playing) platform::pause_channel(music_channel);
  if (!hold_while_suspended()) {
    quit_requested = 1;
    return 0;
  }
  if (music_was_playing) platform::resume_channel(music_channel);
  return 0;
}
