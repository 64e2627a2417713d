#include "tools/replay/autoplay/versus.h"

#include <string>

#include "world/world.h"

namespace {

struct Aim {
  int x = 0;
  int y = 0;
  bool found = false;
};

// Where the ships go: the flying spider, else the lowest crawler segment.
Aim target() {
  Aim aim;
  const auto& spider = insects[0];
  if (spider && spider->state == 1) {
    return {platform::float_to_int(spider->x),
            platform::float_to_int(spider->y), true};
  }
  crawler_list.for_each([&](const vermix_tag& s) {
    if (!aim.found || s.y > aim.y) aim = {s.x, s.y, true};
  });
  return aim;
}

int sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

void VersusPlayer::tick(TickLines& out, long since) {
  if (!connected_) {
    out.add("joy 0 connect");
    out.add("joy 1 connect");
    connected_ = true;
  }
  if (game_state == state_playing && play_phase == 1) {
    steer(out, 0);
    steer(out, 1);
    return;
  }
  // The game waits for the fire button to be let go after a lost ship.
  if (firing_) {
    out.add("joy 0 button 0 up");
    firing_ = false;
  }
  // Menus and screens: the versus line until it is on, then line 0.
  if (game_state == state_playing || since % 5 != 1) return;
  if (game_state == state_title) {
    out.mouse(320, versus_mode == 0 ? 340 : 260);
    out.click();
  } else if (game_state != state_game_over) {
    out.click();  // the opening logo
  }
}

void VersusPlayer::steer(TickLines& out, int port) {
  const player_tag& ship = port == 0 ? *player1 : *player2;
  const Aim aim = target();
  const int want[2] = {
      aim.found ? sign(aim.x - platform::float_to_int(ship.x)) : 0,
      aim.found ? sign(aim.y - platform::float_to_int(ship.y)) : 0};
  for (int axis = 0; axis < 2; ++axis) {
    if (want[axis] == axes_[port][axis]) continue;
    axes_[port][axis] = want[axis];
    out.add("joy " + std::to_string(port) + " axis " + std::to_string(axis) +
            " " + std::to_string(want[axis]));
  }
  // Player 1 fires all the time, so the scores differ at the end.
  if (port == 0 && !firing_) {
    out.add("joy 0 button 0 down");
    firing_ = true;
  }
}
