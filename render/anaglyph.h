// The stereo settings file, the eye colours, and the retro line overlay.
#pragma once

// 1 load anaglyph3d.dat and apply, 2 save and apply, other: apply.
int anaglyph_settings(int op);
// hologram_intensity moved by `offset` as a drawing depth, summed wide so no
// value from the settings file can overflow.
float hologram_depth(int offset);
// Sets every odd screen row to grey `level` while "Retro line FX" is on.
int draw_retro_lines(int level);
