// Keyboard, mouse and joysticks turned into ship movement and shots, the
// versus life transfer, and the wait for released fire buttons.
#include <algorithm>

#include "world/field.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

constexpr int ctrl_key = 162;
constexpr int stick_step = 4;

struct Area {
  float x_min, x_max, y_min, y_max;
};
constexpr Area single_area{field_left, field_right, 410, 450};
constexpr Area left_area{field_left, 315, 410, 450};
constexpr Area right_area{325, field_right, 410, 450};

// Which joystick readings count as a push; only full deflection does.
struct StickValues {
  float left, right, up, down;
};

void keep_in(player_tag& p, const Area& a) {
  p.y = std::clamp(p.y, a.y_min, a.y_max);
  p.x = std::clamp(p.x, a.x_min, a.x_max);
}

void fire(player_tag& p, const platform::SoundRef& sound) {
  if (p.shoot) return;
  p.shoot = 1;
  p.shotx = platform::float_to_int(p.x);
  p.shoty = platform::float_to_int(p.y);
  play_sound(sound);
}

// Each axis is read anew for each of its two tests.
void steer(player_tag& p, int port, const StickValues& v) {
  if (platform::joy_x(port) == v.left) p.x -= stick_step;
  if (platform::joy_x(port) == v.right) p.x += stick_step;
  if (platform::joy_y(port) == v.up) p.y -= stick_step;
  if (platform::joy_y(port) == v.down) p.y += stick_step;
}

// A player in play fires with button 0 of its stick. One who is out takes a
// life from the partner with button 1, as long as the partner keeps one. The
// join press is read only while it could act, so it stays pending otherwise.
void stick_buttons(player_tag& p, player_tag& partner, int port,
                   const platform::SoundRef& shot_sound, float start_x,
                   bool may_join) {
  if (p.state) {
    if (platform::joy_hit(0, port)) fire(p, shot_sound);
    return;
  }
  if (!may_join || partner.lives < 2 || !platform::joy_hit(1, port)) return;
  partner.lives -= 1;
  play_sound(snd_x1life);
  p.x = start_x;
  p.y = 440;
  p.lives += 1;
  p.state = 1;
}

// One of a pair of buttons, the second read only when the first is not active.
int held(int port) {
  return platform::joy_down(0, port) || platform::joy_down(1, port);
}
int pressed(int port) {
  return platform::joy_hit(0, port) || platform::joy_hit(1, port);
}

}  // namespace

int player_tag::get_inputs() {
  player_tag& p1 = *player1;
  player_tag& p2 = *player2;
  const bool versus = versus_mode != 0;

  if (versus) {
    steer(p1, 0,
          {joy1_left_value, joy1_right_value, joy1_up_value, joy1_down_value});
    steer(p2, 1,
          {joy2_left_value, joy2_right_value, joy2_up_value, joy2_down_value});
    keep_in(p2, right_area);
    stick_buttons(p2, p1, 1, snd_p2shot, 420, true);
  } else {
    joystick_pointer();
    p1.x = platform::mouse_x();
    p1.y = platform::mouse_y();
    // Control and a click in the same frame fire once; the click stays
    // pending for the next frame.
    if (platform::key_hit(ctrl_key) || platform::mouse_hit(1)) {
      fire(p1, snd_p1shot);
    }
  }
  stick_buttons(p1, p2, 0, snd_p1shot, 220, versus);

  // Player 1 is kept in its area only now, so a shot fired this frame starts
  // where the pointer was, even outside the ship rows.
  keep_in(p1, versus ? left_area : single_area);
  // Pull the pointer back onto the ship: next frame's pointer position is the
  // ship plus one frame of mouse movement.
  platform::move_mouse(platform::float_to_int(p1.x),
                       platform::float_to_int(p1.y));
  return 0;
}

int player_tag::flush_inputs() {
  int c = 0;
  for (;;) {
    if (c) c -= 1;
    if (platform::mouse_down(1) || platform::mouse_hit(1)) c += 1;
    c += held(0);
    c += pressed(0);
    c += held(1);
    c += pressed(1);
    platform::flush_keys();
    platform::flush_mouse();
    if (!c) break;
    // A held or stuck button must not lock the player out of closing the
    // window: a close request ends the wait and the program.
    if (platform::app_terminate()) {
      quit_requested = 1;
      break;
    }
    platform::wait_pass();
  }
  return 0;
}

int joystick_pointer() {
  cursor_x = platform::mouse_x();
  cursor_y = platform::mouse_y();
  if (platform::joy_x(0) == joy1_left_value) {
    cursor_x -= stick_step;
    platform::move_mouse(cursor_x, cursor_y);
  }
  if (platform::joy_x(0) == joy1_right_value) {
    cursor_x += stick_step;
    platform::move_mouse(cursor_x, cursor_y);
  }
  if (platform::joy_y(0) == joy1_up_value) {
    cursor_y -= stick_step;
    platform::move_mouse(cursor_x, cursor_y);
  }
  if (platform::joy_y(0) == joy1_down_value) {
    cursor_y += stick_step;
    platform::move_mouse(cursor_x, cursor_y);
  }
  return 0;
}
