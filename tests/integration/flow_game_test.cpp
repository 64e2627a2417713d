// A game started from the title: the fresh field, the chain on its way and
// the score line.
#include <gtest/gtest.h>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;
using testing_support::script_line;

TEST(FlowGame, StartGameLaysOutAFieldAndSendsInTheChain) {
  GameFolder folder;
  std::string script =
      script_line(1, "button 1 down") + script_line(1, "button 1 up") +
      script_line(5, "button 1 down") + script_line(5, "button 1 up") +
      script_line(10, "dump dump.jsonl") +
      script_line(10, "screenshot start.png") +
      script_line(60, "dump dump.jsonl") + script_line(61, "end");
  const auto result = folder.run(script, {"--seed", "3"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto dumps = folder.dumps();
  ASSERT_EQ(dumps.size(), 2u);
  const auto& first = dumps[0];
  ASSERT_EQ(first["game_state"], 2);
  EXPECT_EQ(first["play_phase"], 1);
  int standing = 0;
  for (const auto& m : first["mushrooms"]) {
    if (m["img"] == 0) continue;
    ++standing;
    const int x = m["x"], y = m["y"];
    EXPECT_TRUE(x >= 185 && x <= 455 && y >= 50 && y <= 400) << m;
  }
  EXPECT_GT(standing, 70);
  ASSERT_EQ(first["crawler"].size(), 10u);
  // The chain has been moving one pixel a frame along row 40 since the start.
  const int head_then = first["crawler"][0]["x"];
  const int head_now = dumps[1]["crawler"][0]["x"];
  EXPECT_EQ(std::abs(head_now - head_then), 50);
  EXPECT_EQ(dumps[1]["crawler"][0]["y"], 40);
  // "1up 00" starts at x = 172 on the top row.
  const auto shot = folder.screenshot("start.png");
  ASSERT_TRUE(shot.ok());
  int lit = 0;
  for (int x = 172; x < 200; ++x) {
    for (int y = 0; y < 12; ++y) {
      const auto c = shot.at(x, y);
      lit += c[0] > 150 && c[1] > 150 && c[2] < 80;
    }
  }
  EXPECT_GT(lit, 10);
}

}  // namespace
