// The soak run's rule checks must catch each kind of broken dump, and pass a
// sound one, or the long run proves nothing.
#include "tests/integration/soak_invariants.h"

#include <gtest/gtest.h>

namespace {

using nlohmann::json;

// A sound dump of the frame after a game started: stage 1, a fresh chain
// of ten entering from the left, one mushroom and 89 empty slots.
json fresh_dump() {
  json d;
  d["tick"] = 120;
  d["game_state"] = 2;
  d["play_phase"] = 1;
  d["stage"] = 1;
  d["crawler_speed"] = 1;
  d["crawler_length"] = 10;
  d["tally_index"] = 0;
  d["high_score"] = 500;
  d["particles"] = 0;
  d["points"] = json::array();
  d["players"] = json::array();
  for (int i = 0; i < 2; ++i)
    d["players"].push_back({{"score", 0}, {"lives", 3}});
  d["mushrooms"] = json::array();
  d["mushrooms"].push_back({{"x", 185}, {"y", 50}, {"img", 11}, {"hit", 0}});
  for (int i = 1; i < 90; ++i) {
    d["mushrooms"].push_back({{"x", 0}, {"y", 0}, {"img", 0}, {"hit", 0}});
  }
  d["crawler"] = json::array();
  for (int i = 0; i < 10; ++i) {
    d["crawler"].push_back({{"x", 175 - 10 * i},
                            {"y", 40},
                            {"rot", 90},
                            {"head", i == 0 ? 1 : 0},
                            {"dst", 0}});
  }
  return d;
}

// A dump deep into a game: stage 12 at speed 5, each segment one frame (5
// pixels) past its last decision point, one of them still off the left edge.
json late_dump() {
  json d = fresh_dump();
  d["stage"] = 12;
  d["crawler_speed"] = 5;
  d["crawler_length"] = 18;
  d["particles"] = 40;
  d["players"][0] = {{"score", 9000}, {"lives", 12}};
  d["mushrooms"][1] = {{"x", 455}, {"y", 400}, {"img", 18}, {"hit", 7}};
  d["crawler"] = json::array();
  d["crawler"].push_back(
      {{"x", 310}, {"y", 420}, {"rot", 270}, {"head", 1}, {"dst", 1}});
  d["crawler"].push_back(
      {{"x", 5}, {"y", 45}, {"rot", 180}, {"head", 0}, {"dst", 1}});
  return d;
}

TEST(SoakRules, SoundDumpsPass) {
  EXPECT_TRUE(soak::check_dump(fresh_dump()).empty());
  EXPECT_TRUE(soak::check_fresh_game(fresh_dump()).empty());
  EXPECT_TRUE(soak::check_dump(late_dump()).empty());
  json later = late_dump();
  later["tick"] = 180;
  later["high_score"] = 9000;
  EXPECT_TRUE(soak::check_step(fresh_dump(), later).empty());
}

TEST(SoakRules, PlayersOutOfBoundsAreCaught) {
  json d = late_dump();
  d["players"][0]["lives"] = 13;
  d["players"][1]["lives"] = -1;
  d["players"][1]["score"] = -2;
  const soak::Faults f = soak::check_dump(d);
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0], "tick 120: player 1 has 13 lives");
}

TEST(SoakRules, MushroomsOffTheirGridOrWornWronglyAreCaught) {
  for (const json& m : {json{{"x", 186}, {"y", 60}, {"img", 11}, {"hit", 0}},
                        json{{"x", 175}, {"y", 60}, {"img", 11}, {"hit", 0}},
                        json{{"x", 185}, {"y", 410}, {"img", 11}, {"hit", 0}},
                        json{{"x", 195}, {"y", 60}, {"img", 12}, {"hit", 0}},
                        json{{"x", 195}, {"y", 60}, {"img", 19}, {"hit", 8}},
                        json{{"x", 185}, {"y", 50}, {"img", 11}, {"hit", 0}}}) {
    json d = fresh_dump();
    d["mushrooms"][5] = m;
    EXPECT_EQ(soak::check_dump(d).size(), 1u) << m;
  }
  json short_field = fresh_dump();
  short_field["mushrooms"].erase(0);
  EXPECT_EQ(soak::check_dump(short_field).size(), 1u);
}

TEST(SoakRules, CrawlerOffItsGridOrStageIsCaught) {
  json staged = fresh_dump();
  staged["stage"] = 5;  // runs at speed 2 with 13 segments
  EXPECT_EQ(soak::check_dump(staged).size(), 2u);

  json shifted = late_dump();
  shifted["crawler"][0]["x"] = 311;  // decided at x = 316
  json late = late_dump();
  late["crawler"][1]["dst"] = 2;  // at speed 5 it decides every 2 frames
  json turned = late_dump();
  turned["crawler"][0]["rot"] = 45;
  for (const json& d : {shifted, late, turned}) {
    EXPECT_EQ(soak::check_dump(d).size(), 1u) << d["crawler"];
  }
}

TEST(SoakRules, LeftoversAfterAResetAreCaught) {
  json d = fresh_dump();
  d["particles"] = 3;
  d["points"].push_back({{"x", 1}, {"y", 1}, {"pnt", "200"}, {"tmr", 4}});
  d["crawler"].push_back(
      {{"x", 305}, {"y", 420}, {"rot", 270}, {"head", 1}, {"dst", 1}});
  d["players"][0]["score"] = 50;
  const soak::Faults f = soak::check_fresh_game(d);
  // Particles, pop-ups, the chain's size, the old segment, the second head,
  // and the score.
  EXPECT_EQ(f.size(), 6u);
  json paused = fresh_dump();
  paused["game_state"] = 3;
  EXPECT_EQ(soak::check_fresh_game(paused).size(), 1u);
}

TEST(SoakRules, TimeRunningBackOrAFallingHighScoreIsCaught) {
  json later = fresh_dump();
  later["high_score"] = 400;
  EXPECT_EQ(soak::check_step(fresh_dump(), later).size(), 2u);
}

}  // namespace
