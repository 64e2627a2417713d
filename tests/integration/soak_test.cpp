// The whole game under a long script of random but valid input written by
// tools/soak_script.py: menus, pauses, focus changes, sticks coming and going,
// games abandoned, and long games played into the fast stages. The run must
// end cleanly (a sanitizer report ends it with a non-zero status) and every
// state dump must keep the game's rules.
//
// VERMIX_SOAK_FRAMES sets the length (default 1500), VERMIX_SOAK_SEED the
// seed of both the script and the game (default 9). The long form:
//   VERMIX_SOAK_FRAMES=200000 ./vermix_tests --gtest_filter='Soak.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

std::string generated_script(long seed, long frames) {
  const std::string command =
      "python3 " VERMIX_SOURCE_DIR "/tools/soak_script.py " +
      std::to_string(seed) + " " + std::to_string(frames) + " --dump-every " +
      std::to_string(dump_every);
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    text.append(buffer, n);
  }
  return pclose(pipe) == 0 ? text : std::string();
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
  const std::string script = generated_script(seed, frames);
  ASSERT_FALSE(script.empty()) << "tools/soak_script.py wrote nothing";

  testing_support::GameFolder folder;
  // A hang ends the run, just before ctest's own limit of 300 s for the
  // short form. Generous: the sanitizer build plays some 45 frames a second
  // of CPU time, and a busy machine gives it a fraction of a core.
  const int timeout = static_cast<int>(std::max(290L, frames / 10));
  const auto start = std::chrono::steady_clock::now();
  const testing_support::RunResult run =
      folder.run(script, {"--seed", std::to_string(seed)}, timeout);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;

  const std::vector<json> dumps = folder.dumps("dump.jsonl");
  const std::vector<json> fresh = folder.dumps("reset.jsonl");
  // Fewer dumps would mean the game ended before the script did.
  ASSERT_EQ(static_cast<long>(dumps.size()), (frames - 1) / dump_every);
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

}  // namespace
