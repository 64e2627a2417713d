// The segmented crawler: every segment moves by the same rules on its own,
// in enemies/crawler.cpp.
#pragma once

struct vermix_tag {
  int x = 0;
  int y = 0;
  int rot = 0;    // heading: 0 up, 90 right, 180 down, 270 left
  int head = 0;   // 1 for the first segment of a chain
  int pvdir = 0;  // 180 working down the field, 0 climbing in the bottom zone
  int phdir = 0;  // 90 or 270: the course taken again after a one-row step
  int dst = 0;    // frames since the last decision point
  int ftmr = 0;
  int fctr = 0;

  static int new_spawn();
  int update();
  static int update_all();
  static int destroy_all();
};
