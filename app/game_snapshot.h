// The whole state of play at a frame boundary, for a rollback to return to:
// the world's values and every actor, the drawing object, the sound counts,
// and the platform's tick, random generator, input and window flags.
//
// Not kept: what never changes in play (images, font, sounds, the texts),
// the score line's cached texts (they follow the scores), the picture behind
// the pause menu, and the music channel, which a re-simulation leaves alone.
#pragma once

#include <array>
#include <vector>

#include "platform/automation.h"
#include "render/qwdraw.h"
#include "world/sounds.h"
#include "world/world.h"

struct GameSnapshot {
  std::array<int, 27> values{};  // the world's whole numbers, in one list
  std::array<float, 2> volumes{};
  player_tag player1;
  player_tag player2;
  std::array<mushroom_tag, 90> mushrooms{};
  std::array<insect_tag, 4> insects{};
  std::vector<vermix_tag> crawler;
  std::vector<particle_tag> particles;
  std::vector<points_tag> points;
  qwdraw_tag drawing;
  SoundCounts sounds{};
  platform::detail::PlatformState platform;
};

// Saving reuses the snapshot's storage; loading reuses the objects the lists
// hold. Both between frames only, never inside a waiting loop.
void save_game(GameSnapshot& snapshot);
void load_game(const GameSnapshot& snapshot);
