// window.dat: three 32-bit little-endian ints, full screen (1) or a window
// (0), then the window's width and height.
#include "app/window_file.h"

#include "world/data_folders.h"
#include "world/save_file.h"

namespace {

const char* const window_name = "window.dat";
// Sizes no window of this game could have: a file holding them is damaged.
constexpr int smallest_side = 64;
constexpr int largest_side = 16384;

bool good_side(int side) {
  return side >= smallest_side && side <= largest_side;
}

}  // namespace

platform::RunOptions with_kept_window(platform::RunOptions options) {
  const std::string path = saved_file(window_name);
  if (platform::file_type(path) != 1) return options;
  const platform::StreamRef in = platform::read_file(path);
  if (!in) return options;
  const int full_screen = platform::read_int(in);
  const int width = platform::read_int(in);
  const int height = platform::read_int(in);
  platform::close_stream(in);
  if ((full_screen != 0 && full_screen != 1) || !good_side(width) ||
      !good_side(height)) {
    return options;
  }
  if (full_screen == 0) options.window = true;
  options.window_width = width;
  options.window_height = height;
  return options;
}

void save_window_layout() {
  const platform::WindowLayout layout = platform::window_layout();
  if (!good_side(layout.width) || !good_side(layout.height)) return;
  save_ints(window_name,
            {layout.full_screen ? 1 : 0, layout.width, layout.height});
}
