// The high-score file as a player's disk may hold it: any bytes at all. The
// game's own load reads the int they begin with, and a save followed by a
// load gives that score back as exactly four bytes.
#include <cstdlib>
#include <filesystem>

#include "app/high_score.h"
#include "fuzz/scratch_folder.h"
#include "world/world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzzing::put_file("data/hiscore.dat", data, size);
  high_score = -1;
  load_high_score();
  const int loaded = high_score;
  if (loaded != fuzzing::le32_at(data, size, 0)) std::abort();

  save_high_score();
  if (std::filesystem::file_size("data/hiscore.dat") != 4) std::abort();
  high_score = -1;
  load_high_score();
  if (high_score != loaded) std::abort();
  return 0;
}
