// Placeholder definitions until the real code lands. Delete this file when
// the code that provides these is written.
#include "app/audio.h"
#include "app/globals.h"
#include "app/high_score.h"
#include "app/shell.h"
#include "render/anaglyph.h"
#include "render/qwdraw.h"

int qwdraw_tag::slc(int, int, int, int, int, int) { return 0; }
int qwdraw_tag::sip(int, float, float, float, float) { return 0; }
int qwdraw_tag::i3d(const platform::ImageRef&, float, float, int, float, float, int) { return 0; }
int qwdraw_tag::t3d(const std::string&, float, float, float, int, int) { return 0; }
int set_colour_id(int) { return 0; }
int pick_colours() { return 0; }
int anaglyph_settings(int) { return 0; }
int draw_retro_lines(int) { return 0; }
int play_sound(const platform::SoundRef&) { return 0; }
int start_music() { return 0; }
void load_sounds() {}
const std::map<std::string, int>& sound_play_counts() { static std::map<std::string, int> m; return m; }
int music_start_count() { return 0; }
int load_high_score() { return 0; }
int save_high_score() { return 0; }
int run_game(const platform::RunOptions&) { return 1; }
bool start_up(const platform::RunOptions&) { return false; }
int load_assets() { return 0; }
int play_intro(int) { return 0; }
int draw_backdrop() { return 0; }
int check_hotkeys() { return 0; }
int wait_if_suspended() { return 0; }
