// The title screen with the game's options, and the pause menu over the
// frozen game: one column of eight lines chosen with the pointer.
#include "app/menu.h"

#include <string>

#include "render/anaglyph.h"
#include "render/qwdraw.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

constexpr int line_count = 8;
constexpr int versus_line = 4;

// An option index outside its table (a stray value from the settings file)
// shows as the table's first entry instead of reading past the end.
template <std::size_t N>
const std::string& table_text(const std::array<std::string, N>& table,
                              int index) {
  if (index < 0 || index >= static_cast<int>(N)) return table[0];
  return table[index];
}

// The text of line i as the current state shows it.
std::string line_text(int i, bool paused) {
  const std::string& label = menu_labels[i];
  switch (i) {
    case 0:
      return paused ? "Resume Game" : label;
    case 1:
      return platform::concat_strings(
          label, table_text(stereo_mode_texts, stereo_mode));
    case 2:
      return platform::concat_strings(
          label, platform::int_to_string(hologram_intensity));
    case 3:
      return platform::concat_strings(label,
                                      table_text(off_on_texts, retro_lines));
    case 4:
      return platform::concat_strings(label,
                                      table_text(off_on_texts, versus_mode));
    case 5:
      return platform::concat_strings(
          label, table_text(volume_texts, sound_volume_step));
    case 6:
      return platform::concat_strings(
          label, table_text(volume_texts, music_volume_step));
    default:
      return paused ? "Quit This Game" : label;
  }
}

// One volume option: a tenth louder per click, after "Max" back to "Off".
void step_volume(int& step, float& volume) {
  step += 1;
  volume += 0.1f;
  if (step > 10) {
    step = 0;
    volume = 0.0f;
  }
}

void activate_line(int sel, bool paused) {
  switch (sel) {
    case 0:
      game_state = state_playing;
      if (!paused) player_tag::reset(1);
      break;
    case 1:
      stereo_mode += 1;
      if (stereo_mode < 0 || stereo_mode > 4) stereo_mode = 0;
      anaglyph_settings(0);
      play_sound(snd_thump);
      break;
    case 2:
      // Two more, and past 30 back to 2; tested before adding so that no
      // stored value can overflow.
      hologram_intensity = hologram_intensity > 28 ? 2 : hologram_intensity + 2;
      play_sound(snd_thump);
      break;
    case 3:
      retro_lines = retro_lines ? 0 : 1;
      play_sound(snd_thump);
      break;
    case 4:
      if (!paused && joystick_count > 1) {
        versus_mode = versus_mode ? 0 : 1;
        play_sound(snd_thump);
      }
      break;
    case 5:
      step_volume(sound_volume_step, sound_volume);
      play_sound(snd_p1shot);
      break;
    case 6:
      step_volume(music_volume_step, music_volume);
      platform::set_channel_volume(music_channel, music_volume);
      break;
    case 7:
      if (paused) {
        game_state = state_title;
        platform::move_mouse(320, 260);
        platform::stop_channel(music_channel);
      } else {
        quit_requested = 1;
      }
      break;
    default:
      break;
  }
}

}  // namespace

void build_menu_texts() {
  off_on_texts = {"Off", "On"};
  volume_texts = {"Off", "10%", "20%", "30%", "40%", "50%",
                  "60%", "70%", "80%", "90%", "Max"};
  menu_labels = {"Start Game",      "3D Graphics: ",     "Hologram Intensity: ",
                 "Retro line FX: ", "2 Player Versus: ", "Sound Volume: ",
                 "Music Volume: ",  "Exit Game"};
  stereo_mode_texts = {"Off", "M\\G", "R\\G", "R\\C", "R\\B"};
  version_text =
      "Vermix 2D\\3D v" VERMIX_VERSION " - (c) 2026 Quillwork Studio";
}

int update_menu() {
  const bool paused = game_state == state_paused;

  joystick_pointer();
  joystick_count = platform::joy_count();
  const int px = platform::mouse_x();
  const int py = platform::mouse_y();

  platform::set_color(180, 180, 180);
  qwdraw->sip(3, 1.0f, 0.0f, 1.0f, 1.0f);
  qwdraw->i3d(title_image, 320, 140, 0, hologram_intensity, 0.0f, 2);

  platform::set_color(200, 200, 10);
  qwdraw->sip(3, 1.0f, 0.0f, 0.8f, 1.0f);
  qwdraw->t3d(version_text, 320, 472, hologram_intensity, 1, 2);

  // Line 0 reaches up to y = 241 because the division truncates toward zero.
  const int sel = py > 240 ? (py - 250) / 20 : -1;

  for (int i = 0; i < line_count; ++i) {
    const bool selected = i == sel;
    const float scale = selected ? 1.2f : 1.0f;
    const float depth = hologram_depth(selected ? 1 : 0);
    bool red = paused && i == versus_line;
    if (!paused && i == versus_line && joystick_count < 2) {
      red = true;
      versus_mode = 0;
    }
    const std::string text = line_text(i, paused);
    if (red) {
      platform::set_color(200, 10, 10);
    } else {
      platform::set_color(200, 200, 10);
    }
    qwdraw->sip(3, 1.0f, 0.0f, scale, scale);
    qwdraw->t3d(text, 320, 260 + 20 * i, depth, 1, 2);
  }

  if (platform::mouse_hit(1) || platform::joy_hit(0, 0)) {
    activate_line(sel, paused);
    platform::flush_keys();
    platform::flush_mouse();
  }

  platform::set_color(255, 255, 255);
  qwdraw->sip(1, 1.0f, 0.0f, 1.0f, 1.0f);
  qwdraw->i3d(pointer_image, px, py, 0, hologram_depth(2), 0.0f, 2);
  return 0;
}
