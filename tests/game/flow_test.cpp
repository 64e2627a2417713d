// A playing frame's tally, the end of a game, the game-over screen and the
// score line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/game_flow.h"
#include "platform/video/video.h"
#include "render/qwdraw.h"
#include "replay/replay.h"
#include "tests/game/game_world.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

int plays(const char* name) {
  const auto& counts = sound_play_counts();
  const auto it = counts.find(name);
  return it == counts.end() ? 0 : it->second;
}

// Runs tally frames until the phase or the state changes; returns how many.
int finish_tally() {
  int frames = 0;
  while (play_phase == 2 && game_state == state_playing && frames < 1000) {
    update_game();
    ++frames;
  }
  return frames;
}

TEST(Tally, UndamagedFieldTakesNinetySilentFrames) {
  start_new_game(7);
  play_phase = 2;
  const int shrooms = plays("shroom");
  const int starts = music_start_count();
  update_game();
  EXPECT_EQ(platform::channel_playing(music_channel), 0);
  for (int n = 2; n <= 89; ++n) update_game();
  EXPECT_EQ(play_phase, 2);
  EXPECT_EQ(tally_index, 89);
  update_game();
  EXPECT_EQ(play_phase, 1);
  EXPECT_EQ(tally_index, 0);
  EXPECT_EQ(plays("shroom"), shrooms);
  EXPECT_EQ(music_start_count(), starts + 1);
}

TEST(Tally, PaysEachVersusHalfOnTheFirstOfFourFrames) {
  start_new_game(8, true);
  clear_field();
  high_score = 0;
  *mushrooms[2] = mushroom_tag{315, 200, 14, 3};
  *mushrooms[3] = mushroom_tag{325, 200, 18, 7};
  play_phase = 2;
  for (int n = 0; n < 3; ++n) update_game();
  EXPECT_EQ(player1->score, 15);
  EXPECT_EQ(tally_tick, 1);
  for (int n = 0; n < 3; ++n) update_game();
  EXPECT_EQ(tally_index, 3);
  EXPECT_EQ(mushrooms[2]->img, 11);
  EXPECT_EQ(mushrooms[2]->hit, 0);
  update_game();
  EXPECT_EQ(player2->score, 35);
  EXPECT_EQ(high_score, 35);
  EXPECT_EQ(finish_tally(), 96 - 7);
  EXPECT_EQ(game_state, state_playing);
  EXPECT_EQ(player1->state + player2->state, 2);
}

TEST(Tally, LastLifeEndsTheGameAfterThePayOut) {
  start_new_game(9);
  clear_field();
  high_score = 0;
  player1->lives = 0;
  player1->state = 0;
  *mushrooms[0] = mushroom_tag{200, 100, 13, 2};
  play_phase = 2;
  const int starts = music_start_count();
  finish_tally();
  EXPECT_EQ(game_state, state_game_over);
  EXPECT_EQ(player1->score, 10);
  EXPECT_EQ(high_score, 10);
  EXPECT_EQ(music_start_count(), starts) << "no music on the game-over screen";
  for (int n = 1; n < 500; ++n) update_game_over();
  EXPECT_EQ(game_state, state_game_over);
  update_game_over();
  EXPECT_EQ(game_state, state_title);
}

TEST(Tally, VersusGoesOnWhileOnePlayerHasLives) {
  start_new_game(10, true);
  player1->lives = 0;
  player1->state = 0;
  player2->lives = 2;
  player2->state = 0;
  play_phase = 2;
  finish_tally();
  EXPECT_EQ(game_state, state_playing);
  EXPECT_EQ(player1->state, 0);
  EXPECT_EQ(player2->state, 1);
}

TEST(GameOverScreen, EarlyClickEndsItAtFrame101) {
  ensure_game_world();
  const std::string path =
      ::testing::TempDir() + "flow_click_" + std::to_string(getpid()) + ".txt";
  std::ofstream(path) << "0 button 1 down\n0 button 1 up\n";
  std::string error;
  ASSERT_TRUE(replay::load_input_script(path, error)) << error;
  game_state = state_game_over;
  game_over_timer = 0;
  for (int n = 0; n < 100; ++n) update_game_over();
  EXPECT_EQ(game_state, state_game_over);
  update_game_over();
  EXPECT_EQ(game_state, state_title);
  std::remove(path.c_str());
}

TEST(ScoreLine, TextsHaveAtLeastTwoDigits) {
  ensure_game_world();
  EXPECT_EQ(score_text("1up ", 0), "1up 00");
  EXPECT_EQ(score_text("1up ", 5), "1up 05");
  EXPECT_EQ(score_text("2up ", 10), "2up 10");
  EXPECT_EQ(score_text("1up ", 12345), "1up 12345");
  EXPECT_EQ(score_text("", 7), "07");
}

std::vector<std::uint8_t> present(void (*draw)()) {
  platform::cls();
  draw();
  platform::flip(0);
  std::vector<std::uint8_t> rgba;
  EXPECT_TRUE(platform::detail::read_presented_frame(rgba));
  return rgba;
}

bool lit(const std::vector<std::uint8_t>& rgba, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * 640 + x) * 4;
  return rgba[i] > 40 || rgba[i + 1] > 40 || rgba[i + 2] > 40;
}

TEST(ScoreLine, DrawsTheScoresAtTheirAnchorsAndTheSpareShips) {
  start_new_game(11, true);
  player1->score = 5;
  player2->score = 12345;
  high_score = 123;
  const auto hud = present([] { draw_hud(); });
  const auto expected = present([] {
    for (const auto& [text, x] :
         {std::pair<std::string, int>{"1up 05", 172},
          {"123", 320 - platform::text_width("123") / 2},
          {"2up 12345", 468 - platform::text_width("2up 12345")}}) {
      qwdraw->sip(3, 1.0f, 0, 1.0f, 1.0f);
      platform::set_color(200, 200, 10);
      qwdraw->t3d(text, static_cast<float>(x), 0,
                  static_cast<float>(hologram_intensity), 0, 2);
    }
  });
  const std::size_t band = 20 * 640 * 4;
  int drawn = 0;
  for (int x = 160; x < 480; ++x) drawn += lit(expected, x, 5);
  EXPECT_GT(drawn, 10);
  EXPECT_TRUE(std::equal(hud.begin(), hud.begin() + band, expected.begin()));
  // Two spare ships each from three lives, player 2's mirrored.
  EXPECT_TRUE(lit(hud, 175, 472) && lit(hud, 187, 472));
  EXPECT_FALSE(lit(hud, 199, 472));
  EXPECT_TRUE(lit(hud, 465, 472) && lit(hud, 453, 472));
  EXPECT_FALSE(lit(hud, 441, 472));
}

void draw_verdict(const char* text) {
  qwdraw->sip(3, 1.0f, 0, 1.0f, 1.0f);
  platform::set_color(200, 200, 10);
  qwdraw->t3d(text, 320, 260, static_cast<float>(hologram_intensity), 1, 2);
}

TEST(GameOverScreen, VersusVerdictFollowsTheScores) {
  start_new_game(12, true);
  clear_field();
  game_state = state_game_over;
  const auto tied = present([] { draw_verdict("Scores Tied - No One Wins!"); });
  const auto p2 = present([] { draw_verdict("Player 2 Score Wins!"); });
  auto verdict_rows_equal = [](const std::vector<std::uint8_t>& a,
                               const std::vector<std::uint8_t>& b) {
    const std::size_t from = 250 * 640 * 4, to = 272 * 640 * 4;
    return std::equal(a.begin() + from, a.begin() + to, b.begin() + from);
  };
  ASSERT_FALSE(verdict_rows_equal(tied, p2));
  player1->score = player2->score = 300;
  EXPECT_TRUE(verdict_rows_equal(present([] { update_game_over(); }), tied));
  player2->score = 301;
  EXPECT_TRUE(verdict_rows_equal(present([] { update_game_over(); }), p2));
}

}  // namespace
