// The machine as the game sees it: one 640 x 480 display with a 2D drawing
// state, images, one TrueType font, sound channels, keyboard, mouse and
// joysticks, a millisecond clock, the random generator and small files.
//
// This is the only header game code includes to reach the machine. Nothing
// here exposes SDL, OpenGL or OpenAL types. Every operation runs on the
// game's single thread. Its rooms: video/ (display and window, drawing
// state, images, text, lines, PNG) over video/gl/ (the renderer), audio/,
// input/ (devices, window events, the input source) and system/ (files,
// clock, random numbers and arithmetic, ticks, stop signals). Input scripts
// and replays plug in through automation.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Image;
struct Font;
struct Sound;
struct Channel;
struct Stream;

// Handles. A missing object (failed load, no such file) is a null handle.
using ImageRef = std::shared_ptr<Image>;
using FontRef = std::shared_ptr<Font>;
using SoundRef = std::shared_ptr<Sound>;
using ChannelRef = std::shared_ptr<Channel>;
using StreamRef = std::shared_ptr<Stream>;

// ---------------------------------------------------------------------------
// Run options (set before open_graphics) and ticks.

struct RunOptions {
  bool window =
      false;          // depth 0 is a window anyway; this only records the wish
  int scale = 0;      // whole zoom factor of a window; 0 = largest that fits
  bool fast = false;  // never sleep: not in flip, not in waiting loops
  // A window's size kept from the last run, used without `scale`; 0: none.
  int window_width = 0;
  int window_height = 0;
};
void set_run_options(const RunOptions& options);
const RunOptions& run_options();

// Full screen or a window, and the window's size out of full screen, as the
// player left them (Alt+Enter or F11 switch, the window may be resized).
struct WindowLayout {
  bool full_screen = false;
  int width = 0;
  int height = 0;
};
WindowLayout window_layout();

// Outputs the player asked for (a recording, state dumps, screenshots, the
// saved files): a write that fails is named once on stderr with the path and
// the reason, the game plays on, and the program then ends with
// incomplete_output_status instead of 0.
void report_output_failure(const std::string& path, const std::string& reason);
bool outputs_incomplete();
constexpr int incomplete_output_status = 5;

// The saves of the orderly end that write files and nothing else (the high
// score, the settings, the window's layout: no display, no sound). The
// orderly end runs them with save_files. Where the program has to end
// without its display (the display was lost, or a stop signal found the
// program stuck for a second), the platform runs them itself, from whatever
// thread it ends on, and exits; so they must read only plain values. They run
// at most once after each set_file_saves; none are set at first.
void set_file_saves(std::function<void()> saves);
void save_files();
// The display went away under the running game (an X server that stopped):
// the files were saved, a recording was cut at its last whole tick, and
// "vermix: the display was lost" was printed. Also ends a recorded run so.
constexpr int display_lost_status = 6;

// Ticks so far: presented frames plus passes of waiting loops. Input scripts
// and replays count in ticks.
long current_tick();

// One pass of a loop that waits without presenting and must go on waiting:
// sleeps about a millisecond (not under `fast`) and counts one tick, as a
// presented frame does.
void wait_pass();

// ---------------------------------------------------------------------------
// Start-up.

void set_app_title(const std::string& title);
// After this, "incbin::" + name opens the given bytes wherever a path is taken.
// The bytes must outlive the program (they are not copied).
void register_embedded_file(const std::string& name, const unsigned char* bytes,
                            std::size_t size);

// ---------------------------------------------------------------------------
// Display and frame.

// depth 0: a window; any other depth: full screen on the desktop's own mode,
// the display scaled by the largest whole factor that fits, centred on black.
// flags: 2 back buffer, 4 alpha, 8 depth, 16 stencil, 32 accumulation.
// Returns false (after printing the reason on stderr) if no display opens.
bool open_graphics(int width, int height, int depth, int hertz, int flags);
int graphics_width();
int graphics_height();
void cls();
// The static layer: the drawing between the two (which should start with cls)
// is kept, and while the same drawing is asked for again (same images,
// places, colours and modes) the kept picture is put up instead. Anything
// else works as usual in between, only without the saving.
void begin_static_layer();
void end_static_layer();
// -1 hold the frame rate given to open_graphics; 0 at once; 1 on vertical sync.
void flip(int sync);
void hide_mouse();
void move_mouse(int x, int y);
int app_suspended();
int app_terminate();
[[noreturn]] void end_program();

// One line of text about an online game (its invite code, the connection),
// UTF-8, shown with every presented frame until it is set empty: in the
// game's yellow on a dark box, centred under the frame in the window's black
// margin when that holds it, else over the frame's bottom rows. It is drawn
// in the font selected when it is set (characters past Latin-1 as '?'), on
// the window only: the frame, its screenshots and read-backs, and the game's
// drawing state never see it.
void set_status_line(std::string_view text);
// Puts the text on the system's clipboard, as well as it can; the first
// failure is named on stderr, later ones are not.
void copy_to_clipboard(std::string_view text);

// ---------------------------------------------------------------------------
// Drawing state.

void set_color(int r, int g, int b);
void set_alpha(float alpha);
// 1 mask, 2 solid, 3 alpha, 4 light (additive), 5 shade (multiply), 6 light
// twice (the pixels of two passes in mode 4, in one pass), other solid.
void set_blend(int mode);
void set_rotation(float degrees);
float get_rotation();
void set_scale(float sx, float sy);
void set_transform(float degrees, float sx, float sy);
void set_mask_color(int r, int g, int b);
// Flags used where an image operation is passed -1; -1 here leaves it.
// Bits: 1 masked, 2 filtered, 4 mipmapped, 8 dynamic.
void auto_image_flags(int flags);
void auto_mid_handle(int on);

// ---------------------------------------------------------------------------
// Images.

ImageRef load_image(const std::string& path, int flags);
ImageRef create_image(int width, int height, int frames, int flags);
void grab_image(const ImageRef& image, int x, int y, int frame);
void draw_image(const ImageRef& image, float x, float y, int frame);
void mid_handle_image(const ImageRef& image);
int image_width(const ImageRef& image);
int image_height(const ImageRef& image);
int images_collide(const ImageRef& image1, float x1, float y1, int frame1,
                   const ImageRef& image2, float x2, float y2, int frame2);

void draw_line(float x1, float y1, float x2, float y2, int last);
// Sets every odd display row to (r, g, b), replacing what lies under it: the
// pixels of a solid draw_line across each of those rows with
// no rotation or scale.
void fill_odd_rows(int r, int g, int b);

// ---------------------------------------------------------------------------
// Text.

FontRef load_image_font(const std::string& path, int size, int style);
void set_image_font(const FontRef& font);  // null selects the built-in font
void draw_text(const std::string& text, float x, float y);
int text_width(const std::string& text);
int text_height(const std::string& text = std::string());

// ---------------------------------------------------------------------------
// Sound. With no audio device everything still works, silently, and a
// channel "plays" for the length of its sound.

SoundRef load_sound(const std::string& path, int flags);  // flags bit 1: loop
ChannelRef alloc_channel();
// Prepares the sound paused at its start on `channel` (null: a new channel).
// A null sound gives a channel that never plays.
ChannelRef cue_sound(const SoundRef& sound,
                     const ChannelRef& channel = nullptr);
void resume_channel(const ChannelRef& channel);
void pause_channel(const ChannelRef& channel);
void stop_channel(const ChannelRef& channel);
int channel_playing(const ChannelRef& channel);
void set_channel_volume(const ChannelRef& channel, float volume);

// ---------------------------------------------------------------------------
// Input. Key codes are Windows virtual-key numbers; mouse buttons 1 left,
// 2 right, 3 middle; joystick ports and buttons count from 0.

int key_hit(int key);
int key_down(int key);
void flush_keys();
int mouse_x();
int mouse_y();
int mouse_hit(int button);
int mouse_down(int button);
void flush_mouse();
int joy_count();
int joy_down(int button, int port);
int joy_hit(int button, int port);
float joy_x(int port);
float joy_y(int port);

// ---------------------------------------------------------------------------
// Clock, random numbers and arithmetic.

int millisecs();
void delay(int ms);
void seed_rnd(int seed);
double rnd(double a, double b);
double sin_deg(double degrees);
double cos_deg(double degrees);
int float_to_int(double value);
std::string int_to_string(int value);
std::string concat_strings(const std::string& a, const std::string& b);

// ---------------------------------------------------------------------------
// Files. Game paths use backslashes ("data\\hiscore.dat") and are relative to
// the working folder; folder names match without regard to case.

int file_type(const std::string& path);  // 0 none, 1 file, 2 folder
// Null unless `path` is a regular file (after links).
StreamRef read_file(const std::string& path);
// Writes go to a temporary file that replaces `path` only when the stream is
// closed complete, so an interrupted save leaves the previous file whole.
StreamRef write_file(const std::string& path);
int read_int(const StreamRef& stream);  // missing bytes read as 0
void write_int(const StreamRef& stream, int value);
// False for a write stream whose file could not be replaced (the previous
// one is left whole), and for a null or already closed stream.
bool close_stream(const StreamRef& stream);
// The whole of a regular file; nothing when it is not one, cannot be read
// or holds more than max_bytes.
std::optional<std::string> read_whole_file(const std::string& path,
                                           std::size_t max_bytes);
// Makes the folder and any missing parents; true if the folder itself was
// made now (false when it was there already or could not be made).
bool create_folder(const std::string& path);

// The host folder the running executable lies in ("" when unknown), the
// working folder, and the value of an environment variable ("" when unset).
std::string executable_folder();
std::string working_folder();
std::string environment_value(const std::string& name);
// The folder where the system keeps programs' data for the user, if it has
// one: Windows' roaming application-data folder; "" on other systems.
std::string application_data_folder();
// Standard output and error of a program started from a console: on Windows
// the windowed game has none of its own, so it writes to its parent's
// console unless they were redirected. Nothing to do elsewhere.
void use_parent_console();

}  // namespace platform
