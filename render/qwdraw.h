// The single drawing object: every sprite and text goes through it, flat or
// as a two-colour anaglyph whose eye images are `depth` pixels apart. The
// chief header of render/, which also holds the colour ids here and the
// anaglyph settings and retro lines (anaglyph.h); it stands on world/.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

struct qwdraw_tag {
  int leye_r = 0;
  int leye_g = 0;
  int leye_b = 0;
  int reye_r = 0;
  int reye_g = 0;
  int reye_b = 0;
  float txt_xs = 0.0f;
  float txt_ys = 0.0f;

  int slc(int lr, int lg, int lb, int rr, int rg, int rb);
  int sip(int blend, float alpha, float rot, float xs, float ys);
  int i3d(const platform::ImageRef& image, float x, float y, int frame,
          float depth, float rot, int passes);
  int t3d(const std::string& text, float x, float y, float depth, int centre,
          int passes);
};

// The one drawing object of the game, made at start-up.
extern std::unique_ptr<qwdraw_tag> qwdraw;

// Colour ids 1..5: red, green, blue, magenta, yellow; other ids change nothing.
int set_colour_id(int id);
// Draws the four colour-id pairs (player, mushroom, crawler, insect).
int pick_colours();
