// hiscore.dat: one 32-bit little-endian int.
#include "app/high_score.h"

#include "world/data_folders.h"
#include "world/save_file.h"
#include "world/world.h"

namespace {
const char* const high_score_name = "hiscore.dat";
}  // namespace

// Anything but a plain file (nothing there, a folder) reads as 0; a short
// file reads its missing bytes as 0.
int load_high_score() {
  high_score = 0;
  const std::string path = saved_file(high_score_name);
  if (platform::file_type(path) != 1) return 0;
  const platform::StreamRef in = platform::read_file(path);
  if (!in) return 0;
  high_score = platform::read_int(in);
  platform::close_stream(in);
  return 0;
}

// A folder standing where the file belongs is left alone.
int save_high_score() {
  save_ints(high_score_name, {high_score});
  return 0;
}
