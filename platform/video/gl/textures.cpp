// Textures: made, filled, updated and given up; a texture from a GL context
// that is gone is made again before use.
#include "platform/video/gl/gl_state.h"

namespace platform::detail::renderer {

namespace {

GLint min_filter(const Texture& t) {
  if (t.mipmapped) {
    return t.filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
  }
  return t.filtered ? GL_LINEAR : GL_NEAREST;
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

}  // namespace platform::detail::renderer
