#include "world/crawler.h"

#include "render/qwdraw.h"
#include "world/field.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

bool standing(int img) { return img >= 11 && img <= 17; }

// The segment's body frame placed at (px, py) touches mushroom m.
bool probe_hits(int px, int py, const mushroom_tag& m) {
  return platform::images_collide(sprites10, static_cast<float>(px),
                                  static_cast<float>(py), 28, sprites10,
                                  static_cast<float>(m.x),
                                  static_cast<float>(m.y), 25) != 0;
}

// At a wall the segment reverses its course and steps one row along pvdir.
void turn_at_wall(vermix_tag& s) {
  if (s.x == field_right && s.phdir == 90) {
    s.phdir = 270;
    s.rot = s.pvdir;
  } else if (s.x == field_left && s.phdir == 270) {
    s.phdir = 90;
    s.rot = s.pvdir;
  }
}

// At a wall on the given row the segment runs off along the row and changes
// its vertical course.
void turn_at_row(vermix_tag& s, int row, int new_pvdir) {
  if (s.y != row) return;
  if (s.x == field_right) {
    s.rot = s.phdir = 270;
    s.pvdir = new_pvdir;
  } else if (s.x == field_left) {
    s.rot = s.phdir = 90;
    s.pvdir = new_pvdir;
  }
}

void turn_at_mushrooms(vermix_tag& s) {
  for (const auto& slot : mushrooms) {
    const mushroom_tag& m = *slot;
    if (!standing(m.img)) continue;
    if (s.rot == 90 && probe_hits(s.x + 10, s.y, m)) {
      s.rot = 180;
      s.phdir = 270;
    } else if (s.rot == 270 && probe_hits(s.x - 10, s.y, m)) {
      s.rot = 180;
      s.phdir = 90;
    }
    if (s.rot == 180 && probe_hits(s.x, s.y + 10, m)) s.rot = s.phdir;
  }
}

void decide(vermix_tag& s) {
  s.dst = 0;
  if (s.rot == 180 || s.rot == 0) s.rot = s.phdir;
  turn_at_wall(s);
  if (s.pvdir == 180) {
    turn_at_row(s, 450, 0);
  } else {
    turn_at_row(s, 410, 180);
  }
  turn_at_mushrooms(s);
}

void draw(const vermix_tag& s) {
  const float fx = static_cast<float>(s.x);
  const float fy = static_cast<float>(s.y);
  const float depth = static_cast<float>(hologram_intensity);
  set_colour_id(crawler_colour_a);
  qwdraw->sip(1, 1.0f, static_cast<float>(s.rot), 1.0f, 1.0f);
  qwdraw->i3d(sprites10, fx, fy, s.head ? 26 : 28, depth, 0.0f, 1);
  set_colour_id(crawler_colour_b);
  qwdraw->i3d(sprites10, fx, fy, s.head ? 27 : 29 + s.fctr, depth, 0.0f, 1);
  qwdraw->sip(1, 1.0f, 0.0f, 1.0f, 1.0f);
}

float rnd_scale() { return static_cast<float>(platform::rnd(0.2, 0.5)); }

void test_shot(vermix_tag& s, player_tag& p) {
  if (p.shoot == 0) return;
  if (!platform::images_collide(sprites10, static_cast<float>(s.x),
                                static_cast<float>(s.y), 28, sprites10,
                                static_cast<float>(p.shotx),
                                static_cast<float>(p.shoty), 10)) {
    return;
  }
  p.shoot = 0;
  p.score += stage * (s.head ? 100 : 25);
  play_sound(snd_thump);
  particle_tag::explode(static_cast<float>(s.x), static_cast<float>(s.y),
                        rnd_scale(), crawler_colour_a, 15);
  // Removal is deferred by the list, so the ship tests below still see s.
  crawler_list.remove(&s);
}

void test_ship(const vermix_tag& s, player_tag& p) {
  if (p.state != 1 || s.y < 410) return;
  const int px = platform::float_to_int(p.x);
  const int py = platform::float_to_int(p.y);
  if (!platform::images_collide(
          sprites10, static_cast<float>(s.x), static_cast<float>(s.y), 28,
          sprites10, static_cast<float>(px), static_cast<float>(py), 8)) {
    return;
  }
  p.lives -= 1;
  p.state = 0;
  play_sound(snd_explode);
  particle_tag::explode(static_cast<float>(s.x), static_cast<float>(s.y),
                        rnd_scale(), crawler_colour_a, 15);
  particle_tag::explode(static_cast<float>(px), static_cast<float>(py),
                        rnd_scale(), player_colour_a, 30);
  play_phase = 2;
}

// The next stage: a longer chain, faster at stages 5, 10 and 20.
void advance_stage() {
  stage += 1;
  crawler_length += 1;
  if (crawler_length > 18) crawler_length = 18;
  if (stage == 5) {
    crawler_speed = 2;
  } else if (stage == 10) {
    crawler_speed = 5;
  } else if (stage == 20) {
    crawler_speed = 10;
  }
  play_phase = 2;
  play_sound(snd_stage);
}

}  // namespace

int vermix_tag::new_spawn() {
  const int side = platform::float_to_int(platform::rnd(2, 0));
  int column = side == 0 ? field_left : field_right;
  for (int i = 1; i <= crawler_length; ++i) {
    auto s = std::make_unique<vermix_tag>();
    s->pvdir = 180;
    if (i == 1) s->head = 1;
    s->x = column;
    s->y = 40;
    if (side == 0) {
      s->phdir = 90;
      column -= 10;
    } else {
      s->phdir = 270;
      column += 10;
    }
    s->rot = s->phdir;
    crawler_list.append(std::move(s));
  }
  return 0;
}

int vermix_tag::update() {
  dst += 1;
  ftmr += 1;
  if (ftmr > 10) {
    ftmr = 0;
    fctr += 1;
    if (fctr > 1) fctr = 0;
  }

  // Headings are multiples of 90, so each move is exact along one axis.
  switch (rot) {
    case 0:
      y -= crawler_speed;
      break;
    case 90:
      x += crawler_speed;
      break;
    case 180:
      y += crawler_speed;
      break;
    case 270:
      x -= crawler_speed;
      break;
  }

  if (x >= field_left && x <= field_right) draw(*this);
  if (dst == 10 / crawler_speed) decide(*this);
  test_shot(*this, *player1);
  test_shot(*this, *player2);
  test_ship(*this, *player1);
  test_ship(*this, *player2);
  return 0;
}

int vermix_tag::update_all() {
  int count = 0;
  crawler_list.for_each([&count](vermix_tag& s) {
    s.update();
    ++count;
  });
  if (count == 0) advance_stage();
  return 0;
}

int vermix_tag::destroy_all() {
  crawler_list.clear();
  return 0;
}
