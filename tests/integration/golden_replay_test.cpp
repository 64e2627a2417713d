// The golden replays under tests/replays/ play the same game as when they
// were recorded: every check, the end and the final state. After a change
// meant to change play, tools/rerecord-replays.sh records them again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

}  // namespace
