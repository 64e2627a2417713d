// The playfield wall: five two-pixel colour bands, outermost first, running
// straight along the walls and bending through a quarter circle at the
// corners.
#include <cmath>

#include "tools/assets/make-art/sheet_layout.h"

namespace art {

namespace {

constexpr Rgb kBands[5] = {
    {196, 2, 153},  // magenta, the screen-outer edge
    {43, 230, 0},   // green
    {255, 252, 5},  // yellow
    {196, 2, 2},    // red
    {0, 6, 230},    // blue, next to the field
};

// depth: pixels from the outer edge of the wall.
Rgb band(int depth) {
  return kBands[depth < 0 ? 0 : (depth > 9 ? 4 : depth / 2)];
}

// Which way a tile faces: mirror_x / mirror_y flip it so that its outer edge
// lies right / bottom instead of left / top.
struct Orientation {
  bool mirror_x, mirror_y;
};

void draw_wall(Cell cell, bool vertical, bool mirrored) {
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      int depth = vertical ? x : y;
      if (mirrored) depth = 9 - depth;
      cell.set(x, y, band(depth));
    }
  }
}

// The top-left corner bends the bands around the field's corner point
// (10, 10); the others are its mirror images.
void draw_corner(Cell cell, Orientation o) {
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const double dx = 10.0 - (x + 0.5), dy = 10.0 - (y + 0.5);
      const int depth =
          static_cast<int>(std::floor(10.0 - std::sqrt(dx * dx + dy * dy)));
      cell.set(o.mirror_x ? 9 - x : x, o.mirror_y ? 9 - y : y, band(depth));
    }
  }
}

}  // namespace

void draw_border_tiles(Canvas& sheet) {
  draw_wall(small_cell(sheet, 0), true, false);  // left wall
  draw_corner(small_cell(sheet, 1), {false, false});
  draw_wall(small_cell(sheet, 2), false, false);  // top wall
  draw_corner(small_cell(sheet, 3), {true, false});
  draw_wall(small_cell(sheet, 4), true, true);  // right wall
  draw_corner(small_cell(sheet, 5), {false, true});
  draw_wall(small_cell(sheet, 6), false, true);  // bottom wall
  draw_corner(small_cell(sheet, 7), {true, true});
}

}  // namespace art
