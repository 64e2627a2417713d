// The golden replays under tests/replays/ play the same game as when they
// were recorded: every check, the end and the final state. After a change
// meant to change play, tools/replay/rerecord-replays.sh records them again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/integration/game_run.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing_support::GameFolder;

const fs::path replays = fs::path(VERMIX_SOURCE_DIR) / "tests" / "replays";

std::string text_of(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The path of the first value that differs, e.g. "players/0/score".
std::string first_difference(const json& want, const json& got,
                             const std::string& at = "") {
  if (want.type() != got.type() || want.size() != got.size() ||
      (!want.is_structured() && want != got)) {
    return at.empty() ? "/" : at;
  }
  if (want.is_object()) {
    for (const auto& [key, value] : want.items()) {
      if (!got.contains(key)) return at + "/" + key;
      const std::string d = first_difference(value, got[key], at + "/" + key);
      if (!d.empty()) return d;
    }
  } else if (want.is_array()) {
    for (std::size_t i = 0; i < want.size(); ++i) {
      const std::string d =
          first_difference(want[i], got[i], at + "/" + std::to_string(i));
      if (!d.empty()) return d;
    }
  }
  return "";
}

TEST(GoldenReplays, EachPlaysAsRecordedToItsFinalState) {
  int played = 0;
  for (const auto& entry : fs::directory_iterator(replays)) {
    if (entry.path().extension() != ".replay") continue;
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    GameFolder game;
    std::ofstream(game.path() / "game.replay", std::ios::binary)
        << text_of(entry.path());
    const auto run =
        game.run_raw({"--window", "--fast", "--script", "game.replay",
                      "--dump-every", "1000000000", "final.jsonl"});
    // The game names the first differing tick and field itself.
    EXPECT_EQ(run.exit_code, 0) << run.err;
    const auto dumps = game.dumps("final.jsonl");
    ASSERT_FALSE(dumps.empty()) << run.err;
    const json want =
        json::parse(text_of(replays / (name + ".final.json")), nullptr, false);
    ASSERT_FALSE(want.is_discarded()) << name << ".final.json";
    const std::string diff = first_difference(want, dumps.back());
    EXPECT_EQ(diff, "") << "final state differs at " << diff << ": recorded "
                        << want << "\nnow " << dumps.back();
    ++played;
  }
  EXPECT_GE(played, 5);
}

// The stages replay shows the whole cast: the chain into the faster stages
// and each of the four insects out on the field at some moment.
TEST(GoldenReplays, StagesBringOutAllFourInsects) {
  GameFolder game;
  std::ofstream(game.path() / "game.replay", std::ios::binary)
      << text_of(replays / "stages.replay");
  const auto run =
      game.run_raw({"--window", "--fast", "--script", "game.replay",
                    "--dump-every", "1", "d.jsonl"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::set<int> out;
  int top_stage = 0;
  for (const json& d : game.dumps("d.jsonl")) {
    top_stage = std::max(top_stage, d["stage"].get<int>());
    for (const json& insect : d["insects"]) {
      if (insect["state"] != 0) out.insert(insect["typ"].get<int>());
    }
  }
  EXPECT_EQ(out, (std::set<int>{0, 1, 2, 3}));
  EXPECT_GE(top_stage, 6);
}

// A repeated timedemo starts each run from a fresh game: the replay's checks
// pass every time and every run leaves the very same dumps. Menus changes
// the settings and joystick plugs a stick in, both to be undone.
TEST(Timedemo, EveryRepeatedRunPlaysTheSameGame) {
  constexpr int runs = 3;
  for (const char* name : {"menus", "joystick"}) {
    SCOPED_TRACE(name);
    GameFolder game;
    std::ofstream(game.path() / "demo.replay", std::ios::binary)
        << text_of(replays / (std::string(name) + ".replay"));
    const auto run =
        game.run_raw({"--window", "--timedemo", "demo.replay", "--repeat",
                      std::to_string(runs), "--dump-every", "20", "d.jsonl"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const auto dumps = game.dumps("d.jsonl");
    ASSERT_EQ(dumps.size() % runs, 0u) << dumps.size();
    const std::size_t per_run = dumps.size() / runs;
    ASSERT_GT(per_run, 5u);
    for (std::size_t i = per_run; i < dumps.size(); ++i) {
      ASSERT_EQ(dumps[i], dumps[i % per_run])
          << "run " << i / per_run + 1 << " differs at dump " << i % per_run;
    }
    std::size_t lines = 0;
    for (std::size_t at = run.out.find("timedemo: "); at != std::string::npos;
         at = run.out.find("timedemo: ", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(lines, runs + 1u) << run.out;
    EXPECT_NE(run.out.find("timedemo: 3 runs; fps lowest"), std::string::npos)
        << run.out;
  }
}

}  // namespace
