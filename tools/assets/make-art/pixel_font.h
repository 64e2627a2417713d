// Our blocky lettering: capitals on a 5 x 7 grid of blocks, with wedge
// blocks that chamfer corners and carry the diagonals.
#pragma once

#include <functional>
#include <string>

namespace art {

struct Lettering {
  double block_width;   // pixels per grid column
  double block_height;  // pixels per grid row
  double gap;           // pixels between letters, before thickening
  double weight = 0.0;  // pixels added around every stroke
};

// Width in pixels of `text` set in `style` (spaces are one letter wide).
double text_width(const std::string& text, const Lettering& style);

// Calls `plot(x, y, u, v)` for every pixel centre that the text covers when
// its top-left corner is at (left, top); u and v run 0..1 across the whole
// text's width and height, for shading. Unknown letters are left blank.
void set_text(const std::string& text, const Lettering& style, double left,
              double top,
              const std::function<void(int, int, double, double)>& plot);

// Whether the text covers the point (x, y), relative to its top-left corner
// (the corner of the letter grid, before thickening).
bool text_covers(const std::string& text, const Lettering& style, double x,
                 double y);

}  // namespace art
