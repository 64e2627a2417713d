// The four insects: appearance timers, the per-frame walk over the kinds and
// the shot and ship tests.
#include "world/insect.h"

#include <memory>

#include "enemies/insect_kinds.h"
#include "render/qwdraw.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

constexpr int insect_count = 4;
constexpr int scorpion = 1;
constexpr int max_lives = 12;
constexpr int ship_rows_start = 410;
// Points per stage for the kinds that score: spider, scorpion (a life
// instead), flea, mosquito.
constexpr int insect_value[insect_count] = {200, 0, 300, 400};

const platform::SoundRef& appearance_sound(int typ) {
  switch (typ) {
    case 0:
      return snd_spider;
    case 1:
      return snd_scorpion;
    case 2:
      return snd_flea;
    default:
      return snd_mosquito;
  }
}

void animate(insect_tag& insect) {
  if (++insect.ftmr >= 8) {
    insect.ftmr = 0;
    if (++insect.fctr > 1) insect.fctr = 0;
  }
}

// Waiting or flying, whichever the insect is doing this frame.
void step(insect_tag& insect) {
  if (insect.state != 0) {
    insect_fly(insect);
    return;
  }
  if (--insect.tmr > 0) return;
  insect.state = 1;
  insect_enter(insect);
  insect.tmr = insect_waiting_time(insect.typ);
  play_sound(appearance_sound(insect.typ));
}

float burst_scale() { return static_cast<float>(platform::rnd(0.2, 0.5)); }

void test_shot(insect_tag& insect, player_tag& player, int ix, int iy) {
  if (player.shoot == 0) return;
  if (!platform::images_collide(sprites10, player.shotx, player.shoty, 10,
                                sprites10, ix, iy, 0)) {
    return;
  }
  insect.state = 0;
  if (insect.typ == scorpion) {
    player.lives += 1;
    play_sound(snd_x1life);
    points_tag::init(ix, iy, 1);
    if (player.lives > max_lives) player.lives = max_lives;
  } else {
    const int points = insect_value[insect.typ] * stage;
    play_sound(snd_bonus);
    player.score += points;
    points_tag::init(ix, iy, points);
  }
  particle_tag::explode(ix, iy, burst_scale(), insect_colour_a, 20);
}

void test_ship(insect_tag& insect, player_tag& player, int ix, int iy) {
  if (player.state != 1 || iy < ship_rows_start) return;
  const int px = platform::float_to_int(player.x);
  const int py = platform::float_to_int(player.y);
  if (!platform::images_collide(sprites10, px, py, 8, sprites10, ix, iy, 0)) {
    return;
  }
  player.lives -= 1;
  player.state = 0;
  play_sound(snd_explode);
  insect.state = 0;
  particle_tag::explode(ix, iy, burst_scale(), insect_colour_a, 20);
  particle_tag::explode(px, py, burst_scale(), player_colour_a, 30);
  play_phase = 2;
}

// Every test runs for an insect that was on the field when they began, even
// after an earlier one has taken it off: one shot may be shared by both
// players, and one insect may take both ships.
void run_tests(insect_tag& insect) {
  const int ix = platform::float_to_int(insect.x);
  const int iy = platform::float_to_int(insect.y);
  test_shot(insect, *player1, ix, iy);
  test_shot(insect, *player2, ix, iy);
  test_ship(insect, *player1, ix, iy);
  test_ship(insect, *player2, ix, iy);
}

}  // namespace

int insect_tag::init() {
  for (int i = 0; i < insect_count; ++i) {
    insects[i] = std::make_unique<insect_tag>();
    insects[i]->typ = i;
  }
  return 0;
}

int insect_tag::reset_all() {
  for (auto& insect : insects) {
    insect->state = 0;
    insect->tmr = insect_waiting_time(insect->typ);
  }
  return 0;
}

int insect_tag::update_all() {
  qwdraw->sip(1, 1.0f, 0.0f, 1.0f, 1.0f);
  for (auto& slot : insects) {
    insect_tag& insect = *slot;
    animate(insect);
    if (stage >= insect_first_stage(insect.typ)) step(insect);
    if (insect.state == 1) run_tests(insect);
  }
  return 0;
}
