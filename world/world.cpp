#include "world/world.h"

int game_state;
int play_phase;
int quit_requested;
int versus_mode;
int stereo_mode;
int hologram_intensity;
int retro_lines;
int joystick_count;
int high_score;
int stage;
int crawler_length;
int crawler_speed;
int tally_index;
int tally_tick;
int game_over_timer;
int cursor_x;
int cursor_y;

const float joy1_left_value = -1.0f;
const float joy1_right_value = 1.0f;
const float joy1_up_value = -1.0f;
const float joy1_down_value = 1.0f;
const float joy2_left_value = -1.0f;
const float joy2_right_value = 1.0f;
const float joy2_up_value = -1.0f;
const float joy2_down_value = 1.0f;

int player_colour_a;
int player_colour_b;
int mushroom_colour_a;
int mushroom_colour_b;
int crawler_colour_a;
int crawler_colour_b;
int insect_colour_a;
int insect_colour_b;

float sound_volume;
float music_volume;
int sound_volume_step;
int music_volume_step;
platform::ChannelRef music_channel;

platform::SoundRef snd_flea;
platform::SoundRef snd_p1shot;
platform::SoundRef snd_p2shot;
platform::SoundRef snd_bonus;
platform::SoundRef snd_shroom;
platform::SoundRef snd_thump;
platform::SoundRef snd_explode;
platform::SoundRef snd_spider;
platform::SoundRef snd_x1life;
platform::SoundRef snd_scorpion;
platform::SoundRef snd_stage;
platform::SoundRef snd_mosquito;

platform::ImageRef background_image;
platform::ImageRef pointer_image;
platform::ImageRef title_image;
platform::ImageRef sprites10;
platform::ImageRef sprites20;
platform::ImageRef pause_snapshot;
platform::FontRef game_font;

std::unique_ptr<player_tag> player1;
std::unique_ptr<player_tag> player2;
std::array<std::unique_ptr<mushroom_tag>, 90> mushrooms;
std::array<std::unique_ptr<insect_tag>, 4> insects;
ObjectList<vermix_tag> crawler_list;
ObjectList<particle_tag> particle_list;
ObjectList<points_tag> points_list;

std::array<std::string, 8> menu_labels;
std::array<std::string, 2> off_on_texts;
std::array<std::string, 11> volume_texts;
std::array<std::string, 5> stereo_mode_texts;
std::string version_text;

void reset_globals() {
  game_state = 0;
  play_phase = 0;
  quit_requested = 0;
  versus_mode = 0;
  stereo_mode = 0;
  hologram_intensity = 0;
  retro_lines = 0;
  high_score = 0;
  stage = 1;
  crawler_length = 10;
  crawler_speed = 1;
  tally_index = 0;
  tally_tick = 0;
  game_over_timer = 0;
  cursor_x = 0;
  cursor_y = 0;
  player_colour_a = player_colour_b = 0;
  mushroom_colour_a = mushroom_colour_b = 0;
  crawler_colour_a = crawler_colour_b = 0;
  insect_colour_a = insect_colour_b = 0;
  sound_volume = 1.0f;
  music_volume = 1.0f;
  sound_volume_step = 10;
  music_volume_step = 10;
}
