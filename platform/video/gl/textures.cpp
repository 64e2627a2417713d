// Textures: made, filled, updated and given up; a texture from a GL context
// that is gone is made again before use.
//
// In the browser a smooth texture (filtered and mipmapped: the menu font) is
// sampled by the drawing program itself, step for step as the desktop
// build's GL samples it, from levels made on the CPU as that GL makes them
// (mip_levels.h). The browser's own filtering picks the level and blends
// texels with other roundings, which puts the edges of scaled text a few
// steps away from the desktop's pixels.
#include <algorithm>
#include <cstring>

#include "platform/video/gl/gl_state.h"
#include "platform/video/gl/mip_levels.h"

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
  choose_sampling(texture.id);
  for (int blend = 1; blend <= 6; ++blend) {
    apply_blend(blend);
    send_quads(outside, 1);
  }
}

#ifdef __EMSCRIPTEN__
bool sampled_as_desktop(const Texture& texture) {
  return texture.filtered && texture.mipmapped;
}

// Levels 1 and down of the bound texture, made from its full-size pixels.
void upload_desktop_levels(const std::vector<std::uint8_t>& rgba, int width,
                           int height) {
  std::vector<std::uint8_t> level = rgba;
  for (int n = 1; width > 1 || height > 1; ++n) {
    level = next_mip_level(level, width, height);
    width = std::max(1, width / 2);
    height = std::max(1, height / 2);
    glTexImage2D(GL_TEXTURE_2D, n, GL_RGBA8, width, height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, level.data());
  }
}
#endif

}  // namespace

void choose_sampling(GLuint id) {
#ifdef __EMSCRIPTEN__
  State& s = state();
  const int desktop = s.desktop_sampled.count(id) != 0 ? 1 : 0;
  if (desktop == s.applied_desktop_sampling) return;
  glUniform1i(s.desktop_sampling_uniform, desktop);
  s.applied_desktop_sampling = desktop;
#else
  (void)id;
#endif
}

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
#ifdef __EMSCRIPTEN__
  // A GL name may come back for another kind of texture.
  s.desktop_sampled.erase(texture.id);
  if (sampled_as_desktop(texture)) {
    std::vector<std::uint8_t>& kept = s.desktop_sampled[texture.id];
    kept.assign(rgba, rgba + static_cast<std::size_t>(width) * height * 4);
    upload_desktop_levels(kept, width, height);
  } else if (texture.mipmapped) {
    glGenerateMipmap(GL_TEXTURE_2D);
  }
#else
  if (texture.mipmapped) glGenerateMipmap(GL_TEXTURE_2D);
#endif
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
#ifdef __EMSCRIPTEN__
  const auto kept = state().desktop_sampled.find(texture.id);
  if (kept != state().desktop_sampled.end()) {
    for (int row = 0; row < height; ++row) {
      std::memcpy(
          &kept->second
               [(static_cast<std::size_t>(y + row) * texture.width + x) * 4],
          rgba + static_cast<std::size_t>(row) * width * 4,
          static_cast<std::size_t>(width) * 4);
    }
    upload_desktop_levels(kept->second, texture.width, texture.height);
    return;
  }
#endif
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
