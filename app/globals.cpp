#include "app/globals.h"

int game_state = 0;
int play_phase = 0;
int quit_requested = 0;
int versus_mode = 0;
int stereo_mode = 0;
int hologram_intensity = 0;
int retro_lines = 0;
int joystick_count = 0;
int high_score = 0;
int stage = 1;
int crawler_length = 10;
int crawler_speed = 1;
int tally_index = 0;
int tally_tick = 0;
int game_over_timer = 0;
int cursor_x = 0;
int cursor_y = 0;

const float joy1_left_value = -1.0f;
const float joy1_right_value = 1.0f;
const float joy1_up_value = -1.0f;
const float joy1_down_value = 1.0f;
const float joy2_left_value = -1.0f;
const float joy2_right_value = 1.0f;
const float joy2_up_value = -1.0f;
const float joy2_down_value = 1.0f;

int player_colour_a = 0;
int player_colour_b = 0;
int mushroom_colour_a = 0;
int mushroom_colour_b = 0;
int crawler_colour_a = 0;
int crawler_colour_b = 0;
int insect_colour_a = 0;
int insect_colour_b = 0;

float sound_volume = 1.0f;
float music_volume = 1.0f;
int sound_volume_step = 10;
int music_volume_step = 10;
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

std::unique_ptr<qwdraw_tag> qwdraw;
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
