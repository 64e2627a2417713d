// Placeholder definitions until the real code lands. Delete this file when
// the code that provides these is written.
#include "actors/player.h"
#include "app/menu.h"

void build_menu_texts() {}
int update_menu() { return 0; }
int player_tag::reset(int) { return 0; }
int player_tag::update() { return 0; }
int player_tag::get_inputs() { return 0; }
int player_tag::flush_inputs() { return 0; }
int joystick_pointer() { return 0; }
