// The two player ships and their shots, and the input that drives them;
// what they do is in actors/player.cpp and actors/player_input.cpp.
#pragma once

struct player_tag {
  int score = 0;
  int lives = 0;
  int state = 0;  // 1 in play, 0 out
  float x = 0.0f;
  float y = 0.0f;
  int shoot = 0;  // 1 while the shot is in flight
  int shotx = 0;
  int shoty = 0;
  int dthctr = 0;

  // Starts a new game (non-zero) or restarts play after a tally (0).
  static int reset(int new_game);
  // Moves and draws both players' shots and draws both ships. Called on
  // player1.
  int update();
  // One frame of input for both players. Called on player1.
  int get_inputs();
  // Returns once no fire button is held any more. Called on player1.
  int flush_inputs();
};

// Moves the mouse pointer 4 pixels per frame along each fully deflected axis
// of joystick 0.
int joystick_pointer();
