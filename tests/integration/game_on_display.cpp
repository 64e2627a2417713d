#include "tests/integration/game_on_display.h"

#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/x_display.h"

namespace testing_support {

GameOnDisplay::GameOnDisplay(GameFolder& game, const std::string& display,
                             const std::vector<std::string>& args)
    : game_(game) {
  pid_ = game.start(args, [&] {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    // The system's X and D-Bus libraries keep a few blocks to the end; the
    // game's own code is leak-checked in every offscreen run.
    setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
  });
  window_ = xdotool(display, "search --sync --onlyvisible --name Vermix");
}

GameOnDisplay::~GameOnDisplay() {
  if (ended_ || pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

RunResult GameOnDisplay::end() {
  kill(pid_, SIGTERM);
  ended_ = true;
  return game_.wait(pid_);
}

}  // namespace testing_support
