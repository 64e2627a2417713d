#include "app/state_dump.h"

#include <nlohmann/json.hpp>

#include "render/qwdraw.h"
#include "world/fields.h"
#include "world/sounds.h"
#include "world/world.h"

using nlohmann::json;

namespace {

json pair(int a, int b) { return json::array({a, b}); }

// An actor's dumped fields as one object, as fields.h describes them.
template <typename Actor>
json object_of(const Actor& actor) {
  json out = json::object();
  fields(actor, [&out](const char* name, const auto& value, FieldUse use) {
    if (use != FieldUse::check_only) out[name] = value;
  });
  return out;
}

json players_json() {
  json out = json::array();
  for (const player_tag* p : {player1.get(), player2.get()}) {
    if (p) out.push_back(object_of(*p));
  }
  return out;
}

json mushrooms_json() {
  json out = json::array();
  for (const auto& m : mushrooms) {
    if (m) out.push_back(object_of(*m));
  }
  return out;
}

json crawler_json() {
  json out = json::array();
  crawler_list.for_each(
      [&](const vermix_tag& s) { out.push_back(object_of(s)); });
  return out;
}

json points_json() {
  json out = json::array();
  points_list.for_each(
      [&](const points_tag& p) { out.push_back(object_of(p)); });
  return out;
}

json insects_json() {
  json out = json::array();
  for (const auto& i : insects) {
    if (i) out.push_back(object_of(*i));
  }
  return out;
}

json eyes_json() {
  if (!qwdraw) return json::array();
  return json::array({qwdraw->leye_r, qwdraw->leye_g, qwdraw->leye_b,
                      qwdraw->reye_r, qwdraw->reye_g, qwdraw->reye_b});
}

}  // namespace

std::string state_dump_json() {
  json d;
  d["tick"] = platform::current_tick();
  d["game_state"] = game_state;
  d["play_phase"] = play_phase;
  d["quit_requested"] = quit_requested;
  d["stereo_mode"] = stereo_mode;
  d["hologram_intensity"] = hologram_intensity;
  d["retro_lines"] = retro_lines;
  d["versus_mode"] = versus_mode;
  d["joystick_count"] = joystick_count;
  d["high_score"] = high_score;
  d["stage"] = stage;
  d["crawler_length"] = crawler_length;
  d["crawler_speed"] = crawler_speed;
  d["tally_index"] = tally_index;
  d["tally_tick"] = tally_tick;
  d["game_over_timer"] = game_over_timer;
  d["sound_volume_step"] = sound_volume_step;
  d["music_volume_step"] = music_volume_step;
  d["sound_volume"] = sound_volume;
  d["music_volume"] = music_volume;
  d["eyes"] = eyes_json();
  d["colours"] = {{"player", pair(player_colour_a, player_colour_b)},
                  {"mushroom", pair(mushroom_colour_a, mushroom_colour_b)},
                  {"crawler", pair(crawler_colour_a, crawler_colour_b)},
                  {"insect", pair(insect_colour_a, insect_colour_b)}};
  d["mouse"] = json::array({platform::mouse_x(), platform::mouse_y()});
  d["music"] = {{"playing", platform::channel_playing(music_channel)},
                {"volume", music_volume},
                {"starts", music_start_count()}};
  d["sounds"] = sound_play_counts();
  d["sounds_loaded"] = loaded_sound_count();
  d["players"] = players_json();
  d["mushrooms"] = mushrooms_json();
  d["crawler"] = crawler_json();
  d["particles"] = particle_list.size();
  d["points"] = points_json();
  d["insects"] = insects_json();
  return d.dump();
}
