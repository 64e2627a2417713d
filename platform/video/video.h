// What the display shares with the rest of the platform: the window, the
// way between window and display pixels, the presented frame, PNG files and
// the orderly end. Only platform/ includes this header.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::detail {

namespace renderer {
struct Texture;
}

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
// From now on a broken connection to the window's display (on X an I/O
// error) ends the program without the display (end_for_lost_display)
// instead of Xlib's exit, whose exit-time clean-up would wait on the dead
// connection forever (window_manager.cpp).
void watch_display_connection(SDL_Window* window);
// Whether a quit that SDL reported stands for a display whose connection
// broke (Wayland); false elsewhere (window_manager.cpp).
bool display_connection_broken();
// The display as last presented by flip, 640 x 480 RGBA rows top to bottom.
bool read_presented_frame(std::vector<std::uint8_t>& rgba);

// --- the status line (status_line.cpp) --------------------------------------
// The line as a band for the present, made and uploaded when it changed;
// null while the line is empty.
const renderer::Texture* status_band();

// --- PNG (png_io.cpp) -------------------------------------------------------
// Decodes to RGBA; `had_alpha` tells whether the file carried an alpha channel.
bool decode_png(const std::uint8_t* data, std::size_t size, int& width,
                int& height, std::vector<std::uint8_t>& rgba, bool& had_alpha);
bool write_png(const std::string& host_file, int width, int height,
               const std::vector<std::uint8_t>& rgba);

}  // namespace platform::detail
