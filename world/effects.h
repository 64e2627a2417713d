// Decorative debris dots and score pop-ups; what they do is in
// actors/particles.cpp and actors/score_popups.cpp.
#pragma once

#include <string>

struct particle_tag {
  float x = 0.0f;
  float y = 0.0f;
  float xstp = 0.0f;
  float ystp = 0.0f;
  float sc = 0.0f;
  int clrid = 0;

  static int explode(float x, float y, float sc, int clrid, int count);
  int update();
  static int update_all();
  static int destroy_all();
};

struct points_tag {
  int x = 0;
  int y = 0;
  std::string pnt;
  int tmr = 0;

  static int init(int x, int y, int value);
  int update();
  static int update_all();
  static int destroy_all();
};
