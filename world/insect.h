// The four insects: spider, scorpion, flea and mosquito, one object each;
// what they do is in enemies/insect.cpp and enemies/insect_kinds.cpp.
#pragma once

struct insect_tag {
  float x = 0.0f;
  float y = 0.0f;
  int state = 0;  // 0 waiting, 1 on the field
  int typ = 0;    // 0 spider, 1 scorpion, 2 flea, 3 mosquito
  float rot = 0.0f;
  int dir = 0;
  float xstp = 0.0f;
  float ystp = 0.0f;
  int ftmr = 0;
  int fctr = 0;
  int tmr = 0;
  int dist = 0;

  static int init();
  static int update_all();
  static int reset_all();
};
