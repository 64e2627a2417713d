// The player's ship (body and trim) and its shot. The body and the shot are
// also the hit shapes, so their pixels are laid down exactly.
#include "tools/assets/make-art/sheet_layout.h"

namespace art {

void draw_ship_and_shot(Canvas& sheet) {
  Cell body = small_cell(sheet, 8);
  fill_spans(body, kWhite,
             {{0, 1, 4, 5},
              {2, 2, 3, 6},
              {3, 3, 2, 7},
              {4, 7, 1, 8},
              {8, 8, 2, 7},
              {9, 9, 3, 6}});

  // Swept stripes on both flanks, inside the body's outline.
  Cell trim = small_cell(sheet, 9);
  fill_spans(trim, kWhite,
             {{4, 4, 1, 1},
              {5, 5, 1, 2},
              {6, 6, 2, 3},
              {7, 7, 3, 3},
              {4, 4, 8, 8},
              {5, 5, 7, 8},
              {6, 6, 6, 7},
              {7, 7, 6, 6}});

  // A bolt with a trail of shrinking sparks below it.
  Cell shot = small_cell(sheet, 10);
  fill_spans(shot, kWhite,
             {{0, 2, 3, 6}, {4, 5, 3, 6}, {7, 7, 4, 5}, {9, 9, 4, 5}});
}

}  // namespace art
