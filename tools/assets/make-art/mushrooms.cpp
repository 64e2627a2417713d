// Mushrooms: a solid silhouette (the hit shape), and outline/inside pairs at
// seven stages of being eaten away from the bottom up. Each pair covers the
// silhouette cut off below a given row, the outline being the cut shape's
// rim plus a few spots on the cap.
#include "tools/assets/make-art/sheet_layout.h"

namespace art {

namespace {

constexpr int kStages = 7;
constexpr int kFirstOutline = 11;
constexpr int kFirstInside = 18;
constexpr int kSilhouette = 25;
// Lowest row left at each stage: the stalk goes first, then the cap.
constexpr int kLastRow[kStages] = {9, 8, 7, 6, 5, 4, 2};

struct Shape {
  bool on[10][10] = {};
  bool at(int x, int y) const {
    return x >= 0 && y >= 0 && x < 10 && y < 10 && on[y][x];
  }
};

Shape silhouette() {
  constexpr int left[10] = {3, 2, 1, 0, 0, 0, 3, 3, 3, 3};
  constexpr int right[10] = {6, 7, 8, 9, 9, 9, 6, 6, 6, 6};
  Shape s;
  for (int y = 0; y < 10; ++y) {
    for (int x = left[y]; x <= right[y]; ++x) s.on[y][x] = true;
  }
  return s;
}

bool is_rim(const Shape& s, int x, int y) {
  return !s.at(x - 1, y) || !s.at(x + 1, y) || !s.at(x, y - 1) ||
         !s.at(x, y + 1);
}

bool is_spot(int x, int y) {
  return (x == 3 && y == 2) || (x == 6 && y == 3) || (x == 2 && y == 4);
}

void draw_stage(Canvas& sheet, const Shape& whole, int stage) {
  Shape cut;
  for (int y = 0; y <= kLastRow[stage]; ++y) {
    for (int x = 0; x < 10; ++x) cut.on[y][x] = whole.on[y][x];
  }
  Cell outline = small_cell(sheet, kFirstOutline + stage);
  Cell inside = small_cell(sheet, kFirstInside + stage);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      if (!cut.at(x, y)) continue;
      if (is_rim(cut, x, y) || is_spot(x, y)) {
        outline.set(x, y, kWhite);
      } else {
        inside.set(x, y, kWhite);
      }
    }
  }
}

}  // namespace

void draw_mushrooms(Canvas& sheet) {
  const Shape whole = silhouette();
  for (int stage = 0; stage < kStages; ++stage) draw_stage(sheet, whole, stage);
  Cell solid = small_cell(sheet, kSilhouette);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      if (whole.at(x, y)) solid.set(x, y, kWhite);
    }
  }
}

}  // namespace art
