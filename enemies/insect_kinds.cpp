// How each insect kind enters the field and flies across it.
#include "enemies/insect_kinds.h"

#include <cmath>

#include "render/qwdraw.h"
#include "world/field.h"
#include "world/world.h"

namespace {

using platform::float_to_int;
using platform::rnd;

enum kind { spider = 0, scorpion = 1, flea = 2, mosquito = 3 };

struct kind_rules {
  int first_stage;
  double wait_low;
  double wait_high;
  // Frames of sprites20: the first colour's, and the second colour's for
  // animation phase 0 (phase 1 shows the frame after it).
  struct frames {
    int first;
    int second;
  } look;
};

constexpr kind_rules rules[4] = {
    {1, 100.0, 600.0, {0, 1}},
    {2, 200.0, 1000.0, {6, 7}},
    {4, 50.0, 500.0, {3, 4}},
    {6, 50.0, 500.0, {9, 10}},
};

constexpr float spider_top = 330.0f;
constexpr float spider_bottom = 440.0f;
constexpr float spider_climb = 2.0f;
constexpr float spider_max_speed = 3.0f;

// Both colours of the insect at its truncated position.
void insect_draw(const insect_tag& insect) {
  const kind_rules::frames& look = rules[insect.typ].look;
  const float ix = static_cast<float>(platform::float_to_int(insect.x));
  const float iy = static_cast<float>(platform::float_to_int(insect.y));
  const float depth = static_cast<float>(hologram_intensity);
  set_colour_id(insect_colour_a);
  qwdraw->i3d(sprites20, ix, iy, look.first, depth, 0.0f, 1);
  set_colour_id(insect_colour_b);
  qwdraw->i3d(sprites20, ix, iy, look.second + insect.fctr, depth, 0.0f, 1);
}

int spider_reversal_time() { return float_to_int(rnd(10.0, 50.0)); }

void spider_enter(insect_tag& s) {
  const float speed = static_cast<float>(crawler_speed);
  if (float_to_int(rnd(2.0, 0.0)) == 0) {
    s.x = field_left;
    s.xstp = std::fmin(speed, spider_max_speed);
  } else {
    s.x = field_right;
    s.xstp = std::fmax(-speed, -spider_max_speed);
  }
  s.ystp = spider_climb;
  s.y = static_cast<float>(rnd(330.0, 430.0));
  s.dist = spider_reversal_time();
}

// Zigzags between rows 330 and 440, reversing after a random time or at a
// limit, until it has crossed to the far wall.
void spider_fly(insect_tag& s) {
  s.dist -= 1;
  s.x += s.xstp;
  s.y += s.ystp;
  if (s.dist <= 0) {
    s.dist = spider_reversal_time();
    if (s.ystp == spider_climb) {
      s.ystp = -spider_climb;
    } else if (s.ystp == -spider_climb) {
      s.ystp = spider_climb;
    }
  }
  if (s.y < spider_top) {
    s.y = spider_top;
    s.ystp = spider_climb;
    s.dist = spider_reversal_time();
  } else if (s.y > spider_bottom) {
    s.y = spider_bottom;
    s.ystp = -spider_climb;
    s.dist = spider_reversal_time();
  }
  const int ix = float_to_int(s.x);
  if (ix > field_left && ix < field_right) insect_draw(s);
  if ((s.xstp <= 0.0f && ix < field_left) ||
      (s.xstp > 0.0f && ix > field_right)) {
    s.state = 0;
  }
}

void scorpion_enter(insect_tag& s) {
  s.x = 455.0f;
  s.y = 35.0f;
  s.xstp = -1.0f;
}

// Walks left along the top row.
void scorpion_fly(insect_tag& s) {
  s.x += s.xstp;
  insect_draw(s);
  if (s.x < 185.0f) s.state = 0;
}

void flea_enter(insect_tag& s) {
  s.y = 30.0f;
  s.ystp = 1.0f;
  s.x = static_cast<float>(rnd(195.0, 445.0));
}

// Drops straight down, faster every frame.
void flea_fly(insect_tag& s) {
  s.y += s.ystp;
  s.ystp += 0.1f;
  insect_draw(s);
  if (s.y > 450.0f) s.state = 0;
}

void mosquito_enter(insect_tag& s) {
  if (float_to_int(rnd(2.0, 0.0)) == 0) {
    s.x = 185.0f;
    s.rot = 45.0f;
    s.ystp = static_cast<float>(rnd(2.0, 8.0));
  } else {
    s.x = 455.0f;
    s.rot = 315.0f;
    s.ystp = static_cast<float>(rnd(-2.0, -8.0));
  }
  s.y = 200.0f;
  s.xstp = static_cast<float>(rnd(1.0, 5.0));
}

// Curves from its diagonal start until it heads straight down, then dives,
// speeding up in every frame its turn overshoots.
void mosquito_fly(insect_tag& s) {
  const float heading = s.rot;
  s.x = static_cast<float>(s.x + s.xstp * platform::sin_deg(heading));
  s.y = static_cast<float>(s.y - s.xstp * platform::cos_deg(heading));
  s.rot += s.ystp;
  if ((s.ystp < 0.0f && s.rot < 180.0f) || (s.ystp >= 0.0f && s.rot > 180.0f)) {
    s.rot = 180.0f;
    s.xstp += 0.04f;
  }
  qwdraw->sip(1, 1.0f, heading, 1.0f, 1.0f);
  insect_draw(s);
  qwdraw->sip(1, 1.0f, 0.0f, 1.0f, 1.0f);
  if (s.y > 450.0f) s.state = 0;
}

}  // namespace

int insect_waiting_time(int typ) {
  return float_to_int(rnd(rules[typ].wait_low, rules[typ].wait_high));
}

int insect_first_stage(int typ) { return rules[typ].first_stage; }

void insect_enter(insect_tag& insect) {
  switch (insect.typ) {
    case spider:
      spider_enter(insect);
      break;
    case scorpion:
      scorpion_enter(insect);
      break;
    case flea:
      flea_enter(insect);
      break;
    default:
      mosquito_enter(insect);
      break;
  }
}

void insect_fly(insect_tag& insect) {
  switch (insect.typ) {
    case spider:
      spider_fly(insect);
      break;
    case scorpion:
      scorpion_fly(insect);
      break;
    case flea:
      flea_fly(insect);
      break;
    default:
      mosquito_fly(insect);
      break;
  }
}
