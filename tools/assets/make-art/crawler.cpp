// Crawler segments, facing up: a round head with horns, eyes and a jaw, a round
// body with legs that swap corners between two frames.
#include "tools/assets/make-art/shapes.h"
#include "tools/assets/make-art/sheet_layout.h"

namespace art {

namespace {

// 8 pixels across, rows and columns 1..8. It is also every segment's hit
// shape, so it stays inside the cell by a pixel on each side.
void draw_disc(Cell cell) { cell.fill(kWhite, Ellipse{5.0, 5.0, 4.06, 4.06}); }

}  // namespace

void draw_crawler(Canvas& sheet) {
  draw_disc(small_cell(sheet, 26));

  // The head's face: horns curving out of the top corners, two big eyes
  // and a jaw line across the front, so a head stands out from the body.
  Cell face = small_cell(sheet, 27);
  fill_spans(face, kWhite,
             {{0, 0, 1, 1},
              {1, 1, 2, 2},  // left horn
              {0, 0, 8, 8},
              {1, 1, 7, 7},  // right horn
              {3, 4, 2, 3},
              {3, 4, 6, 7},    // eyes
              {6, 6, 3, 6}});  // jaw

  draw_disc(small_cell(sheet, 28));

  Cell legs_a = small_cell(sheet, 29);
  fill_spans(legs_a, kWhite, {{0, 1, 0, 1}, {8, 9, 8, 9}});
  Cell legs_b = small_cell(sheet, 30);
  fill_spans(legs_b, kWhite, {{0, 1, 8, 9}, {8, 9, 0, 1}});
}

}  // namespace art
