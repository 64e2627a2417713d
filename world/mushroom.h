// The mushroom field: 90 fixed slots on the playfield grid; what they do is
// in actors/mushroom.cpp.
#pragma once

struct mushroom_tag {
  int x = 0;
  int y = 0;
  int img = 0;  // 11..17 standing, 18+ destroyed, 0 empty slot
  int hit = 0;

  static int init();
  static int new_patch();
  int update();
  static int update_all();
};
