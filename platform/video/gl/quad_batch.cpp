// The batch of textured, coloured quads: queued while they share texture
// and blend mode, sent to GL in one draw call when the key changes.
#include <cstddef>
#include <vector>

#include "platform/video/gl/gl_state.h"
#ifdef __EMSCRIPTEN__
#include "platform/video/gl/desktop_planes.h"
#endif

namespace platform::detail::renderer {

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
#ifdef __EMSCRIPTEN__
  glGenBuffers(1, &s.plane_buffer);
  glBindBuffer(GL_ARRAY_BUFFER, s.plane_buffer);
  const auto plane_stride = static_cast<GLsizei>(6 * sizeof(float));
  glEnableVertexAttribArray(3);
  glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, plane_stride, nullptr);
  glEnableVertexAttribArray(4);
  glVertexAttribPointer(4, 3, GL_FLOAT, GL_FALSE, plane_stride,
                        reinterpret_cast<void*>(3 * sizeof(float)));
  glBindBuffer(GL_ARRAY_BUFFER, s.vertex_buffer);
#endif

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

#ifdef __EMSCRIPTEN__
namespace {

// The planes of each quad's texture coordinates as the desktop GL sets them
// up, for its two triangles: a flat input comes from a triangle's last
// corner, so corner 2 carries the first triangle's and corner 3 the second's
// (corners 0 and 1 are never read).
void send_planes(const Vertex* vertices, std::size_t count) {
  State& s = state();
  s.planes.resize(count * 4 * 6);
  for (std::size_t q = 0; q < count; ++q) {
    TrianglePlanes triangles[2];
    desktop_planes(vertices + q * 4, s.width, s.height, triangles[0],
                   triangles[1]);
    for (int corner = 0; corner < 4; ++corner) {
      const TrianglePlanes& t = triangles[corner == 3 ? 1 : 0];
      float* out = &s.planes[(q * 4 + static_cast<std::size_t>(corner)) * 6];
      for (int i = 0; i < 3; ++i) {
        out[i] = t.u[i];
        out[3 + i] = t.v[i];
      }
    }
  }
  glBindBuffer(GL_ARRAY_BUFFER, s.plane_buffer);
  glBufferData(GL_ARRAY_BUFFER,
               static_cast<GLsizeiptr>(s.planes.size() * sizeof(float)),
               s.planes.data(), GL_STREAM_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, s.vertex_buffer);
}

}  // namespace
#endif

void bind_texture(GLuint id) {
  State& s = state();
  if (s.bound_texture == id) return;
  glBindTexture(GL_TEXTURE_2D, id);
  s.bound_texture = id;
}

// Puts `count` quads into the vertex buffer and draws them with the bound
// program, texture and blend state.
void send_quads(const Vertex* vertices, std::size_t count) {
#ifdef __EMSCRIPTEN__
  // Only a smooth texture's sampling reads the planes.
  if (state().applied_desktop_sampling == 1) send_planes(vertices, count);
#endif
  glBufferData(GL_ARRAY_BUFFER,
               static_cast<GLsizeiptr>(count * 4 * sizeof(Vertex)), vertices,
               GL_STREAM_DRAW);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 6),
                 GL_UNSIGNED_SHORT, nullptr);
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
    choose_sampling(s.batch_texture);
    apply_blend(s.batch_blend);
    send_quads(s.batch.data(), s.batch.size() / 4);
    ++s.draw_calls;
    s.quads += static_cast<long>(s.batch.size() / 4);
    s.batch.clear();
  }
  if (!s.retired.empty()) {
    for (GLuint id : s.retired) {
      if (s.bound_texture == id) s.bound_texture = 0;
#ifdef __EMSCRIPTEN__
      s.desktop_sampled.erase(id);
#endif
    }
    glDeleteTextures(static_cast<GLsizei>(s.retired.size()), s.retired.data());
    s.retired.clear();
  }
}

void set_flush_every_quad(bool on) {
  flush();
  state().flush_every_quad = on;
}

long draw_calls() { return state().draw_calls; }
long quads_drawn() { return state().quads; }

}  // namespace platform::detail::renderer
