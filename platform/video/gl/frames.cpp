// The frame buffers: the draw buffer and the presented one, which trade
// places at every present; the present itself, and reading pixels back.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/video/gl/display_fit.h"
#include "platform/video/gl/gl_state.h"

namespace platform::detail::renderer {

// Never destroyed: images held in globals release their textures during
// the program's exit, after ordinary statics may be gone.
State& state() {
  static State* s = new State;
  return *s;
}

namespace {

bool make_target(int width, int height, GLuint& fbo, GLuint& colour) {
  glGenTextures(1, &colour);
  glBindTexture(GL_TEXTURE_2D, colour);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
  // Nearest both ways; the present smooths a shrunk frame (draw_presented).
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                         colour, 0);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

bool start(int width, int height, std::string& error) {
  State& s = state();
  if (s.active) {
    flush();
    if (s.width == width && s.height == height) return true;
    const GLuint fbos[] = {s.draw_fbo, s.presented_fbo, s.layer_fbo, s.row_fbo};
    const GLuint colours[] = {s.draw_colour, s.presented_colour, s.layer_colour,
                              s.row_colour};
    glDeleteFramebuffers(4, fbos);
    glDeleteTextures(4, colours);
  } else {
    if (!make_programs(s, error)) return false;
    make_buffers(s);
    ++s.generation;
  }
  s.width = width;
  s.height = height;
  s.recording = false;
  s.recorded.clear();
  s.kept_valid = false;
  s.draw_stale = false;
  s.row_filled = false;
  const char* uncached = std::getenv("VERMIX_NO_LAYER_CACHE");
  s.cache_layers = uncached == nullptr || std::string(uncached) != "1";
  if (!make_target(width, height, s.layer_fbo, s.layer_colour) ||
      !make_target(width, height, s.presented_fbo, s.presented_colour) ||
      !make_target(width, height, s.draw_fbo, s.draw_colour) ||
      !make_target(width, 1, s.row_fbo, s.row_colour)) {
    error = "cannot make an off-screen colour buffer";
    return false;
  }
  s.bound_texture = 0;  // make_target bound its own
  glBindTexture(GL_TEXTURE_2D, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, s.draw_fbo);
  glViewport(0, 0, width, height);
  glUniform2f(s.display_size_uniform, static_cast<float>(width),
              static_cast<float>(height));
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  s.active = true;
  s.applied_blend = -1;
  apply_blend(1);
  const std::uint8_t white_pixel[4] = {255, 255, 255, 255};
  upload(s.white, 1, 1, white_pixel);
  clear();
  return true;
}

bool active() { return state().active; }
unsigned generation() { return state().generation; }

// Before the first drawing on a draw buffer that holds an older frame: it
// takes the frame as presented.
void settle_draw_buffer() {
  State& s = state();
  if (!s.draw_stale) return;
  s.draw_stale = false;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, s.presented_fbo);
  glBlitFramebuffer(0, 0, s.width, s.height, 0, 0, s.width, s.height,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, s.draw_fbo);
}

void clear_now() {
  State& s = state();
  s.batch.clear();  // whatever was queued would be covered anyway
  s.draw_stale = false;
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

void stop() {
  State& s = state();
  s.active = false;
  s.batch.clear();
  s.retired.clear();
  s.recording = false;
  s.recorded.clear();
  s.kept_valid = false;
  s.bound_texture = 0;
  s.applied_blend = -1;
}

void clear() {
  State& s = state();
  if (!s.active) return;
  if (s.recording) {
    s.recorded.add_clear();
  } else {
    clear_now();
  }
}

void fill_odd_rows(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  State& s = state();
  if (!s.active) return;
  flush();
  settle_draw_buffer();
  const std::uint8_t rgb[3] = {r, g, b};
  if (!s.row_filled || std::memcmp(rgb, s.row_rgb, 3) != 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, s.row_fbo);
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, s.draw_fbo);
    std::memcpy(s.row_rgb, rgb, 3);
    s.row_filled = true;
  }
  // GL counts rows from the bottom: display row y is GL row height - 1 - y.
  glBindFramebuffer(GL_READ_FRAMEBUFFER, s.row_fbo);
  for (int y = 1; y < s.height; y += 2) {
    const int row = s.height - 1 - y;
    glBlitFramebuffer(0, 0, s.width, 1, 0, row, s.width, row + 1,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, s.draw_fbo);
}

namespace {

// Draws the bound texture as one quad over `place`, its top row at
// v = v_top and its bottom row at v = v_bottom.
void send_texture_over(const FrameRect& place, float v_top, float v_bottom) {
  const auto left = static_cast<float>(place.x);
  const auto top = static_cast<float>(place.y);
  const auto right = static_cast<float>(place.x + place.width);
  const auto bottom = static_cast<float>(place.y + place.height);
  const Quad quad = {{left, top, 0, v_top, 255, 255, 255, 255},
                     {right, top, 1, v_top, 255, 255, 255, 255},
                     {right, bottom, 1, v_bottom, 255, 255, 255, 255},
                     {left, bottom, 0, v_bottom, 255, 255, 255, 255}};
  send_quads(quad, 1);
}

// Draws the presented frame as one quad on the window's drawable, over
// `place`. A drawn quad rather than a framebuffer blit: a software GL blits
// through a shader of its own that costs more per pixel, most of all when it
// zooms.
void draw_presented(int drawable_width, int drawable_height,
                    const FrameRect& place) {
  State& s = state();
  glUseProgram(s.present_program);
  glUniform2f(s.present_size_uniform, static_cast<float>(drawable_width),
              static_cast<float>(drawable_height));
  glDisable(GL_BLEND);
  bind_texture(s.presented_colour);
  // Texel for pixel or zoomed, the frame shows its texels as they are (GL
  // magnifies there, nearest); shrunk into a window smaller than the display
  // it is smoothed. The shrinking filter stays nearest unless it is used: a
  // software GL (Mesa's llvmpipe) samples far more slowly when the two
  // filters differ, though no pixel would change.
  const bool shrunk = place.width < s.width || place.height < s.height;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  shrunk ? GL_LINEAR : GL_NEAREST);
  // GL keeps the frame's rows bottom up: the top of the quad takes the top
  // of the frame, v = 1.
  send_texture_over(place, 1, 0);
}

// Lays the band over the window's drawable at `place`, blended by its alpha;
// the drawable's own alpha stays as the frame left it.
void draw_band(const Texture& band, const FrameRect& place, bool shrunk) {
  glEnable(GL_BLEND);
  glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
  bind_texture(band.id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  shrunk ? GL_LINEAR : GL_NEAREST);
  // The band's rows were uploaded top first: v = 0 is its top.
  send_texture_over(place, 0, 1);
}

}  // namespace

void present(int drawable_width, int drawable_height, const Texture* band) {
  State& s = state();
  if (!s.active) return;
  flush();
  // The frame drawn becomes the presented one; a draw buffer not drawn on
  // since the last present holds nothing newer.
  if (!s.draw_stale) {
    std::swap(s.draw_fbo, s.presented_fbo);
    std::swap(s.draw_colour, s.presented_colour);
    s.draw_stale = true;
  }

  const FrameRect place =
      fit_frame(drawable_width, drawable_height, s.width, s.height);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, drawable_width, drawable_height);
  if (place != FrameRect{0, 0, drawable_width, drawable_height}) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  draw_presented(drawable_width, drawable_height, place);
  if (band && current(*band)) {
    const FrameRect band_at =
        band_place(place, drawable_height, s.height, band->width, band->height);
    draw_band(*band, band_at, place.height < s.height);
  }
  glUseProgram(s.program);
  s.applied_blend = -1;  // blending was set behind its back
  glBindFramebuffer(GL_FRAMEBUFFER, s.draw_fbo);
  glViewport(0, 0, s.width, s.height);
}

namespace {

// Reads a rectangle of a framebuffer of fbo_width x fbo_height in display
// orientation (GL's rows run bottom to top); what lies outside it is black.
void read_rectangle(GLuint fbo, int fbo_width, int fbo_height, int x, int y,
                    int width, int height, std::vector<std::uint8_t>& rgba) {
  State& s = state();
  rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
  for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  if (!s.active) return;
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, fbo_width);
  const int bottom = std::min(y + height, fbo_height);
  if (left >= right || top >= bottom) return;
  const int w = right - left;
  const int h = bottom - top;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(w) * h * 4);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  glReadPixels(left, fbo_height - bottom, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
               rows.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, s.draw_fbo);
  for (int row = 0; row < h; ++row) {
    const std::uint8_t* from =
        rows.data() + static_cast<std::size_t>(h - 1 - row) * w * 4;
    std::uint8_t* to =
        rgba.data() +
        (static_cast<std::size_t>(top - y + row) * width + (left - x)) * 4;
    for (int col = 0; col < w; ++col) {
      std::memcpy(to + col * 4, from + col * 4, 3);  // screen pixels are opaque
    }
  }
}

}  // namespace

void read_draw_buffer(int x, int y, int width, int height,
                      std::vector<std::uint8_t>& rgba) {
  State& s = state();
  flush();
  // A stale draw buffer reads as the presented frame it stands for.
  read_rectangle(s.draw_stale ? s.presented_fbo : s.draw_fbo, s.width, s.height,
                 x, y, width, height, rgba);
}

void read_presented(std::vector<std::uint8_t>& rgba) {
  State& s = state();
  read_rectangle(s.presented_fbo, s.width, s.height, 0, 0, s.width, s.height,
                 rgba);
}

void read_window(int width, int height, std::vector<std::uint8_t>& rgba) {
  flush();
  read_rectangle(0, width, height, 0, 0, width, height, rgba);
}

}  // namespace platform::detail::renderer
