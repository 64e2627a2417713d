// Placeholder definitions until the real module lands. Delete this file
// when the module that provides these is written.
#include <cstdlib>

#include "platform/internal.h"
#include "platform/platform.h"

namespace platform {

bool open_graphics(int, int, int, int, int) { return false; }
int graphics_width() { return 0; }
int graphics_height() { return 0; }
void cls() {  }
void flip(int) {  }
void hide_mouse() {  }
void set_color(int, int, int) {  }
void set_alpha(float) {  }
void set_blend(int) {  }
void set_rotation(float) {  }
float get_rotation() { return 0; }
void set_scale(float, float) {  }
void set_transform(float, float, float) {  }
void set_mask_color(int, int, int) {  }
void auto_image_flags(int) {  }
void auto_mid_handle(int) {  }
ImageRef load_image(const std::string&, int) { return nullptr; }
ImageRef create_image(int, int, int, int) { return nullptr; }
void grab_image(const ImageRef&, int, int, int) {  }
void draw_image(const ImageRef&, float, float, int) {  }
void mid_handle_image(const ImageRef&) {  }
int image_width(const ImageRef&) { return 0; }
int image_height(const ImageRef&) { return 0; }
int images_collide(const ImageRef&, float, float, int, const ImageRef&, float, float, int) { return 0; }
void draw_line(float, float, float, float, int) {  }
FontRef load_image_font(const std::string&, int, int) { return nullptr; }
void set_image_font(const FontRef&) {  }
void draw_text(const std::string&, float, float) {  }
int text_width(const std::string&) { return 0; }
int text_height(const std::string&) { return 0; }

}  // namespace platform

namespace platform::detail {
SDL_Window* window() { return nullptr; }
void window_to_display(float, float, int& x, int& y) { x = y = 0; }
void display_to_window(int, int, int& x, int& y) { x = y = 0; }
bool read_presented_frame(std::vector<std::uint8_t>&) { return false; }
bool write_screenshot(const std::string&) { return false; }
}  // namespace platform::detail
