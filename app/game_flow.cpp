#include "app/game_flow.h"

#include "render/qwdraw.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

const std::string game_over_text = "Game Over";

void action_frame() {
  player1->get_inputs();
  mushroom_tag::update_all();
  vermix_tag::update_all();
  insect_tag::update_all();
  player1->update();
  particle_tag::update_all();
  points_tag::update_all();
}

// Each player who still has lives is back in play; if nobody is, the game is
// over. The field is rebuilt either way.
void end_tally() {
  if (player1->lives != 0) player1->state = 1;
  if (versus_mode == 0) {
    if (player1->state == 0) {
      game_state = state_game_over;
      player1->flush_inputs();
    }
  } else {
    if (player2->lives != 0) player2->state = 1;
    if (player1->state == 0 && player2->state == 0) {
      game_state = state_game_over;
      player1->flush_inputs();
    }
  }
  player_tag::reset(0);
}

// One step of the repair walk: an undamaged slot takes one frame, a damaged
// one four, paid on the first of them.
void tally_step() {
  mushroom_tag& m = *mushrooms[tally_index];
  if (m.hit == 0) {
    tally_index += 1;
    return;
  }
  qwdraw->sip(1, 1.0f, 0, 1.0f, 1.0f);
  platform::set_color(255, 255, 255);
  qwdraw->i3d(sprites10, static_cast<float>(m.x), static_cast<float>(m.y), 25,
              static_cast<float>(hologram_intensity), 0, 1);
  tally_tick += 1;
  if (tally_tick == 1) {
    play_sound(snd_shroom);
    player_tag& payee = versus_mode != 0 && m.x >= 325 ? *player2 : *player1;
    payee.score += 5 * m.hit;
  }
  if (tally_tick == 4) {
    tally_tick = 0;
    m.hit = 0;
    m.img = 11;
    tally_index += 1;
  }
}

void tally_frame() {
  mushroom_tag::update_all();
  if (tally_index == 0) platform::stop_channel(music_channel);
  tally_step();
  player1->update();
  particle_tag::update_all();
  points_tag::update_all();
  if (tally_index == static_cast<int>(mushrooms.size())) end_tally();
}

}  // namespace

int update_game() {
  if (play_phase == 1) {
    action_frame();
  } else if (play_phase == 2) {
    tally_frame();
  }
  if (player1->score > high_score) high_score = player1->score;
  if (player2->score > high_score) high_score = player2->score;
  return 0;
}

int update_game_over() {
  game_over_timer += 1;
  particle_tag::update_all();
  points_tag::update_all();
  qwdraw->sip(3, 1.0f, 0, 2.0f, 2.0f);
  platform::set_color(200, 200, 10);
  const float depth = static_cast<float>(hologram_intensity);
  if (versus_mode == 0) {
    qwdraw->t3d(game_over_text, 320, 240, depth, 1, 2);
  } else {
    qwdraw->t3d(game_over_text, 320, 220, depth, 1, 2);
    qwdraw->sip(3, 1.0f, 0, 1.0f, 1.0f);
    static const std::string p1_wins = "Player 1 Score Wins!";
    static const std::string p2_wins = "Player 2 Score Wins!";
    static const std::string tied = "Scores Tied - No One Wins!";
    const int p1 = player1->score;
    const int p2 = player2->score;
    qwdraw->t3d(p1 > p2 ? p1_wins : (p1 == p2 ? tied : p2_wins), 320, 260,
                depth, 1, 2);
  }
  // Presses are only read after frame 100, so an early one ends the screen
  // at frame 101.
  if (game_over_timer > 100 &&
      (platform::key_hit(162) || platform::mouse_hit(1) ||
       platform::joy_hit(0, 0) || platform::joy_hit(0, 1))) {
    game_over_timer = 500;
  }
  if (game_over_timer == 500) {
    game_state = state_title;
    platform::move_mouse(320, 260);
  }
  return 0;
}
