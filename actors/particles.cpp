#include "render/qwdraw.h"
#include "world/field.h"
#include "world/world.h"

int particle_tag::explode(float x, float y, float sc, int clrid, int count) {
  for (int n = 1; n <= count; ++n) {
    auto p = std::make_unique<particle_tag>();
    p->sc = sc;
    p->clrid = clrid;
    p->x = x;
    p->y = y;
    p->xstp = static_cast<float>(platform::rnd(-4.5, 4.5));
    p->ystp = static_cast<float>(platform::rnd(-1.5, -4.5));
    particle_list.append(std::move(p));
  }
  return 0;
}

int particle_tag::update() {
  set_colour_id(clrid);
  qwdraw->sip(4, 1.0f, 0, sc, sc);
  // Dots above the top row keep flying but are not drawn.
  if (y > 30) {
    qwdraw->i3d(sprites10, x, y, 28, static_cast<float>(hologram_intensity), 0,
                2);
  }
  x += xstp;
  y += ystp;
  ystp += 0.1f;
  if (xstp > 0) {
    xstp -= 0.02f;
  } else {
    xstp += 0.02f;
  }
  if (x < field_left || x > right_border || y > 460) particle_list.remove(this);
  return 0;
}

int particle_tag::update_all() {
  particle_list.for_each([](particle_tag& p) { p.update(); });
  return 0;
}

int particle_tag::destroy_all() {
  particle_list.clear();
  return 0;
}
