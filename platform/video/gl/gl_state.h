// What the renderer's parts share: the GL objects and the state as last set,
// and the steps that more than one part takes. Only platform/video/gl/
// includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/video/gl/gl_api.h"
#include "platform/video/gl/layer_record.h"
#include "platform/video/gl/renderer.h"

namespace platform::detail::renderer {

constexpr int max_batch_quads = 8192;  // indices stay within 16 bits

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
#ifdef __EMSCRIPTEN__
  // Smooth (filtered, mipmapped) textures, which the browser samples as the
  // desktop GL does, each with its full-size pixels for partial updates.
  std::unordered_map<GLuint, std::vector<std::uint8_t>> desktop_sampled;
  GLint desktop_sampling_uniform = -1;
  GLint blend_in_steps_uniform = -1;
  int applied_desktop_sampling = -1;
  // The texture coordinates' planes of the quads sent, for each corner.
  GLuint plane_buffer = 0;
  std::vector<float> planes;
#endif
  long draw_calls = 0;
  long quads = 0;
};

// Never destroyed: images held in globals release their textures during
// the program's exit, after ordinary statics may be gone.
State& state();

// --- programs (programs.cpp) -------------------------------------------------
// The drawing program and the present's. False with the reason in `error`.
bool make_programs(State& s, std::string& error);
void apply_blend(int mode);

// --- the quad batch (quad_batch.cpp) -----------------------------------------
// The vertex array and its buffers.
void make_buffers(State& s);
void bind_texture(GLuint id);
// Before drawing with the texture `id` in the drawing program: in the
// browser, chooses how the program samples it (see textures.cpp).
void choose_sampling(GLuint id);
// Puts `count` quads into the vertex buffer and draws them with the bound
// program, texture and blend state.
void send_quads(const Vertex* vertices, std::size_t count);
// Queues a quad for the draw buffer, past any static layer's record.
void queue_quad(const Texture& texture, int blend, const Quad& quad);

// --- frame buffers and present (frames.cpp) ----------------------------------
// Before the first drawing on a draw buffer that holds an older frame: it
// takes the frame as presented.
void settle_draw_buffer();
// Clears the draw buffer now, dropping whatever was queued.
void clear_now();

// --- the static layer (static_layer.cpp) -------------------------------------
// Draws what the layer being recorded holds so far and stops recording it.
void draw_recorded();

}  // namespace platform::detail::renderer
