// anaglyph3d.dat: hologram_intensity then stereo_mode, two 32-bit
// little-endian ints, and the eye colours each stereo mode stands for.
#include "render/anaglyph.h"

#include <array>

#include "render/qwdraw.h"
#include "world/data_folders.h"
#include "world/save_file.h"
#include "world/world.h"

namespace {

const char* const settings_name = "anaglyph3d.dat";

struct EyeColours {
  int lr, lg, lb, rr, rg, rb;
};

// Left eye first; index = stereo_mode - 1.
constexpr std::array<EyeColours, 4> eye_colours = {{
    {140, 4, 40, 4, 100, 20},  // M\G
    {4, 100, 20, 140, 4, 10},  // R\G
    {4, 80, 60, 140, 4, 10},   // R\C
    {4, 20, 140, 140, 4, 20},  // R\B
}};

void load_settings() {
  const std::string path = saved_file(settings_name);
  if (platform::file_type(path) != 1) return;
  const platform::StreamRef in = platform::read_file(path);
  if (!in) return;
  hologram_intensity = platform::read_int(in);
  stereo_mode = platform::read_int(in);
  platform::close_stream(in);
  // A mode the menu cannot show would also leave the eye colours unset.
  if (stereo_mode < 0 || stereo_mode > 4) stereo_mode = 0;
}

void save_settings() {
  save_ints(settings_name, {hologram_intensity, stereo_mode});
}

// Mode 0 keeps the eye colours of the last stereo mode.
void apply_settings() {
  if (stereo_mode < 1 || stereo_mode > 4 || !qwdraw) return;
  const EyeColours& e = eye_colours[static_cast<std::size_t>(stereo_mode - 1)];
  qwdraw->slc(e.lr, e.lg, e.lb, e.rr, e.rg, e.rb);
}

}  // namespace

float hologram_depth(int offset) {
  return static_cast<float>(static_cast<long long>(hologram_intensity) +
                            offset);
}

int anaglyph_settings(int op) {
  if (op == 1) load_settings();
  if (op == 2) save_settings();
  apply_settings();
  return 0;
}
