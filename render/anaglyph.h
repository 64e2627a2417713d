// The stereo settings file, the eye colours, and the retro line overlay.
#pragma once

// 1 load "Data\anaglyph3d.dat" and apply, 2 save and apply, other: apply.
int anaglyph_settings(int op);
// Sets every odd screen row to grey `level` while "Retro line FX" is on.
int draw_retro_lines(int level);
