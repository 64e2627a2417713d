// The insects, 20 x 20 and facing up: a first-colour body and two
// second-colour poses each, which add legs, faces and markings. Legs are
// one-pixel strokes bent at a knee.
#include <cmath>
#include <iterator>

#include "tools/assets/make-art/shapes.h"
#include "tools/assets/make-art/sheet_layout.h"

namespace art {

namespace {

constexpr double kThin =
    0.6;  // half-width that keeps diagonal strokes unbroken

struct Point {
  double x, y;
};

// A leg from the body through a knee to the foot.
void draw_leg(Cell& cell, Point hip, Point knee, Point foot,
              double half_width = kThin) {
  cell.fill(kWhite, Stroke{hip.x, hip.y, knee.x, knee.y, half_width});
  cell.fill(kWhite, Stroke{knee.x, knee.y, foot.x, foot.y, half_width});
}

// The same leg on both sides of the cell's middle line x = 10.
void draw_leg_pair(Cell& cell, Point hip, Point knee, Point foot) {
  draw_leg(cell, hip, knee, foot);
  auto m = [](Point p) { return Point{20.0 - p.x, p.y}; };
  draw_leg(cell, m(hip), m(knee), m(foot));
}

// An oval body with eight legs, four a side, front pairs reaching forward
// and back pairs backward; the pairs step in turn between the poses. Eyes
// and fangs mark the front of the body.
void draw_spider(Canvas& sheet) {
  Cell body = large_cell(sheet, 0);
  body.fill(kWhite, Ellipse{10.0, 10.0, 4.6, 3.6});
  constexpr Point kHip[] = {{6.5, 8.0}, {6.0, 9.5}, {6.0, 11.0}, {6.5, 12.5}};
  constexpr Point kKnee[] = {{3.5, 4.5}, {2.5, 7.0}, {2.5, 12.5}, {3.5, 15.5}};
  constexpr Point kFoot[] = {{2.0, 0.8}, {0.5, 4.5}, {0.5, 16.0}, {2.0, 19.3}};
  for (int pose = 0; pose < 2; ++pose) {
    Cell legs = large_cell(sheet, 1 + pose);
    for (int i = 0; i < 4; ++i) {
      const double step = ((i + pose) % 2 == 0) ? -1.2 : 1.2;
      draw_leg_pair(legs, kHip[i], {kKnee[i].x, kKnee[i].y + step * 0.5},
                    {kFoot[i].x, kFoot[i].y + step});
    }
    fill_spans(legs, kWhite,
               {{7, 7, 8, 8},
                {7, 7, 11, 11},  // eyes
                {4, 5, 8, 8},
                {4, 5, 11, 11}});  // fangs
  }
}

// A humped body high on the right; the head sits against its front, and
// the poses add the body's bands and the legs, the long hind leg folded
// for a jump in one pose and kicked out in the other.
void draw_flea(Canvas& sheet) {
  Cell body = large_cell(sheet, 3);
  body.fill(kWhite, Ellipse{13.0, 7.0, 6.05, 5.05});
  for (int pose = 0; pose < 2; ++pose) {
    Cell marks = large_cell(sheet, 4 + pose);
    marks.fill(kWhite, Ellipse{6.0, 4.5, 2.3, 2.0});         // head
    marks.fill(kWhite, Stroke{4.5, 6.0, 3.0, 9.5, 0.5});     // mouth
    marks.fill(kWhite, Stroke{5.5, 2.5, 3.5, 0.5, 0.5});     // feeler
    marks.fill(kWhite, Stroke{11.0, 2.7, 10.0, 11.0, 0.5});  // bands
    marks.fill(kWhite, Stroke{15.0, 2.3, 14.5, 11.5, 0.5});
    if (pose == 0) {  // crouched
      draw_leg(marks, {16.5, 10.5}, {19.0, 15.0}, {14.5, 19.5}, 0.75);
      draw_leg(marks, {12.0, 11.5}, {10.5, 15.5}, {12.0, 19.5});
      draw_leg(marks, {8.5, 10.0}, {6.0, 14.0}, {4.5, 18.5});
    } else {  // kicking off
      draw_leg(marks, {16.5, 10.5}, {18.0, 14.5}, {19.3, 19.5}, 0.75);
      draw_leg(marks, {12.0, 11.5}, {11.0, 15.5}, {9.0, 19.0});
      draw_leg(marks, {8.5, 10.0}, {5.0, 12.5}, {2.5, 15.5});
    }
  }
}

// A body low on the left with two arms raised in front, each ending in an
// open claw, and a segmented tail curling up over the right with the sting
// at its tip. The poses add eyes and four legs a side.
void draw_scorpion(Canvas& sheet) {
  Cell body = large_cell(sheet, 6);
  body.fill(kWhite, Ellipse{7.0, 14.0, 4.6, 3.0});
  // Arms, and claws open to the front: a ring broken at the top.
  body.fill(kWhite, Stroke{4.0, 12.5, 2.5, 8.0, 0.7});
  body.fill(kWhite, Stroke{10.0, 12.5, 10.5, 8.0, 0.7});
  for (int left : {0, 8}) {
    fill_spans(body, kWhite,
               {{3, 3, left + 1, left + 1},
                {3, 3, left + 3, left + 3},
                {4, 5, left, left},
                {4, 5, left + 4, left + 4},
                {6, 6, left + 1, left + 3},
                {7, 7, left + 2, left + 2}});
  }
  // The tail thins towards the sting.
  constexpr Point kTail[] = {{11.0, 14.0}, {15.0, 13.0}, {17.5, 10.0},
                             {17.8, 6.0},  {16.0, 3.0},  {14.5, 2.5}};
  const int joints = static_cast<int>(std::size(kTail));
  for (int i = 0; i + 1 < joints; ++i) {
    const double w = 1.25 - 0.12 * i;
    body.fill(kWhite, Stroke{kTail[i].x, kTail[i].y, kTail[i + 1].x,
                             kTail[i + 1].y, w});
  }
  body.fill(kWhite, Stroke{14.5, 2.5, 14.0, 5.5, 0.55});  // the sting
  for (int pose = 0; pose < 2; ++pose) {
    Cell marks = large_cell(sheet, 7 + pose);
    fill_spans(marks, kWhite, {{12, 12, 5, 5}, {12, 12, 8, 8}});  // eyes
    for (int i = 0; i < 4; ++i) {
      const double step = ((i + pose) % 2 == 0) ? 1.0 : -0.5;
      const double x = 4.0 + 2.0 * i;
      draw_leg(marks, {x, 16.0}, {x - 1.5 + step, 17.5},
               {x - 2.5 + step, 19.5});
    }
  }
}

// A slim upright body under a round head and a long sting; the poses spread
// the wings wide or fold them along the body, with eyes on the head.
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
