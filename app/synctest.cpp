#include "app/synctest.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game_snapshot.h"
#include "app/state_checks.h"
#include "platform/automation.h"
#include "world/world.h"

namespace {

// A frame boundary of the first run: the snapshot and its checks, which are
// the replays' own with the random generator and the tick added.
struct Boundary {
  GameSnapshot game;
  replay::StateChecks checks;
  long tick = 0;
};

replay::StateChecks checks_now() {
  replay::StateChecks checks = state_checks();
  checks.emplace_back(
      "random", static_cast<std::uint32_t>(platform::detail::random_state()));
  checks.emplace_back("tick",
                      static_cast<std::uint32_t>(platform::current_tick()));
  return checks;
}

void keep(Boundary& b) {
  save_game(b.game);
  b.checks = checks_now();
  b.tick = platform::current_tick();
}

// The first check whose hash differs, "" when all agree.
std::string first_difference(const replay::StateChecks& want,
                             const replay::StateChecks& got) {
  for (std::size_t i = 0; i < want.size() && i < got.size(); ++i) {
    if (want[i] != got[i]) return want[i].first;
  }
  return want.size() == got.size() ? "" : "the list of checks";
}

[[noreturn]] void differs(const Boundary& b, long rollback,
                          const std::string& field) {
  std::cerr << "vermix: synctest: tick " << b.tick
            << " differs after a rollback of " << rollback << " (" << field
            << ")\n";
  platform::detail::exit_program(3);
}

}  // namespace

void run_synctest(int frames) {
  const auto kept = static_cast<std::size_t>(frames) + 1;
  std::vector<Boundary> ring(kept);
  long boundary = 0;  // frames played so far in the first run
  keep(ring[0]);
  do {
    run_frame();
    ++boundary;
    keep(ring[static_cast<std::size_t>(boundary) % kept]);
    const long back = std::min<long>(frames, boundary);
    load_game(ring[static_cast<std::size_t>(boundary - back) % kept].game);
    platform::detail::set_resimulating(true);
    for (long b = boundary - back + 1; b <= boundary; ++b) {
      run_frame();
      const Boundary& first = ring[static_cast<std::size_t>(b) % kept];
      const std::string field = first_difference(first.checks, checks_now());
      if (!field.empty()) differs(first, back, field);
    }
    platform::detail::set_resimulating(false);
  } while (quit_requested == 0);
}
