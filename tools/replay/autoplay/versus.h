// A versus game played to its end on joysticks 0 and 1: both ships run into
// the spider or the lowest crawler segment, and only player 1 fires, so the
// game ends with a verdict.
#pragma once

#include "tools/replay/autoplay/tick_lines.h"

class VersusPlayer {
 public:
  // Input for one tick: the sticks plugged in at the first tick, the versus
  // line and a start on the title, the sticks steered while playing.
  void tick(TickLines& out, long since);

 private:
  void steer(TickLines& out, int port);

  bool connected_ = false;
  int axes_[2][2] = {{0, 0}, {0, 0}};
  bool firing_ = false;
};
