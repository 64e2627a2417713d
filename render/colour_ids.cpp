// The five-colour palette shared by every actor, and the random colour pairs
// chosen at each field start.
#include <array>

#include "render/qwdraw.h"
#include "world/world.h"

namespace {

struct Rgb {
  int r, g, b;
};

constexpr std::array<Rgb, 5> palette = {{
    {196, 2, 2},    // 1 red
    {43, 230, 0},   // 2 green
    {0, 6, 230},    // 3 blue
    {196, 2, 153},  // 4 magenta
    {255, 252, 5},  // 5 yellow
}};

int random_colour_id() {
  return platform::float_to_int(1 + platform::rnd(5, 0));
}

// Both ids are drawn again until they differ.
void pick_pair(int& a, int& b) {
  int first = 0;
  int second = 0;
  do {
    first = random_colour_id();
    second = random_colour_id();
  } while (first == second);
  a = first;
  b = second;
}

}  // namespace

int set_colour_id(int id) {
  if (id < 1 || id > static_cast<int>(palette.size())) return 0;
  const Rgb& c = palette[static_cast<std::size_t>(id - 1)];
  platform::set_color(c.r, c.g, c.b);
  return 0;
}

int pick_colours() {
  pick_pair(player_colour_a, player_colour_b);
  pick_pair(mushroom_colour_a, mushroom_colour_b);
  pick_pair(crawler_colour_a, crawler_colour_b);
  pick_pair(insect_colour_a, insect_colour_b);
  return 0;
}
