// The game running on a real X display (SDL's x11 driver), its window found
// by its caption; killed when it goes out of scope unless ended in order.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/integration/game_run.h"

namespace testing_support {

class GameOnDisplay {
 public:
  GameOnDisplay(GameFolder& game, const std::string& display,
                const std::vector<std::string>& args);
  ~GameOnDisplay();
  GameOnDisplay(const GameOnDisplay&) = delete;
  GameOnDisplay& operator=(const GameOnDisplay&) = delete;

  // xdotool's id of the game's window; anything but digits is its error.
  const std::string& window() const { return window_; }
  bool window_found() const {
    return !window_.empty() &&
           window_.find_first_not_of("0123456789") == std::string::npos;
  }
  // Asks the game to end in order (SIGTERM) and waits for it.
  RunResult end();

 private:
  GameFolder& game_;
  pid_t pid_ = -1;
  bool ended_ = false;
  std::string window_;
};

}  // namespace testing_support
