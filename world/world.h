// The world: the state every part of the game shares, on the floor below
// actors/, enemies/, render/ and app/. The actor types and their fields, the
// values of play, the loaded images, font and sounds, the settings and the
// texts; defined once in world.cpp. It reaches nothing but the platform.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "world/crawler.h"
#include "world/effects.h"
#include "world/insect.h"
#include "world/mushroom.h"
#include "world/object_list.h"
#include "world/player.h"

// Values of game_state.
constexpr int state_playing = 2;
constexpr int state_paused = 3;
constexpr int state_title = 4;
constexpr int state_game_over = 5;

extern int game_state;
extern int play_phase;  // 1 action, 2 tally
extern int quit_requested;
extern int versus_mode;
extern int stereo_mode;
extern int hologram_intensity;
extern int retro_lines;
extern int joystick_count;  // set from the platform at start-up
extern int high_score;
extern int stage;
extern int crawler_length;
extern int crawler_speed;
extern int tally_index;
extern int tally_tick;
extern int game_over_timer;
extern int cursor_x;
extern int cursor_y;

extern const float joy1_left_value;
extern const float joy1_right_value;
extern const float joy1_up_value;
extern const float joy1_down_value;
extern const float joy2_left_value;
extern const float joy2_right_value;
extern const float joy2_up_value;
extern const float joy2_down_value;

extern int player_colour_a;
extern int player_colour_b;
extern int mushroom_colour_a;
extern int mushroom_colour_b;
extern int crawler_colour_a;
extern int crawler_colour_b;
extern int insect_colour_a;
extern int insect_colour_b;

extern float sound_volume;
extern float music_volume;
extern int sound_volume_step;
extern int music_volume_step;
extern platform::ChannelRef music_channel;

extern platform::SoundRef snd_flea;
extern platform::SoundRef snd_p1shot;
extern platform::SoundRef snd_p2shot;
extern platform::SoundRef snd_bonus;
extern platform::SoundRef snd_shroom;
extern platform::SoundRef snd_thump;
extern platform::SoundRef snd_explode;
extern platform::SoundRef snd_spider;
extern platform::SoundRef snd_x1life;
extern platform::SoundRef snd_scorpion;
extern platform::SoundRef snd_stage;
extern platform::SoundRef snd_mosquito;

extern platform::ImageRef background_image;
extern platform::ImageRef pointer_image;
extern platform::ImageRef title_image;
extern platform::ImageRef sprites10;
extern platform::ImageRef sprites20;
extern platform::ImageRef pause_snapshot;
extern platform::FontRef game_font;

extern std::unique_ptr<player_tag> player1;
extern std::unique_ptr<player_tag> player2;
extern std::array<std::unique_ptr<mushroom_tag>, 90> mushrooms;
extern std::array<std::unique_ptr<insect_tag>, 4> insects;
extern ObjectList<vermix_tag> crawler_list;
extern ObjectList<particle_tag> particle_list;
extern ObjectList<points_tag> points_list;

extern std::array<std::string, 8> menu_labels;
extern std::array<std::string, 2> off_on_texts;
extern std::array<std::string, 11> volume_texts;
extern std::array<std::string, 5> stereo_mode_texts;
extern std::string version_text;

// The values of play declared above (all but joystick_count, the assets and
// the objects) as a fresh program has them: at start-up, and before each
// further run of a repeated timedemo.
void reset_globals();
