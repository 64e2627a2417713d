// The stereo settings file with any bytes in it. The game's own load takes
// the hologram intensity and the stereo mode from the first eight bytes, puts
// a mode the menu cannot show back to off, and a save followed by a load
// gives the same two settings back as exactly eight bytes.
#include <cstdlib>
#include <filesystem>

#include "fuzz/scratch_folder.h"
#include "render/anaglyph.h"
#include "world/world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzzing::put_file("data/anaglyph3d.dat", data, size);
  hologram_intensity = -1;
  stereo_mode = -1;
  anaglyph_settings(1);
  const int intensity = hologram_intensity;
  const int mode = stereo_mode;
  const int stored_mode = fuzzing::le32_at(data, size, 4);
  if (intensity != fuzzing::le32_at(data, size, 0)) std::abort();
  if (mode != (stored_mode >= 0 && stored_mode <= 4 ? stored_mode : 0)) {
    std::abort();
  }

  anaglyph_settings(2);
  if (std::filesystem::file_size("data/anaglyph3d.dat") != 8) std::abort();
  hologram_intensity = -1;
  stereo_mode = -1;
  anaglyph_settings(1);
  if (hologram_intensity != intensity || stereo_mode != mode) std::abort();
  return 0;
}
