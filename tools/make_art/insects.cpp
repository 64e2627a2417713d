// The insects, 20 x 20 and facing up: a first-colour body and two
// second-colour poses each. Legs are one-pixel strokes bent at a knee.
#include <cmath>
#include <iterator>

#include "tools/make_art/shapes.h"
#include "tools/make_art/sheet_layout.h"

namespace art {

namespace {

constexpr double kThin =
    0.6;  // half-width that keeps diagonal strokes unbroken

struct Point {
  double x, y;
};

// A leg from the body through a knee to the foot.
void draw_leg(Cell& cell, Point hip, Point knee, Point foot) {
  cell.fill(kWhite, Stroke{hip.x, hip.y, knee.x, knee.y, kThin});
  cell.fill(kWhite, Stroke{knee.x, knee.y, foot.x, foot.y, kThin});
}

// The same leg on the other side of the vertical line x = axis.
void draw_leg_pair(Cell& cell, double axis, Point hip, Point knee, Point foot) {
  draw_leg(cell, hip, knee, foot);
  auto m = [axis](Point p) { return Point{2 * axis - p.x, p.y}; };
  draw_leg(cell, m(hip), m(knee), m(foot));
}

void draw_spider(Canvas& sheet) {
  Cell body = large_cell(sheet, 0);
  body.fill(kWhite, Ellipse{10.5, 10.5, 4.6, 3.6});
  for (int pose = 0; pose < 2; ++pose) {
    Cell legs = large_cell(sheet, 1 + pose);
    for (int i = 0; i < 4; ++i) {
      // Knees high, feet fanned from front to back; every other leg lifts
      // from one pose to the next.
      const double lift = ((i + pose) % 2 == 0) ? -1.2 : 0.8;
      const double hip = 8.5 + 1.3 * i;
      draw_leg_pair(legs, 10.5, {6.5, hip},
                    {3.5, hip - 3.0 + (i - 1.5) * 0.7 + lift},
                    {0.8, hip + 2.0 + (i - 1.5) * 3.0 + lift});
    }
  }
}

void draw_flea(Canvas& sheet) {
  Cell body = large_cell(sheet, 3);
  body.fill(kWhite, Ellipse{13.0, 7.0, 6.05, 5.05});
  for (int pose = 0; pose < 2; ++pose) {
    Cell marks = large_cell(sheet, 4 + pose);
    marks.fill(kWhite, Ellipse{6.5, 2.5, 1.6, 1.3});
    const double kick = pose == 0 ? 0.0 : 2.0;
    draw_leg(marks, {9.0, 10.5}, {5.0, 14.0 - kick}, {3.0, 19.0 - kick});
    draw_leg(marks, {12.0, 11.5}, {9.5, 15.0 + kick * 0.5}, {8.0, 19.5});
    draw_leg(marks, {15.5, 11.0}, {16.5, 15.5 - kick}, {14.0, 19.5 - kick});
  }
}

void draw_scorpion(Canvas& sheet) {
  Cell body = large_cell(sheet, 6);
  body.fill(kWhite, Ellipse{8.0, 14.0, 5.1, 2.9});
  // Pincers: an arm up from the front of the body, an open claw on top.
  for (double x : {3.5, 9.0}) {
    body.fill(kWhite, Stroke{x + 1.0, 12.5, x, 8.0, 0.8});
    body.fill(kWhite, Stroke{x, 8.0, x - 1.3, 4.0, 0.7});
    body.fill(kWhite, Stroke{x, 8.0, x + 1.3, 4.5, 0.7});
  }
  // The tail rises from the back and curls over to the left, thinning
  // towards the sting.
  constexpr Point kTail[] = {{12.5, 13.5}, {15.5, 12.0}, {17.3, 9.0},
                             {17.3, 5.5},  {15.5, 3.0},  {13.3, 2.8}};
  const int joints = static_cast<int>(std::size(kTail));
  for (int i = 0; i + 1 < joints; ++i) {
    const double w = 1.2 - 0.12 * i;
    body.fill(kWhite, Stroke{kTail[i].x, kTail[i].y, kTail[i + 1].x,
                             kTail[i + 1].y, w});
  }
  body.fill(kWhite, Stroke{13.3, 2.8, 12.5, 5.5, 0.55});  // the sting
  for (int pose = 0; pose < 2; ++pose) {
    Cell marks = large_cell(sheet, 7 + pose);
    fill_spans(marks, kWhite, {{12, 12, 5, 5}, {12, 12, 8, 8}});  // eyes
    for (int i = 0; i < 3; ++i) {
      const double step = ((i + pose) % 2 == 0) ? 1.5 : -1.0;
      const double x = 6.0 + 2.7 * i;
      draw_leg(marks, {x, 15.5}, {x - 2.0 + step, 17.5},
               {x - 3.5 + step, 19.5});
    }
  }
}

void draw_mosquito(Canvas& sheet) {
  Cell body = large_cell(sheet, 9);
  body.fill(kWhite, Ellipse{10.0, 13.0, 1.6, 5.6});
  body.fill(kWhite, Ellipse{10.0, 6.0, 1.7, 1.7});
  body.fill(kWhite, Stroke{10.0, 4.5, 10.0, 0.5, 0.5});  // the sting
  for (int pose = 0; pose < 2; ++pose) {
    Cell wings = large_cell(sheet, 10 + pose);
    if (pose == 0) {  // spread
      wings.fill(kWhite, TiltedEllipse{4.8, 10.0, 4.3, 2.0, -20.0});
      wings.fill(kWhite, TiltedEllipse{15.2, 10.0, 4.3, 2.0, 20.0});
    } else {  // folded back along the body
      wings.fill(kWhite, TiltedEllipse{7.0, 14.0, 1.3, 4.6, 15.0});
      wings.fill(kWhite, TiltedEllipse{13.0, 14.0, 1.3, 4.6, -15.0});
    }
    fill_spans(wings, kWhite, {{5, 5, 8, 8}, {5, 5, 11, 11}});  // eyes
  }
}

}  // namespace

void draw_insects(Canvas& sheet) {
  draw_spider(sheet);
  draw_flea(sheet);
  draw_scorpion(sheet);
  draw_mosquito(sheet);
}

}  // namespace art
