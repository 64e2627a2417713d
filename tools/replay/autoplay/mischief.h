// Random but valid input for long unattended runs: the pointer, clicks,
// Control, Space, Escape, joysticks coming and going with their axes and
// buttons, focus lost and gained, menu options, versus on and off. It sees
// the game, so it never sends what would end the program.
#pragma once

#include <random>
#include <set>
#include <utility>

#include "tools/replay/autoplay/tick_lines.h"

class Mischief {
 public:
  explicit Mischief(unsigned seed) : rng_(seed) {}

  // Random input for one tick. Unless `may_leave_game`, a game in play is
  // neither abandoned nor left for the title.
  void tick(TickLines& out, bool may_leave_game);

  // Lets go of every held button, centres every stick and regains the focus,
  // so that another player can take over. Returns true when nothing was left
  // to undo.
  bool settle(TickLines& out);

 private:
  int below(int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(rng_);
  }
  bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
  void stick_event(TickLines& out);
  void pointer_to_safe_row(TickLines& out);

  std::mt19937 rng_;
  std::set<int> ports_;                 // plugged-in sticks
  std::set<std::pair<int, int>> held_;  // (port, button) held down
  long focus_back_ = -1;                // tick the focus returns, or -1
};
