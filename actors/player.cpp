// The two player ships and their shots: starting a field, and the frame that
// moves the shots and draws shots and ships.
#include "world/player.h"

#include "render/qwdraw.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

// A shot rises this far per frame and ends once it is above row 30.
constexpr int shot_step = 15;
constexpr int shot_top = 30;

constexpr int ship_frame = 8;
constexpr int trim_frame = 9;
constexpr int shot_frame = 10;

void fly_shot(player_tag& p, int colour) {
  if (!p.shoot) return;
  p.shoty -= shot_step;
  set_colour_id(colour);
  qwdraw->i3d(sprites10, p.shotx, p.shoty, shot_frame, hologram_intensity, 0.0f,
              1);
  if (p.shoty < shot_top) p.shoot = 0;
}

void draw_ship(const player_tag& p, int body_colour, int trim_colour) {
  set_colour_id(body_colour);
  qwdraw->i3d(sprites10, p.x, p.y, ship_frame, hologram_intensity, 0.0f, 1);
  set_colour_id(trim_colour);
  qwdraw->i3d(sprites10, p.x, p.y, trim_frame, hologram_intensity, 0.0f, 1);
}

void start_new_game_values() {
  stage = 1;
  crawler_length = 10;
  crawler_speed = 1;
  game_over_timer = 0;
  player1->state = 1;
  player2->state = versus_mode ? 1 : 0;
  for (player_tag* p : {player1.get(), player2.get()}) {
    p->dthctr = 0;
    p->score = 0;
    p->lives = 3;
  }
}

}  // namespace

int player_tag::reset(int new_game) {
  if (new_game) start_new_game_values();
  tally_index = 0;
  tally_tick = 0;

  points_tag::destroy_all();
  particle_tag::destroy_all();
  vermix_tag::destroy_all();

  player1->x = 220;
  player1->y = 440;
  player2->x = 420;
  player2->y = 440;
  player1->shoot = 0;
  player2->shoot = 0;

  pick_colours();
  insect_tag::reset_all();
  mushroom_tag::new_patch();
  vermix_tag::new_spawn();

  if (versus_mode) {
    platform::move_mouse(220, 440);
  } else {
    platform::move_mouse(320, 440);
  }
  play_phase = 1;
  player1->flush_inputs();
  if (game_state != state_game_over) start_music();
  return 0;
}

int player_tag::update() {
  qwdraw->sip(1, 1.0f, 0.0f, 1.0f, 1.0f);
  fly_shot(*player1, player_colour_a);
  fly_shot(*player2, player_colour_b);
  if (versus_mode && player2->state == 1) {
    draw_ship(*player2, player_colour_b, player_colour_a);
  }
  if (player1->state == 1) {
    draw_ship(*player1, player_colour_a, player_colour_b);
  }
  return 0;
}
