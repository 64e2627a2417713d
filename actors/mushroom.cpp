#include "world/mushroom.h"

#include "render/qwdraw.h"
#include "world/field.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

bool standing(int img) { return img >= 11 && img <= 17; }

// Wears the mushroom down by one hit from the given player's shot, if the
// shot touches its silhouette. The shot is tested 5 pixels above where it is
// drawn.
void test_shot(mushroom_tag& m, player_tag& p) {
  if (p.shoot == 0) return;
  if (!platform::images_collide(sprites10, static_cast<float>(p.shotx),
                                static_cast<float>(p.shoty - 5), 10, sprites10,
                                static_cast<float>(m.x),
                                static_cast<float>(m.y), 25)) {
    return;
  }
  m.img += 1;
  m.hit += 1;
  p.shoot = 0;
  play_sound(snd_thump);
  p.score += 2 * stage;
  const float sc = static_cast<float>(platform::rnd(0.2, 0.4));
  particle_tag::explode(static_cast<float>(m.x), static_cast<float>(m.y), sc,
                        mushroom_colour_b, 10);
}

}  // namespace

int mushroom_tag::init() {
  for (auto& slot : mushrooms) slot = std::make_unique<mushroom_tag>();
  return 0;
}

int mushroom_tag::new_patch() {
  for (auto& m : mushrooms) {
    const int cx = platform::float_to_int(platform::rnd(1, 29));
    const int cy = platform::float_to_int(platform::rnd(36, 0));
    m->hit = 0;
    m->img = 11;
    m->x = cx * 10 + field_left;
    m->y = cy * 10 + 50;
  }
  // Of several mushrooms on one cell only the lowest index stays.
  for (std::size_t i = 0; i < mushrooms.size(); ++i) {
    const int xi = mushrooms[i]->x;
    const int yi = mushrooms[i]->y;
    for (std::size_t j = 0; j < mushrooms.size(); ++j) {
      mushroom_tag& other = *mushrooms[j];
      if (j == i || other.x != xi || other.y != yi) continue;
      other.img = 0;
      other.x = 0;
      other.y = 0;
    }
  }
  return 0;
}

int mushroom_tag::update() {
  if (!standing(img)) return 0;
  qwdraw->sip(1, 1.0f, 0, 1.0f, 1.0f);
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  const float depth = static_cast<float>(hologram_intensity);
  set_colour_id(mushroom_colour_a);
  qwdraw->i3d(sprites10, fx, fy, img, depth, 0, 1);
  set_colour_id(mushroom_colour_b);
  qwdraw->i3d(sprites10, fx, fy, img + 7, depth, 0, 1);
  test_shot(*this, *player1);
  test_shot(*this, *player2);
  return 0;
}

int mushroom_tag::update_all() {
  for (auto& m : mushrooms) m->update();
  return 0;
}
