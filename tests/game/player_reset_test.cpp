// The player reset that starts a game or a field, and the frame that moves
// the shots, run inside the test process.
#include <gtest/gtest.h>

#include "tests/game/game_world.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

// Values a running game could have reached, none of them a new-game value.
void scramble_game_values() {
  stage = 7;
  crawler_length = 15;
  crawler_speed = 5;
  game_over_timer = 42;
  tally_index = 33;
  tally_tick = 2;
  play_phase = 2;
  for (player_tag* p : {player1.get(), player2.get()}) {
    p->score = 1234;
    p->lives = 1;
    p->state = 0;
    p->dthctr = 9;
    p->shoot = 1;
    p->shotx = 200;
    p->shoty = 100;
    p->x = 300;
    p->y = 415;
  }
}

void expect_field_start(bool versus) {
  EXPECT_EQ(tally_index, 0);
  EXPECT_EQ(tally_tick, 0);
  EXPECT_EQ(play_phase, 1);
  EXPECT_EQ(player1->x, 220);
  EXPECT_EQ(player1->y, 440);
  EXPECT_EQ(player2->x, 420);
  EXPECT_EQ(player2->y, 440);
  EXPECT_EQ(player1->shoot, 0);
  EXPECT_EQ(player2->shoot, 0);
  EXPECT_EQ(particle_list.size(), 0u);
  EXPECT_EQ(points_list.size(), 0u);
  EXPECT_EQ(platform::mouse_x(), versus ? 220 : 320);
  EXPECT_EQ(platform::mouse_y(), 440);
}

}  // namespace

TEST(PlayerReset, NewGameSetsEveryNewGameValue) {
  for (const bool versus : {false, true}) {
    SCOPED_TRACE(versus ? "versus" : "single player");
    ensure_game_world();
    game_state = state_playing;
    versus_mode = versus ? 1 : 0;
    scramble_game_values();
    particle_tag::explode(300, 300, 1.0f, 1, 10);
    points_tag::init(300, 300, 100);
    const int music_before = music_start_count();

    player_tag::reset(1);

    EXPECT_EQ(stage, 1);
    EXPECT_EQ(crawler_length, 10);
    EXPECT_EQ(crawler_speed, 1);
    EXPECT_EQ(game_over_timer, 0);
    EXPECT_EQ(player1->state, 1);
    EXPECT_EQ(player2->state, versus ? 1 : 0);
    for (const player_tag* p : {player1.get(), player2.get()}) {
      EXPECT_EQ(p->score, 0);
      EXPECT_EQ(p->lives, 3);
      EXPECT_EQ(p->dthctr, 0);
    }
    expect_field_start(versus);
    EXPECT_EQ(music_start_count(), music_before + 1);
  }
}

TEST(PlayerReset, RestartKeepsScoresLivesAndStage) {
  start_new_game(3);
  scramble_game_values();
  player1->state = 1;
  player_tag::reset(0);

  EXPECT_EQ(stage, 7);
  EXPECT_EQ(crawler_length, 15);
  EXPECT_EQ(crawler_speed, 5);
  for (const player_tag* p : {player1.get(), player2.get()}) {
    EXPECT_EQ(p->score, 1234);
    EXPECT_EQ(p->lives, 1);
    EXPECT_EQ(p->dthctr, 9);
  }
  EXPECT_EQ(player1->state, 1);
  EXPECT_EQ(player2->state, 0);
  expect_field_start(false);
}

TEST(PlayerReset, FieldBuiltAfterGameOverStartsNoMusic) {
  start_new_game(4);
  game_state = state_game_over;
  const int music_before = music_start_count();
  player_tag::reset(0);
  EXPECT_EQ(music_start_count(), music_before);
  EXPECT_EQ(play_phase, 1);
  game_state = state_playing;
}

TEST(PlayerUpdate, ShotRisesFifteenPixelsAFrameAndEndsAboveRowThirty) {
  start_new_game(5, true);
  clear_field();
  player1->shoot = 1;
  player1->shotx = 220;
  player1->shoty = 440;
  player2->shoot = 1;
  player2->shotx = 420;
  player2->shoty = 425;  // one step ahead of player 1's shot

  int frames = 0;
  int p2_frames = 0;
  while (player1->shoot && frames < 100) {
    player1->update();
    ++frames;
    if (player2->shoot) p2_frames = frames + 1;
    if (player1->shoot) {
      EXPECT_EQ(player1->shoty, 440 - 15 * frames);
    }
  }
  // Drawn 28 times, the last time at y = 20, where it ends.
  EXPECT_EQ(frames, 28);
  EXPECT_EQ(player1->shoty, 20);
  EXPECT_EQ(player1->shotx, 220);
  // Player 2's shot flies by the same rule, one frame sooner out.
  EXPECT_EQ(p2_frames, 27);
  EXPECT_EQ(player2->shoot, 0);
  EXPECT_EQ(player2->shoty, 20);

  // With no shot in flight the update leaves the shot fields alone.
  player1->update();
  EXPECT_EQ(player1->shoty, 20);
}
