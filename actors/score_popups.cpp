#include "render/qwdraw.h"
#include "world/world.h"

int points_tag::init(int x, int y, int value) {
  auto p = std::make_unique<points_tag>();
  p->x = x;
  p->y = y;
  p->pnt = value == 1 ? "1up" : platform::int_to_string(value);
  points_list.append(std::move(p));
  return 0;
}

int points_tag::update() {
  // A fresh colour every frame makes the text flicker; 0 keeps whatever
  // colour the previous drawing left.
  const int r = platform::float_to_int(platform::rnd(5, 0));
  tmr += 1;
  qwdraw->sip(3, 1.0f, 0, 1.0f, 1.0f);
  if (r == 2) {
    platform::set_color(255, 255, 255);
  } else {
    set_colour_id(r);
  }
  qwdraw->t3d(pnt, static_cast<float>(x), static_cast<float>(y),
              static_cast<float>(hologram_intensity), 1, 2);
  if (tmr >= 100) points_list.remove(this);
  return 0;
}

int points_tag::update_all() {
  points_list.for_each([](points_tag& p) { p.update(); });
  return 0;
}

int points_tag::destroy_all() {
  points_list.clear();
  return 0;
}
