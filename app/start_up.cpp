// Everything before the opening logo: the embedded files, the display, the
// shared objects and the assets.
#include "app/menu.h"
#include "app/shell.h"
#include "app/state_checks.h"
#include "app/state_dump.h"
#include "assets/embedded_assets.h"
#include "render/qwdraw.h"
#include "replay/replay.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

constexpr int screen_width = 640;
constexpr int screen_height = 480;
constexpr int default_image_flags = 9;  // masked, dynamic
constexpr int auto_flags = -1;

void register_embedded_assets() {
  for (const EmbeddedAsset& asset : embedded_assets) {
    platform::register_embedded_file(asset.name, asset.bytes, asset.size);
  }
}

void create_shared_objects() {
  pause_snapshot =
      platform::create_image(screen_width, screen_height, 1, auto_flags);
  platform::auto_mid_handle(1);
  title_image = platform::create_image(266, 98, 1, auto_flags);
  sprites10 = platform::create_image(10, 10, 31, auto_flags);
  sprites20 = platform::create_image(20, 20, 12, auto_flags);
  platform::auto_mid_handle(0);
  reset_play();
}

// The sprite frames are cut from the sheet drawn on the back buffer; the
// scratch drawing is never presented.
void grab_sprite_frames() {
  const platform::ImageRef sheet =
      platform::load_image("incbin::graphx\\vermix_01.png", auto_flags);
  platform::cls();
  platform::draw_image(sheet, 0, 0, 0);
  platform::grab_image(title_image, 1, 37, 0);
  for (int i = 0; i < 31; ++i)
    platform::grab_image(sprites10, 1 + 11 * i, 1, i);
  for (int i = 0; i < 12; ++i)
    platform::grab_image(sprites20, 1 + 21 * i, 14, i);
}

}  // namespace

bool start_up(const platform::RunOptions& options, std::optional<int> seed) {
  register_embedded_assets();
  platform::set_run_options(options);
  replay::set_state_dumper(state_dump_json);
  replay::set_state_checker(state_checks);
  platform::set_app_title("Vermix 2D\\3D");
  joystick_count = platform::joy_count();
  const int depth = options.window ? 0 : 32;
  if (!platform::open_graphics(screen_width, screen_height, depth, 60, 2)) {
    return false;
  }
  platform::set_mask_color(0, 0, 0);
  platform::auto_image_flags(default_image_flags);
  create_shared_objects();
  platform::hide_mouse();
  platform::seed_rnd(seed ? *seed : platform::millisecs());
  load_assets();
  return true;
}

void reset_play() {
  reset_globals();
  qwdraw = std::make_unique<qwdraw_tag>();
  player1 = std::make_unique<player_tag>();
  player2 = std::make_unique<player_tag>();
  build_menu_texts();
  insect_tag::init();
  mushroom_tag::init();
  points_list.clear();
  crawler_list.clear();
  particle_list.clear();
  reset_sound_counts();
  music_channel = platform::alloc_channel();
}

int load_assets() {
  game_font = platform::load_image_font("incbin::fonts\\joystix.ttf", 12, 4);
  platform::set_image_font(game_font);
  background_image =
      platform::load_image("incbin::graphx\\vermix_bg.png", auto_flags);
  pointer_image =
      platform::load_image("incbin::graphx\\dmpointer.png", auto_flags);
  grab_sprite_frames();
  load_sounds();
  return 0;
}
