// The real game: the spider's first appearance in a new game, with its sound.
#include <gtest/gtest.h>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;
using testing_support::script_line;

int spider_plays(const nlohmann::json& dump) {
  const auto& sounds = dump.at("sounds");
  return sounds.contains("spider") ? sounds.at("spider").get<int>() : 0;
}

TEST(InsectRun, SpiderEntersAtAWallWithItsSoundAndOthersWaitTheirStage) {
  GameFolder game;
  std::string script;
  script += script_line(1, "button 1 down");  // ends the intro
  script += script_line(1, "button 1 up");
  script += script_line(5, "mouse 320 260");  // "Start Game"
  script += script_line(6, "button 1 down");
  script += script_line(6, "button 1 up");
  for (long t = 10; t <= 640; ++t) script += script_line(t, "dump dump.jsonl");
  script += script_line(641, "end");
  const auto result = game.run(script);
  ASSERT_EQ(result.exit_code, 0) << result.err;

  const auto dumps = game.dumps();
  ASSERT_EQ(dumps.size(), 631u);
  std::size_t entry = 0;
  for (std::size_t k = 0; k < dumps.size(); ++k) {
    const auto& d = dumps[k];
    ASSERT_EQ(d.at("game_state"), 2) << k;
    ASSERT_EQ(d.at("play_phase"), 1) << k;
    ASSERT_EQ(d.at("stage"), 1);
    const auto& spider = d.at("insects").at(0);
    if (spider.at("state") == 1) {
      entry = k;
      break;
    }
    ASSERT_EQ(spider_plays(d), 0) << k;
    if (k > 0) {
      const auto& before = dumps[k - 1].at("insects").at(0);
      ASSERT_EQ(spider.at("tmr").get<int>(), before.at("tmr").get<int>() - 1);
    }
  }
  ASSERT_GT(entry, 0u) << "no spider within the dumps";

  const auto& waiting = dumps[entry - 1].at("insects").at(0);
  EXPECT_EQ(waiting.at("tmr"), 1);
  const auto& d = dumps[entry];
  EXPECT_EQ(spider_plays(d), 1);
  const auto& spider = d.at("insects").at(0);
  const float x = spider.at("x");
  const float xstp = spider.at("xstp");
  EXPECT_TRUE((x == 175.0f && xstp == 1.0f) || (x == 465.0f && xstp == -1.0f))
      << spider;
  EXPECT_GE(spider.at("y").get<float>(), 330.0f);
  EXPECT_LT(spider.at("y").get<float>(), 430.0f);
  EXPECT_GE(spider.at("tmr").get<int>(), 100);
  EXPECT_LT(spider.at("tmr").get<int>(), 600);

  ASSERT_LT(entry + 1, dumps.size());
  const auto& next = dumps[entry + 1].at("insects").at(0);
  EXPECT_EQ(next.at("x").get<float>(), x + xstp);
  EXPECT_EQ(spider_plays(dumps[entry + 1]), 1);

  // At stage 1 the other kinds never move their timers.
  for (int k = 1; k < 4; ++k) {
    EXPECT_EQ(dumps.front().at("insects").at(k).at("tmr"),
              dumps.back().at("insects").at(k).at("tmr"));
    EXPECT_EQ(dumps.back().at("insects").at(k).at("state"), 0);
  }
}

}  // namespace
