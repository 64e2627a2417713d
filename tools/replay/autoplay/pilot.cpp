#include "tools/replay/autoplay/pilot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "world/field.h"
#include "world/world.h"

namespace {

constexpr int ship_top = 410, ship_bottom = 450;
constexpr int display_right = 639, display_bottom = 479;
constexpr int shot_step = 15;      // a shot climbs this far each frame
constexpr int insect_margin = 16;  // insects move less predictably: keep away

struct Point {
  int x = 0;
  int y = 0;
};

// Something to shoot: where it stands after this frame's move, how far it
// moves per frame, and for how many more frames that holds.
struct Target {
  Point at;
  Point step;
  int frames_sure = 0;
  bool segment = false;
  int priority = 0;  // lower first
};

Point heading_step(int rot, int speed) {
  switch (rot) {
    case 0:
      return {0, -speed};
    case 90:
      return {speed, 0};
    case 180:
      return {0, speed};
    default:
      return {-speed, 0};
  }
}

Point insect_step(const insect_tag& i) {
  switch (i.typ) {
    case 0:
      return {platform::float_to_int(i.xstp), platform::float_to_int(i.ystp)};
    case 1:
      return {-1, 0};
    case 2:
      return {0, platform::float_to_int(i.ystp)};
    default:
      return {platform::float_to_int(i.xstp * platform::sin_deg(i.rot)),
              platform::float_to_int(-i.xstp * platform::cos_deg(i.rot))};
  }
}

Point plus(Point p, Point step, int times) {
  return {p.x + step.x * times, p.y + step.y * times};
}

std::vector<Target> segments() {
  std::vector<Target> out;
  const int decision_every = 10 / std::max(1, crawler_speed);
  crawler_list.for_each([&](const vermix_tag& s) {
    Target t;
    t.step = heading_step(s.rot, crawler_speed);
    t.at = plus({s.x, s.y}, t.step, 1);
    // The heading may change at the decision after this frame's move.
    t.frames_sure = std::max(0, decision_every - (s.dst + 1));
    t.segment = true;
    t.priority = 1000 - t.at.y;  // the lowest first
    out.push_back(t);
  });
  return out;
}

std::vector<Target> flying_insects() {
  std::vector<Target> out;
  for (const auto& i : insects) {
    if (!i || i->state != 1) continue;
    Target t;
    t.step = insect_step(*i);
    t.at = plus({platform::float_to_int(i->x), platform::float_to_int(i->y)},
                t.step, 1);
    t.frames_sure = 2;
    // Spiders threaten the ship, a scorpion brings a life.
    t.priority = i->typ == 0 ? -2 : i->typ == 1 ? -1 : 2000;
    out.push_back(t);
  }
  return out;
}

bool spider_due() {
  const auto& spider = insects[0];
  return spider && spider->state == 0 && spider->tmr <= 2;
}

bool ship_safe(Point ship, const std::vector<Target>& segs,
               const std::vector<Target>& bugs) {
  for (const Target& s : segs) {
    if (platform::images_collide(sprites10, s.at.x, s.at.y, 28, sprites10,
                                 ship.x, ship.y, 8)) {
      return false;
    }
  }
  for (const Target& b : bugs) {
    if (b.at.y >= ship_top - insect_margin &&
        std::abs(b.at.x - ship.x) < insect_margin &&
        std::abs(b.at.y - ship.y) < insect_margin) {
      return false;
    }
  }
  // A spider enters at a wall, somewhere on rows 330 to 430.
  if (spider_due() && (ship.x < field_left + insect_margin ||
                       ship.x > field_right - insect_margin)) {
    return false;
  }
  return true;
}

Point ship_for(Point pointer) {
  return {std::clamp(pointer.x, field_left, field_right),
          std::clamp(pointer.y, ship_top, ship_bottom)};
}

// A mushroom in the way takes the shot before it gets there.
bool shot_blocked(Point from, int frames) {
  for (int j = 0; j <= frames; ++j) {
    const int y = from.y - shot_step * j;
    for (const auto& m : mushrooms) {
      if (!m || m->img < 11 || m->img > 17 || std::abs(m->x - from.x) > 10) {
        continue;
      }
      if (platform::images_collide(sprites10, from.x, y - 5, 10, sprites10,
                                   m->x, m->y, 25)) {
        return true;
      }
    }
  }
  return false;
}

// Where to put the pointer so that a shot fired now meets the target, with
// the ship safe where it lands.
std::optional<Point> aim(const Target& t, const std::vector<Target>& segs,
                         const std::vector<Target>& bugs) {
  for (int k = 0; k <= t.frames_sure; ++k) {
    const Point meet = plus(t.at, t.step, k);
    const Point from{meet.x, meet.y + shot_step * k};
    if (meet.x < field_left || meet.x > field_right || meet.y < 30 ||
        from.y > display_bottom || from.x > display_right) {
      continue;
    }
    if (!ship_safe(ship_for(from), segs, bugs) || shot_blocked(from, k)) {
      continue;
    }
    return from;
  }
  return std::nullopt;
}

Point current_ship() {
  return {platform::float_to_int(player1->x),
          platform::float_to_int(player1->y)};
}

// The nearest safe place for the ship, the current one if it is safe.
Point dodge(const std::vector<Target>& segs, const std::vector<Target>& bugs) {
  const Point here = current_ship();
  if (ship_safe(here, segs, bugs)) return here;
  std::optional<Point> best;
  int best_distance = 0;
  for (int y = ship_top; y <= ship_bottom; y += 10) {
    for (int x = field_left; x <= field_right; x += 5) {
      const Point p{x, y};
      if (!ship_safe(p, segs, bugs)) continue;
      const int d = std::abs(x - here.x) + std::abs(y - here.y);
      if (!best || d < best_distance) {
        best = p;
        best_distance = d;
      }
    }
  }
  return best.value_or(here);
}

}  // namespace

void pilot_tick(TickLines& out, bool spare_last_segment) {
  if (!player1 || player1->state != 1) return;
  const std::vector<Target> segs = segments();
  const std::vector<Target> bugs = flying_insects();
  if (player1->shoot == 0) {
    std::vector<Target> targets = bugs;
    const bool spare = spare_last_segment && segs.size() == 1;
    for (const Target& s : segs) {
      if (!spare && s.at.x >= field_left && s.at.x <= field_right) {
        targets.push_back(s);
      }
    }
    std::stable_sort(targets.begin(), targets.end(),
                     [](const Target& a, const Target& b) {
                       return a.priority < b.priority;
                     });
    for (const Target& t : targets) {
      if (const std::optional<Point> from = aim(t, segs, bugs)) {
        out.mouse(from->x, from->y);
        out.click();
        return;
      }
    }
  }
  const Point ship = dodge(segs, bugs);
  if (ship.x != current_ship().x || ship.y != current_ship().y) {
    out.mouse(ship.x, ship.y);
  }
}

void menu_tick(TickLines& out, long since) {
  // Give each answer a few frames to take effect before the next.
  if (since % 5 != 1) return;
  switch (game_state) {
    case state_title:
      // The versus line (4) toggles back to one player; line 0 starts.
      out.mouse(320, versus_mode != 0 ? 340 : 260);
      out.click();
      return;
    case state_paused:
      // Line 0 resumes; line 7 leaves a versus game, which is not ours.
      out.mouse(320, versus_mode != 0 ? 400 : 260);
      out.click();
      return;
    case state_game_over:
      if (game_over_timer > 100) out.click();
      return;
    default:
      out.click();  // the opening logo
      return;
  }
}
