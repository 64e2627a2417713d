// What the platform's own modules share with each other. Game code never
// includes this header.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// --- display (display.cpp) -------------------------------------------------
SDL_Window* window();  // null before open_graphics
// Destroys the window and its GL context; open_graphics may open anew.
void close_display();
// The platform's orderly end: the display closes and SDL shuts down. Runs at
// the latest when the process exits; later calls do nothing more.
void shut_down();
// Window pixel -> display pixel (640 x 480 space), and back.
void window_to_display(float wx, float wy, int& x, int& y);
void display_to_window(int x, int y, int& wx, int& wy);
// Full screen on or off; the window keeps its own size for the way back.
void set_full_screen(bool on);
void toggle_full_screen();
// False when nothing would carry out a full screen request
// (window_manager.cpp).
bool window_manager_present(SDL_Window* window);
// The display as last presented by flip, 640 x 480 RGBA rows top to bottom.
bool read_presented_frame(std::vector<std::uint8_t>& rgba);
bool write_screenshot(const std::string& path);

// --- input and script (input.cpp, script.cpp) -----------------------------
// Brings the input state up to date: handles pending SDL events, or applies
// the script events that are due. Every input operation calls it first.
void pump();
// A tick has passed: a frame was presented or a waiting loop went round.
void advance_tick();
long current_tick();
// Clears key and mouse states and counts (on suspend and resume).
void clear_key_mouse_state();
// Catches SIGINT and SIGTERM from now on, in place of SDL's own handlers
// (stop_signals.cpp).
void catch_stop_signals();
// A caught signal becomes a standing close request.
void apply_stop_signal();

// --- files (files.cpp, embedded.cpp) --------------------------------------
// Maps a game path (backslashes, any case of folder names) to a host path.
std::string host_path(const std::string& game_path);
// Paths that name a file built into the executable start with this.
constexpr std::string_view embedded_prefix = "incbin::";
// Whole contents of a regular host file (after links) or of an "incbin::"
// name. Anything else (a folder, a pipe, a device) and files longer than
// max_read_bytes read as missing.
bool read_bytes(const std::string& path, std::vector<std::uint8_t>& out);
constexpr std::size_t max_read_bytes = std::size_t{64} << 20;
// The name a save of `host` is written under before it replaces it.
std::string temporary_path(const std::string& host, long pid);
// Removes what saves of `host` by processes no longer running left behind.
void remove_stale_temporaries(const std::string& host);
// fopen, unlink and a folder test of a host path (UTF-8 on every system).
std::FILE* open_host_file(const std::string& host, const char* mode);
bool remove_host_file(const std::string& host);
bool is_host_folder(const std::string& host);
#ifdef _WIN32
// UTF-8 <-> the UTF-16 of Windows' own calls.
std::wstring wide(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
#endif
// The bytes registered under an "incbin::" path, if any.
bool read_embedded(const std::string& path, std::vector<std::uint8_t>& out);

// --- PNG (png_io.cpp) -------------------------------------------------------
// Decodes to RGBA; `had_alpha` tells whether the file carried an alpha channel.
bool decode_png(const std::uint8_t* data, std::size_t size, int& width,
                int& height, std::vector<std::uint8_t>& rgba, bool& had_alpha);
bool write_png(const std::string& host_file, int width, int height,
               const std::vector<std::uint8_t>& rgba);

}  // namespace platform::detail
