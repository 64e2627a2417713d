// The whole game under long runs of input from the automatic player
// (tools/replay/autoplay): stretches of random but valid input (menus, pauses,
// focus changes, sticks coming and going, games abandoned) between stretches of
// play that clear stage after stage into the fastest crawler. The run must
// end cleanly (a sanitizer report ends it with a non-zero status) and every
// state dump must keep the game's rules.
//
// VERMIX_SOAK_FRAMES sets the length (default 1500), VERMIX_SOAK_SEED the
// seed of both the player and the game (default 9). The long form:
//   VERMIX_SOAK_FRAMES=200000 ./vermix_tests --gtest_filter='Soak.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>

#include "tests/integration/game_run.h"
#include "tests/integration/soak_invariants.h"

namespace {

using nlohmann::json;

constexpr long dump_every = 60;
constexpr int faults_shown = 20;

long setting(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

// Runs the automatic player in `folder`; it writes play.script there.
testing_support::RunResult autoplay(testing_support::GameFolder& folder,
                                    long frames, long seed, bool soak,
                                    int timeout) {
  folder.use_program(VERMIX_AUTOPLAY);
  std::vector<std::string> args = {"--seed",
                                   std::to_string(seed),
                                   "--dump-every",
                                   std::to_string(dump_every),
                                   std::to_string(frames),
                                   "play.script"};
  if (soak) args.insert(args.begin(), "--soak");
  return folder.run_raw(args, timeout);
}

// Collects broken rules, printing the first few as they come.
struct FaultLog {
  int count = 0;
  void add(const soak::Faults& faults) {
    for (const std::string& f : faults) {
      if (++count <= faults_shown) ADD_FAILURE() << f;
    }
  }
};

TEST(Soak, RandomPlayEndsCleanlyAndKeepsTheRules) {
  const long frames = setting("VERMIX_SOAK_FRAMES", 1500);
  const long seed = setting("VERMIX_SOAK_SEED", 9);

  testing_support::GameFolder folder;
  // A hang ends the run, just before ctest's own limit of 300 s for the
  // short form. Generous: the sanitizer build plays some 40 frames a second
  // of CPU time, and a busy machine gives it a fraction of a core.
  const int timeout = static_cast<int>(std::max(290L, frames / 10));
  const auto start = std::chrono::steady_clock::now();
  const testing_support::RunResult run =
      autoplay(folder, frames, seed, true, timeout);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;

  const std::vector<json> dumps = folder.dumps("dump.jsonl");
  const std::vector<json> fresh = folder.dumps("reset.jsonl");
  // Fewer dumps would mean the game ended before the player did.
  ASSERT_EQ(static_cast<long>(dumps.size()), frames / dump_every);
  ASSERT_FALSE(fresh.empty());

  FaultLog log;
  int top_stage = 0;
  std::set<int> speeds;
  for (std::size_t i = 0; i < dumps.size(); ++i) {
    log.add(soak::check_dump(dumps[i]));
    if (i > 0) log.add(soak::check_step(dumps[i - 1], dumps[i]));
    if (dumps[i]["game_state"] == 2) {
      top_stage = std::max(top_stage, dumps[i]["stage"].get<int>());
      speeds.insert(dumps[i]["crawler_speed"].get<int>());
    }
  }
  for (const json& d : fresh) log.add(soak::check_fresh_game(d));
  EXPECT_EQ(log.count, 0) << "rules broken " << log.count << " times";

  std::string speed_list;
  for (int s : speeds) speed_list += " " + std::to_string(s);
  std::cout << "soak: seed " << seed << ", " << frames << " frames in "
            << seconds << " s (" << frames / seconds << " frames/s), "
            << fresh.size() << " games started from the title, stage "
            << top_stage << " reached, crawler speeds" << speed_list << "\n";
}

// What the automatic player writes is an ordinary input script: the game
// plays it to the very same states, and the player is good enough to take a
// game into the faster stages.
TEST(Soak, AutoplayScriptPlaysTheSameGame) {
  constexpr long frames = 900;
  testing_support::GameFolder played;
  const testing_support::RunResult run =
      autoplay(played, frames, 4, false, 290);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<json> expected = played.dumps("dump.jsonl");
  ASSERT_EQ(static_cast<long>(expected.size()), frames / dump_every);
  EXPECT_GE(expected.back()["crawler_speed"].get<int>(), 2)
      << "the automatic player stayed in the first stages";

  testing_support::expect_same_dumps(played.read_bytes("play.script"),
                                     {"--seed", "4"}, "dump.jsonl", expected);
}

}  // namespace
