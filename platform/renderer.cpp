#include "platform/renderer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/display_fit.h"
#include "platform/layer_record.h"

namespace platform::detail::renderer {

namespace {

constexpr int max_batch_quads = 8192;  // indices stay within 16 bits

const char* const vertex_source = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texcoord;
layout(location = 2) in vec4 colour;
uniform vec2 display_size;
out vec2 uv;
out vec4 tint;
void main() {
  uv = texcoord;
  tint = colour;
  gl_Position = vec4(position.x * 2.0 / display_size.x - 1.0,
                     1.0 - position.y * 2.0 / display_size.y, 0.0, 1.0);
}
)";

// alpha_floor: fragments whose alpha is below it are dropped (mask mode).
// light_twice: the fragment gives what two additive passes would add to an
// 8-bit buffer. Each pass adds the colour as stored in 8 bits times its alpha
// as stored in 8 bits, rounded to the nearest 8-bit step, and saturates; so
// twice that, added once, saturating, comes to the same pixel.
const char* const fragment_source = R"(#version 330 core
in vec2 uv;
in vec4 tint;
uniform sampler2D image;
uniform float alpha_floor;
uniform bool light_twice;
out vec4 result;
void main() {
  vec4 c = texture(image, uv) * tint;
  if (c.a < alpha_floor) discard;
  if (light_twice) {
    ivec4 stored = ivec4(roundEven(clamp(c, 0.0, 1.0) * 255.0));
    ivec4 added = (stored * stored.a + 127) / 255;
    result = vec4(min(added * 2, ivec4(255))) / 255.0;
  } else {
    result = c;
  }
}
)";

// The present: the frame as it is, one texel to each window pixel or to each
// block of zoom x zoom of them, or shrunk into a small window.
const char* const present_source = R"(#version 330 core
in vec2 uv;
uniform sampler2D image;
out vec4 result;
void main() {
  result = texture(image, uv);
}
)";

struct State {
  bool active = false;
  unsigned generation = 0;
  int width = 0;
  int height = 0;
  GLuint program = 0;
  GLint alpha_floor_uniform = -1;
  GLint light_twice_uniform = -1;
  GLint display_size_uniform = -1;
  GLuint present_program = 0;
  GLint present_size_uniform = -1;
  GLuint vertex_array = 0;
  GLuint vertex_buffer = 0;
  GLuint index_buffer = 0;
  GLuint draw_fbo = 0;
  GLuint draw_colour = 0;
  GLuint presented_fbo = 0;
  GLuint presented_colour = 0;
  // The draw buffer still holds an older frame; it must take the presented
  // frame before anything but a whole cover is drawn on it.
  bool draw_stale = false;
  Texture white;
  // One row of the display's width in the colour of the odd rows.
  GLuint row_fbo = 0;
  GLuint row_colour = 0;
  std::uint8_t row_rgb[3] = {};
  bool row_filled = false;
  std::uint64_t texture_versions = 0;

  // The static layer: the record of the layer being drawn, and of the one
  // whose pixels are kept in layer_fbo.
  GLuint layer_fbo = 0;
  GLuint layer_colour = 0;
  bool cache_layers = true;
  bool recording = false;
  LayerRecord recorded;
  LayerRecord kept;
  bool kept_valid = false;

  // Queued quads and the key they share.
  std::vector<Vertex> batch;
  GLuint batch_texture = 0;
  int batch_blend = 0;
  bool flush_every_quad = false;

  // Textures whose images are gone, deleted once the queued quads that may
  // still use them have been drawn.
  std::vector<GLuint> retired;

  // GL state as last set, so that unchanged state is not sent again.
  GLuint bound_texture = 0;
  int applied_blend = -1;
  long draw_calls = 0;
  long quads = 0;
};

// Never destroyed: images held in globals release their textures during
// the program's exit, after ordinary statics may be gone.
State& state() {
  static State* s = new State;
  return *s;
}

GLuint compile(GLenum kind, const char* source, std::string& error) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string("shader does not compile: ") + log;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint link(const char* fragment, std::string& error) {
  GLuint vs = compile(GL_VERTEX_SHADER, vertex_source, error);
  if (!vs) return 0;
  GLuint fs = compile(GL_FRAGMENT_SHADER, fragment, error);
  if (!fs) {
    glDeleteShader(vs);
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    error = "shader program does not link";
    glDeleteProgram(program);
    return 0;
  }
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "image"), 0);
  return program;
}

bool make_programs(State& s, std::string& error) {
  s.present_program = link(present_source, error);
  if (!s.present_program) return false;
  s.present_size_uniform =
      glGetUniformLocation(s.present_program, "display_size");
  s.program = link(fragment_source, error);
  if (!s.program) return false;
  s.alpha_floor_uniform = glGetUniformLocation(s.program, "alpha_floor");
  s.light_twice_uniform = glGetUniformLocation(s.program, "light_twice");
  s.display_size_uniform = glGetUniformLocation(s.program, "display_size");
  return true;
}

void make_buffers(State& s) {
  glGenVertexArrays(1, &s.vertex_array);
  glBindVertexArray(s.vertex_array);
  glGenBuffers(1, &s.vertex_buffer);
  glBindBuffer(GL_ARRAY_BUFFER, s.vertex_buffer);
  const auto stride = static_cast<GLsizei>(sizeof(Vertex));
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(Vertex, x)));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(Vertex, u)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<void*>(offsetof(Vertex, r)));

  std::vector<GLushort> indices;
  indices.reserve(max_batch_quads * 6);
  for (int q = 0; q < max_batch_quads; ++q) {
    const auto base = static_cast<GLushort>(q * 4);
    for (int k : {0, 1, 2, 0, 2, 3}) {
      indices.push_back(static_cast<GLushort>(base + k));
    }
  }
  glGenBuffers(1, &s.index_buffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.index_buffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER,
               static_cast<GLsizeiptr>(indices.size() * sizeof(GLushort)),
               indices.data(), GL_STATIC_DRAW);
}

bool make_target(int width, int height, GLuint& fbo, GLuint& colour) {
  glGenTextures(1, &colour);
  glBindTexture(GL_TEXTURE_2D, colour);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
  // Texel for pixel or zoomed, a presented frame shows its texels as they
  // are; in a window smaller than the display it is shrunk smoothly.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                         colour, 0);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void bind_texture(GLuint id) {
  State& s = state();
  if (s.bound_texture == id) return;
  glBindTexture(GL_TEXTURE_2D, id);
  s.bound_texture = id;
}

void apply_blend(int mode) {
  State& s = state();
  if (s.applied_blend == mode) return;
  s.applied_blend = mode;
  glUniform1f(s.alpha_floor_uniform, mode == 1 ? 0.5f : -1.0f);
  glUniform1i(s.light_twice_uniform, mode == 6 ? 1 : 0);
  switch (mode) {
    case 3:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case 4:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    case 5:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
    case 6:
      glEnable(GL_BLEND);
      glBlendFunc(GL_ONE, GL_ONE);
      break;
    default:  // mask and solid replace the screen
      glDisable(GL_BLEND);
      break;
  }
}

GLint min_filter(const Texture& t) {
  if (t.mipmapped) {
    return t.filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
  }
  return t.filtered ? GL_LINEAR : GL_NEAREST;
}

// Puts `count` quads into the vertex buffer and draws them with the bound
// program, texture and blend state.
void send_quads(const Vertex* vertices, std::size_t count) {
  glBufferData(GL_ARRAY_BUFFER,
               static_cast<GLsizeiptr>(count * 4 * sizeof(Vertex)), vertices,
               GL_STREAM_DRAW);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 6),
                 GL_UNSIGNED_SHORT, nullptr);
}

// A software GL builds the per-pixel code for each kind of texture and
// blend mode the first time it draws them, which can take longer than a
// frame. A new texture meets every blend mode at once, in a quad that lies
// outside the display and so changes no pixel: the code is built while
// loading instead of in the middle of play.
void meet_every_blend(const Texture& texture) {
  const Quad outside = {{-2, -2, 0, 0, 255, 255, 255, 255},
                        {-1, -2, 1, 0, 255, 255, 255, 255},
                        {-1, -1, 1, 1, 255, 255, 255, 255},
                        {-2, -1, 0, 1, 255, 255, 255, 255}};
  bind_texture(texture.id);
  for (int blend = 1; blend <= 6; ++blend) {
    apply_blend(blend);
    send_quads(outside, 1);
  }
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

bool current(const Texture& texture) {
  return texture.id != 0 && texture.generation == state().generation &&
         state().active;
}

void upload(Texture& texture, int width, int height, const std::uint8_t* rgba) {
  State& s = state();
  if (!s.active) return;
  flush();
  if (!current(texture)) {
    glGenTextures(1, &texture.id);
    texture.generation = s.generation;
  }
  texture.width = width;
  texture.height = height;
  texture.version = ++s.texture_versions;
  bind_texture(texture.id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min_filter(texture));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                  texture.filtered ? GL_LINEAR : GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, rgba);
  if (texture.mipmapped) glGenerateMipmap(GL_TEXTURE_2D);
  meet_every_blend(texture);
}

void update(Texture& texture, int x, int y, int width, int height,
            const std::uint8_t* rgba) {
  if (!current(texture)) return;
  flush();
  texture.version = ++state().texture_versions;
  bind_texture(texture.id);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA,
                  GL_UNSIGNED_BYTE, rgba);
  if (texture.mipmapped) glGenerateMipmap(GL_TEXTURE_2D);
}

void release(Texture& texture) {
  // No GL work here: an image may die while the program exits, when the GL
  // driver may be gone. The next flush deletes the texture.
  if (current(texture)) state().retired.push_back(texture.id);
  texture.id = 0;
}

const Texture& white() { return state().white; }

namespace {

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

void queue_quad(const Texture& texture, int blend, const Quad& quad) {
  State& s = state();
  settle_draw_buffer();
  if (!s.batch.empty() &&
      (s.batch_texture != texture.id || s.batch_blend != blend ||
       s.batch.size() >= max_batch_quads * 4)) {
    flush();
  }
  s.batch_texture = texture.id;
  s.batch_blend = blend;
  s.batch.insert(s.batch.end(), quad, quad + 4);
  if (s.flush_every_quad) flush();
}

void clear_now() {
  State& s = state();
  s.batch.clear();  // whatever was queued would be covered anyway
  s.draw_stale = false;
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

// Draws what the layer being recorded holds so far and stops recording it.
void draw_recorded() {
  State& s = state();
  s.recording = false;
  for (const LayerOp& op : s.recorded.ops()) {
    if (op.texture == 0) {
      clear_now();
    } else {
      Texture t;
      t.id = op.texture;
      queue_quad(t, op.blend, op.quad);
    }
  }
}

}  // namespace

void draw_quad(const Texture& texture, int blend, const Quad& quad) {
  State& s = state();
  if (!s.active) return;
  if (s.recording) {
    s.recorded.add_quad(texture, blend, quad);
  } else {
    queue_quad(texture, blend, quad);
  }
}

void flush() {
  State& s = state();
  if (!s.active) return;
  if (s.recording) {
    // Something needs the draw buffer or GL: this layer is drawn uncached.
    draw_recorded();
    s.recorded.clear();
    s.kept_valid = false;
  }
  if (!s.batch.empty()) {
    bind_texture(s.batch_texture);
    apply_blend(s.batch_blend);
    send_quads(s.batch.data(), s.batch.size() / 4);
    ++s.draw_calls;
    s.quads += static_cast<long>(s.batch.size() / 4);
    s.batch.clear();
  }
  if (!s.retired.empty()) {
    for (GLuint id : s.retired) {
      if (s.bound_texture == id) s.bound_texture = 0;
    }
    glDeleteTextures(static_cast<GLsizei>(s.retired.size()), s.retired.data());
    s.retired.clear();
  }
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

void begin_layer() {
  State& s = state();
  if (!s.active) return;
  flush();
  s.recording = true;
  s.recorded.clear();
}

void end_layer() {
  State& s = state();
  if (!s.active || !s.recording) return;
  s.recording = false;
  if (s.kept_valid && s.recorded == s.kept) {
    // The kept copy covers the whole display: no clear, no older frame.
    s.batch.clear();
    s.draw_stale = false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.layer_fbo);
    glBlitFramebuffer(0, 0, s.width, s.height, 0, 0, s.width, s.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.draw_fbo);
    s.recorded.clear();
    return;
  }
  draw_recorded();
  s.kept_valid = s.cache_layers && s.recorded.starts_with_clear();
  if (s.kept_valid) {
    flush();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.layer_fbo);
    glBlitFramebuffer(0, 0, s.width, s.height, 0, 0, s.width, s.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, s.draw_fbo);
  }
  s.kept.swap(s.recorded);
  s.recorded.clear();
}

namespace {

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
  // GL keeps the frame's rows bottom up: the top of the quad takes the top
  // of the frame, v = 1.
  const auto left = static_cast<float>(place.x);
  const auto top = static_cast<float>(place.y);
  const auto right = static_cast<float>(place.x + place.width);
  const auto bottom = static_cast<float>(place.y + place.height);
  const Quad quad = {{left, top, 0, 1, 255, 255, 255, 255},
                     {right, top, 1, 1, 255, 255, 255, 255},
                     {right, bottom, 1, 0, 255, 255, 255, 255},
                     {left, bottom, 0, 0, 255, 255, 255, 255}};
  send_quads(quad, 1);
  glUseProgram(s.program);
  s.applied_blend = -1;  // blending was switched off behind its back
}

}  // namespace

void present(int drawable_width, int drawable_height) {
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

void set_flush_every_quad(bool on) {
  flush();
  state().flush_every_quad = on;
}

long draw_calls() { return state().draw_calls; }
long quads_drawn() { return state().quads; }

}  // namespace platform::detail::renderer
