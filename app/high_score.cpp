// "data\hiscore.dat": one 32-bit little-endian int.
#include "app/high_score.h"

#include "app/globals.h"
#include "app/save_file.h"

namespace {
const char* const high_score_path = "data\\hiscore.dat";
const char* const data_folder = "data";
}  // namespace

// Anything but a plain file (nothing there, a folder) reads as 0; a short
// file reads its missing bytes as 0.
int load_high_score() {
  high_score = 0;
  if (platform::file_type(high_score_path) != 1) return 0;
  const platform::StreamRef in = platform::read_file(high_score_path);
  if (!in) return 0;
  high_score = platform::read_int(in);
  platform::close_stream(in);
  return 0;
}

// The data folder is made if it is gone; a folder standing where the file
// belongs is left alone.
int save_high_score() {
  if (platform::file_type(data_folder) == 0)
    platform::create_folder(data_folder);
  save_ints(high_score_path, {high_score});
  return 0;
}
