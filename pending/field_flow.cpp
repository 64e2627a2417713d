// Placeholder definitions until the real code lands. Delete this file when
// the code that provides these is written.
#include "actors/effects.h"
#include "actors/mushroom.h"
#include "app/game_flow.h"
#include "enemies/crawler.h"

int mushroom_tag::init() { return 0; }
int mushroom_tag::new_patch() { return 0; }
int mushroom_tag::update() { return 0; }
int mushroom_tag::update_all() { return 0; }
int particle_tag::explode(float, float, float, int, int) { return 0; }
int particle_tag::update() { return 0; }
int particle_tag::update_all() { return 0; }
int particle_tag::destroy_all() { return 0; }
int points_tag::init(int, int, int) { return 0; }
int points_tag::update() { return 0; }
int points_tag::update_all() { return 0; }
int points_tag::destroy_all() { return 0; }
int vermix_tag::new_spawn() { return 0; }
int vermix_tag::update() { return 0; }
int vermix_tag::update_all() { return 0; }
int vermix_tag::destroy_all() { return 0; }
int update_game() { return 0; }
int update_game_over() { return 0; }
int draw_hud() { return 0; }
